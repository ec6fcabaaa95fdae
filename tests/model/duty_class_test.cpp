#include "model/duty_class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/cp1251.h"
#include "model/format.h"
#include "tests/support/decimal_comma_locale.h"

namespace zorvek {
namespace {

// Ranges by index: 0 "до 25 %" ... 3 "76-100 %" ... 7 "свыше 130 %".
DutyInputs Spectrum(std::initializer_list<std::pair<int, LoadRangeRecord>> ranges) {
    DutyInputs inputs;
    for (const auto& [range, record] : ranges) inputs.ranges[range] = record;
    inputs.periodStart = PackDateTime({2026, 1, 1, 0, 0, 0});
    inputs.periodEnd = PackDateTime({2026, 4, 11, 0, 0, 0});  // 100 days
    return inputs;
}

TEST(DutyClass, WorkedExamples) {
    struct Case {
        const char* what;
        DutyInputs inputs;
        std::optional<double> kpUpper;
        std::optional<double> kpMean;
        std::optional<int> loadingClass;
        int utilisationClass;
        std::optional<int> group;
    };
    DutyInputs mixed = Spectrum({{0, {1000, 0, 4000}}, {2, {600, 0, 7200}}, {3, {400, 0, 7200}}});
    mixed.ratedCapacity = 20;  // mean loads 4, 12 and 18 t
    DutyInputs overloaded = Spectrum({{7, {100, 0, 0}}});
    const Case cases[] = {
        {"only rated loads", Spectrum({{3, {10'000, 0, 0}}}), 1.0, std::nullopt, 4, 0, 2},
        {"only up to 25 %", Spectrum({{0, {10'000, 0, 0}}}), 0.015625, std::nullopt, 1, 0, 1},
        // 0.5 * 0.25^3 + 0.3 * 0.75^3 + 0.2 * 1^3; 0.5 * 0.2^3 + 0.3 * 0.6^3 + 0.2 * 0.9^3
        {"mixed", mixed, 0.334375, 0.2146, 3, 0, 1},
        {"U0 up to 16 000", Spectrum({{3, {16'000, 0, 0}}}), 1.0, std::nullopt, 4, 0, 2},
        {"U1 from 16 001", Spectrum({{3, {16'000, 0, 0}}, {2, {1, 0, 0}}}), std::nullopt,
         std::nullopt, 4, 1, 3},
        {"overloads beyond Q4", overloaded, 1.3 * 1.3 * 1.3, std::nullopt, 4, 0, 2},
        {"no cycles", Spectrum({}), std::nullopt, std::nullopt, std::nullopt, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        const DutyAssessment duty = AssessDuty(c.inputs);
        if (c.kpUpper) {
            ASSERT_TRUE(duty.kpUpperBound) << c.what;
            EXPECT_NEAR(*duty.kpUpperBound, *c.kpUpper, 1e-9) << c.what;
        }
        EXPECT_EQ(duty.kpMeanLoad.has_value(), c.kpMean.has_value()) << c.what;
        if (c.kpMean && duty.kpMeanLoad) {
            EXPECT_NEAR(*duty.kpMeanLoad, *c.kpMean, 1e-9) << c.what;
        }
        EXPECT_EQ(duty.loadingClass, c.loadingClass) << c.what;
        EXPECT_EQ(duty.utilisationClass, c.utilisationClass) << c.what;
        EXPECT_EQ(duty.group, c.group) << c.what;
    }
}

// Each class reaches up to and including its nominal Kp; the least step
// beyond it is the next class.
TEST(DutyClass, LoadingClassAtItsNominalKp) {
    const std::pair<double, int> nominals[] = {{0.125, 1}, {0.25, 2}, {0.5, 3}, {1.0, 4}};
    for (const auto& [kp, loadingClass] : nominals) {
        EXPECT_EQ(LoadingClassOf(kp), loadingClass) << kp;
        EXPECT_EQ(LoadingClassOf(std::nextafter(kp, 2.0)), std::min(loadingClass + 1, 4)) << kp;
    }
    EXPECT_EQ(LoadingClassOf(0.0), 1);
    // Every cycle at up to 50 % of the rated load: Kp is 0.5^3 = 0.125 exactly.
    EXPECT_EQ(AssessDuty(Spectrum({{1, {20'000, 0, 0}}})).loadingClass, 1);
}

TEST(DutyClass, DesignLifeOfThePassportGroup) {
    // 100,000 cycles over 100 days against group A6, whose cells all come to
    // 250,000 cycles at Kp 1 (1,000,000 at 0.25, 2,000,000 at 0.125 ...).
    DutyInputs inputs = Spectrum({{3, {65'535, 0, 0}}, {2, {34'465, 0, 0}}});
    inputs.passportGroup = 6;
    const DutyAssessment duty = AssessDuty(inputs);
    const double kp = 0.65535 + 0.34465 * 0.421875;
    ASSERT_TRUE(duty.designLife && duty.usedShare && duty.cyclesLeft && duty.cyclesPerDay);
    EXPECT_DOUBLE_EQ(*duty.designLife, 250'000);
    EXPECT_NEAR(*duty.usedShare, 100'000 * kp / 250'000, 1e-12);
    EXPECT_NEAR(*duty.cyclesLeft, (250'000 - 100'000 * kp) / kp, 1e-6);
    EXPECT_DOUBLE_EQ(*duty.cyclesPerDay, 1'000);
    ASSERT_TRUE(duty.lifeEnds);
    // 11 April 2026 plus the days left at 1,000 cycles a day.
    const int days = static_cast<int>(std::ceil(*duty.cyclesLeft / 1'000));
    EXPECT_EQ(days, 213);  // 212,207 cycles left
    EXPECT_EQ(*duty.lifeEnds, PackDateTime({2026, 11, 10, 0, 0, 0}));

    inputs.passportGroup = 8;  // reaches U9: no upper bound
    EXPECT_FALSE(AssessDuty(inputs).designLife);
    inputs.passportGroup.reset();
    EXPECT_FALSE(AssessDuty(inputs).usedShare);
    inputs.passportGroup = 6;
    inputs.periodEnd = inputs.periodStart;  // a period of no days
    const DutyAssessment instant = AssessDuty(inputs);
    EXPECT_FALSE(instant.cyclesPerDay);
    EXPECT_FALSE(instant.lifeEnds);
    EXPECT_TRUE(instant.usedShare);
}

TEST(DutyClass, PassportTexts) {
    const std::pair<const char*, std::optional<int>> groups[] = {
        {"А6", 6},
        {"A6", 6},
        {"а6", 6},
        {"группа А 6", 6},
        {" A 1 ", 1},
        {"Группа A8", 8},
        {"А9", std::nullopt},
        {"6", std::nullopt},
        {"А66", std::nullopt},
        {"", std::nullopt},
        {"средний", std::nullopt},
    };
    for (const auto& [text, group] : groups) {
        EXPECT_EQ(ParseGroup(Cp1251FromUtf8(text)), group) << text;
    }
    const std::string huge(400, '7');
    const std::pair<const char*, std::optional<double>> capacities[] = {
        {"25", 25},
        {"16,5 т", 16.5},
        {"12.5 тонн", 12.5},
        {"25т", 25},
        {"32 t", 32},
        {"КС-55713", std::nullopt},
        {"", std::nullopt},
        {"0", std::nullopt},
        {"1.2.3", std::nullopt},
        {"двадцать", std::nullopt},
        {"25 т, 10 м", std::nullopt},
        {huge.c_str(), std::nullopt},
    };
    const auto parseAll = [&] {
        for (const auto& [text, capacity] : capacities) {
            EXPECT_EQ(ParseCapacity(Cp1251FromUtf8(text)), capacity) << text;
        }
    };
    parseAll();
    const test::DecimalCommaLocale russian;
    if (!russian.Active()) GTEST_SKIP() << "ru_RU.UTF-8 is not installed here";
    parseAll();
}

}  // namespace
}  // namespace zorvek
