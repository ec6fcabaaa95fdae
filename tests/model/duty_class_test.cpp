#include "model/duty_class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

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

TEST(DutyClass, MassesTheDocumentsCannotPrintGiveNoMeanLoad) {
    const double kInf = std::numeric_limits<double>::infinity();
    const std::pair<double, bool> masses[] = {
        {0, true},     {12.5, true},  {99'999'999'999.9, true}, {1e11, false}, {3.4e38, false},
        {-0.5, false}, {kInf, false}, {std::nan(""), false},
    };
    for (const auto& [mass, usable] : masses) {
        EXPECT_EQ(IsUsableMass(mass), usable) << mass;
        DutyInputs inputs = Spectrum({{3, {100, 0, mass}}, {0, {100, 0, 50}}});
        inputs.ratedCapacity = 25;
        const DutyAssessment duty = AssessDuty(inputs);
        EXPECT_EQ(duty.kpMeanLoad.has_value(), usable) << mass;
        EXPECT_TRUE(duty.kpUpperBound) << mass;
    }
}

// The whole life: 6 000 cycles at 26-50 % and 6 112 at 51-75 % over the
// 2 000 days from 1 January 2020 to 23 June 2025. Kp = (6 000 · 0.5^3 +
// 6 112 · 0.75^3) / 12 112 = 0.27481, so Q3; 12 112 cycles are U0, group A1
// so far; 6.056 cycles a day.
DutyInputs WholeLife() {
    DutyInputs inputs;
    inputs.ranges[1] = {6'000, 0, 0};
    inputs.ranges[2] = {6'112, 0, 0};
    inputs.periodStart = PackDateTime({2020, 1, 1, 0, 0, 0});
    inputs.periodEnd = PackDateTime({2025, 6, 23, 0, 0, 0});
    return inputs;
}

// The period since the last reading: 1 000 cycles at 76-100 % (Kp 1) in 50 days.
DutyAssessment RecentPeriod() {
    DutyInputs inputs;
    inputs.ranges[3] = {1'000, 0, 0};
    inputs.periodStart = PackDateTime({2025, 5, 4, 0, 0, 0});
    inputs.periodEnd = PackDateTime({2025, 6, 23, 0, 0, 0});
    return AssessDuty(inputs);
}

std::chrono::sys_days Day(int year, unsigned month, unsigned day) {
    return std::chrono::year_month_day{std::chrono::year(year), std::chrono::month(month),
                                       std::chrono::day(day)};
}

TEST(DutyClass, WholeLifeAgainstThePassport) {
    using std::nullopt;
    struct Case {
        const char* what;
        std::optional<int> passportGroup;
        std::optional<ServiceLife> serviceLife;
        bool periodHasCycles;
        // expected
        std::optional<double> usedShare;
        std::optional<double> projected;
        std::optional<int> projectedGroup;
        bool outlived;
        bool normativeEnded;
        std::optional<double> cyclesLeft;
        std::optional<std::chrono::sys_days> resourceEnds;
        bool beyondNormative;
    };
    const double used = 12'112 * 0.2748101;  // 3 328.5 cycles at Kp 1
    const Case cases[] = {
        // 6.056 a day over the 7 305 days of 20 years: 44 239 cycles, U2;
        // Q3 with U2 is A3. A6's base is 250 000 cycles at Kp 1: 1.33 % used;
        // 246 671.5 left at the period's Kp 1 take 12 334 days at its 20 a
        // day, past the end of the term on 1 January 2040.
        {"sample-like, projected to A3", 6, ServiceLife{Day(2020, 1, 1), 20}, true, used / 250'000,
         44'239.08, 3, false, false, 250'000 - used, Day(2059, 3, 31), true},
        // At the crane's Q3 A3's base is the cell Q3/U2, 63 000 · 0.5 = 31 500:
        // 28 171.5 left at 20 a day are 1 409 days, within the term.
        {"period against prior use", 3, ServiceLife{Day(2020, 1, 1), 20}, true, used / 31'500,
         44'239.08, 3, false, false, 31'500 - used, Day(2029, 5, 2), false},
        // Without the period's cycles the whole life's Kp and pace carry on:
        // 28 171.5 / 0.27481 = 102 512.6 cycles at 6.056 a day, 16 928 days.
        {"no period cycles", 3, nullopt, false, used / 31'500, nullopt, nullopt, false, false,
         (31'500 - used) / 0.2748101, Day(2071, 10, 28), false},
        // Five years from 2019 ended in 2024. The recorder began a year after
        // commissioning: 365 days at 6.056 a day add 2 210.44 cycles, 14 322.44
        // in all, more than the 11 058 the term holds at that pace, so they
        // stand. The resource still gets its day once the term is over:
        // 250 000 - 14 322.44 · 0.27481 = 246 064 cycles at 20 a day, 12 304 days.
        {"past its normative life", 6, ServiceLife{Day(2019, 1, 1), 5}, true,
         14'322.44 * 0.2748101 / 250'000, 14'322.44, 1, true, true, 246'064.05, Day(2059, 3, 1),
         false},
        // A1's base at Q3 is the cell Q3/U0, 16 000 · 0.5 = 8 000: 3 328.5 of
        // them are 41.6 %.
        {"no usable term", 1, nullopt, true, used / 8'000, nullopt, nullopt, false, false,
         8'000 - used, Day(2026, 2, 12), false},
        {"no passport group", nullopt, ServiceLife{Day(2020, 1, 1), 20}, true, nullopt, 44'239.08,
         3, false, false, nullopt, nullopt, false},
        {"A8 has no bound", 8, nullopt, true, nullopt, nullopt, nullopt, false, false, nullopt,
         nullopt, false},
    };
    for (const Case& c : cases) {
        DutyInputs whole = WholeLife();
        whole.passportGroup = c.passportGroup;
        whole.serviceLife = c.serviceLife;
        const DutyAssessment wholeDuty = AssessDuty(whole);
        const DutyAssessment period = c.periodHasCycles ? RecentPeriod() : AssessDuty({});
        const LifeAssessment life = AssessLife(whole, wholeDuty, period);
        const auto near = [&](const std::optional<double>& got, const std::optional<double>& want,
                              double tolerance, const char* field) {
            ASSERT_EQ(got.has_value(), want.has_value()) << c.what << ": " << field;
            if (want) {
                EXPECT_NEAR(*got, *want, tolerance) << c.what << ": " << field;
            }
        };
        EXPECT_EQ(wholeDuty.group, 1) << c.what;
        near(life.usedShare, c.usedShare, 1e-6, "used");
        near(life.projectedCycles, c.projected, 0.01, "projected");
        EXPECT_EQ(life.projectedGroup, c.projectedGroup) << c.what;
        EXPECT_EQ(life.outlived, c.outlived) << c.what;
        EXPECT_EQ(life.normativeEnded, c.normativeEnded) << c.what;
        near(life.cyclesLeft, c.cyclesLeft, 0.5, "cycles left");
        EXPECT_EQ(life.resourceEnds, c.resourceEnds) << c.what;
        EXPECT_EQ(life.beyondNormative, c.beyondNormative) << c.what;
    }
}

// Commissioned on 1 January 2005, the recorder counting from 1 January 2015
// to 1 January 2025 (3 653 days): 7 306 cycles at 76-100 % (Kp 1, Q4), 2 a
// day. The 3 652 days before it at that pace hold 7 304 more. A3's cell at
// Q4 is Q4/U1, 32 000: 22.8 % used as recorded, 45.7 % with the years
// before. The 20-year term ended on the reading day; the 17 390 cycles left
// at 2 a day take 8 695 days, to 22 October 2048.
TEST(DutyClass, WorkBeforeTheRecorder) {
    DutyInputs whole;
    whole.ranges[3] = {7'306, 0, 0};
    whole.periodStart = PackDateTime({2015, 1, 1, 0, 0, 0});
    whole.periodEnd = PackDateTime({2025, 1, 1, 0, 0, 0});
    whole.passportGroup = 3;
    whole.serviceLife = ServiceLife{Day(2005, 1, 1), 20};
    const DutyAssessment duty = AssessDuty(whole);
    const LifeAssessment life = AssessLife(whole, duty, AssessDuty({}));
    ASSERT_TRUE(life.unrecordedDays && life.unrecordedCycles && life.usedShare);
    EXPECT_DOUBLE_EQ(*life.unrecordedDays, 3'652);
    EXPECT_NEAR(*life.unrecordedCycles, 7'304, 1e-9);
    EXPECT_DOUBLE_EQ(*life.designLife, 32'000);
    EXPECT_NEAR(*life.usedShareRecorded, 7'306.0 / 32'000, 1e-12);
    EXPECT_NEAR(*life.usedShare, 14'610.0 / 32'000, 1e-12);
    EXPECT_TRUE(life.normativeEnded);
    EXPECT_NEAR(*life.projectedCycles, 14'610, 1e-6);
    EXPECT_EQ(life.resourceEnds, Day(2048, 10, 22));
    EXPECT_FALSE(life.beyondNormative);
    // Mechanism hours go the same way: 500 h over the recorded decade are 1 000
    // over the term; 200 h are T0 and 200.5 T1.
    ASSERT_TRUE(ProjectedOverTerm(500, duty, life));
    EXPECT_NEAR(*ProjectedOverTerm(500, duty, life), 500.0 * 7'305 / 3'653, 1e-9);
    const std::pair<double, int> hours[] = {{0, 0},     {200, 0},   {200.5, 1},  {1'600, 3},
                                            {6'300, 5}, {6'301, 6}, {50'000, 8}, {50'000.5, 9}};
    for (const auto& [h, t] : hours) EXPECT_EQ(MechanismClassOf(h), t) << h;
}

// The base of a passport group is the cell of the crane's own Q class: the
// largest U of that row still in the group, times the class's nominal Kp.
TEST(DutyClass, TheGroupsBaseIsTheCellOfTheCranesClass) {
    struct Case {
        int passportGroup;
        int range;  // every cycle in one range sets the Q class
        std::optional<double> base;
        int q;
        int u;
        bool own;
    };
    const Case cases[] = {
        {3, 1, 31'250, 1, 4, true},   // Q1 (Kp 0.125): 250 000 · 0.125
        {3, 2, 31'500, 3, 2, true},   // Q3 (Kp 0.42): 63 000 · 0.5
        {3, 3, 32'000, 4, 1, true},   // Q4: 32 000 · 1
        {6, 2, 250'000, 3, 5, true},  // Q3: 500 000 · 0.5
        // Q4 has no cell of A1: the group's largest, Q2/U1 32 000 · 0.25.
        {1, 3, 8'000, 2, 1, false},
        {8, 0, std::nullopt, 1, 9, true},  // A8 reaches U9: no bound
    };
    for (const Case& c : cases) {
        DutyInputs whole = WholeLife();
        whole.ranges = {};
        whole.ranges[c.range] = {1'000, 0, 0};
        whole.passportGroup = c.passportGroup;
        const DutyAssessment duty = AssessDuty(whole);
        const LifeAssessment life = AssessLife(whole, duty, duty);
        EXPECT_EQ(life.designLife, c.base) << c.passportGroup << " " << c.range;
        EXPECT_EQ(life.baseLoadingClass, c.q) << c.passportGroup << " " << c.range;
        EXPECT_EQ(life.baseUtilisationClass, c.u) << c.passportGroup << " " << c.range;
        EXPECT_EQ(life.baseOfOwnClass, c.own) << c.passportGroup << " " << c.range;
    }
}

TEST(DutyClass, AResourceAlreadyUsedUpHasNoEndDate) {
    // 10 000 cycles at Kp 1 against A1's 8 000: 125 %.
    DutyInputs whole = WholeLife();
    whole.ranges = {};
    whole.ranges[3] = {10'000, 0, 0};
    whole.passportGroup = 1;
    const DutyAssessment duty = AssessDuty(whole);
    const LifeAssessment life = AssessLife(whole, duty, RecentPeriod());
    ASSERT_TRUE(life.usedShare);
    EXPECT_DOUBLE_EQ(*life.usedShare, 1.25);
    EXPECT_TRUE(life.exhausted);
    EXPECT_EQ(life.cyclesLeft, 0.0);
    EXPECT_FALSE(life.daysLeft);
    EXPECT_FALSE(life.resourceEnds);
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
