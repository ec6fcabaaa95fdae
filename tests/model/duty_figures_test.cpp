#include "model/duty_figures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

#include "model/cp1251.h"
#include "model/service_life.h"

namespace zorvek {
namespace {

std::string Utf8(const std::string& cp1251) { return Utf8FromCp1251(cp1251); }

TEST(DutyFigures, NounsAgreeWithTheirNumber) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 лет"},     {1, "1 год"},     {2, "2 года"},       {4, "4 года"},
        {5, "5 лет"},     {11, "11 лет"},   {12, "12 лет"},      {14, "14 лет"},
        {21, "21 год"},   {22, "22 года"},  {25, "25 лет"},      {111, "111 лет"},
        {112, "112 лет"}, {101, "101 год"}, {1'021, "1021 год"}, {12'112, "12\u00A0112 лет"},
    };
    const std::string one = Cp1251FromUtf8("год");
    const std::string few = Cp1251FromUtf8("года");
    const std::string many = Cp1251FromUtf8("лет");
    for (const auto& [count, expected] : cases) {
        EXPECT_EQ(Utf8(CountOf(count, one, few, many)), expected) << count;
    }
}

TEST(DutyFigures, RussianNumbers) {
    const double kInf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(DecimalComma(0.35, 3), "0,350");
    EXPECT_EQ(DecimalComma(25, 1), "25,0");
    EXPECT_EQ(DecimalComma(-0.04, 1), "0,0");
    EXPECT_EQ(DecimalComma(-1.5, 1), "-1,5");
    EXPECT_EQ(DecimalComma(kInf, 3), "****");
    const std::string nb = "\xA0";  // a no-break space
    EXPECT_EQ(GroupedDigits(9'999), "9999");
    EXPECT_EQ(GroupedDigits(250'000), "250" + nb + "000");
    EXPECT_EQ(GroupedDigits(1'250'000), "1" + nb + "250" + nb + "000");
    EXPECT_EQ(GroupedNumber("45569,9"), "45" + nb + "569,9");
    EXPECT_EQ(GroupedNumber("-12345"), "-12" + nb + "345");
    EXPECT_EQ(GroupedNumber("9999,5"), "9999,5");
    EXPECT_EQ(GroupedNumber("****"), "****");

    const std::pair<double, const char*> shares[] = {
        {0, "0,0 %"},       {1.0 / 20'000, "< 0,1 %"}, {0.000499, "< 0,1 %"},
        {0.0005, "0,1 %"},  {0.123, "12,3 %"},         {1, "100,0 %"},
        {1.234, "123,4 %"},
    };
    for (const auto& [share, text] : shares) EXPECT_EQ(PercentText(share), text) << share;
}

TEST(ServiceLife, PassportDatesAndTerms) {
    using std::chrono::sys_days;
    const auto day = [](int y, unsigned m, unsigned d) {
        return std::optional<sys_days>(std::chrono::year_month_day{
            std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)});
    };
    // Read on 15 April 2026.
    const sys_days reading = *day(2026, 4, 15);
    struct DateCase {
        const char* text;
        std::optional<sys_days> expected;
        DateProblem problem;
    };
    const DateCase dates[] = {
        {"15.04.2014", day(2014, 4, 15), DateProblem::None},
        {" 15.04.2014 г.", day(2014, 4, 15), DateProblem::None},
        {"1.4.14", day(2014, 4, 1), DateProblem::None},
        {"29.02.2016", day(2016, 2, 29), DateProblem::None},
        // A two-digit year is the latest one not after the reading's.
        {"15.04.98", day(1998, 4, 15), DateProblem::None},
        {"01.01.05", day(2005, 1, 1), DateProblem::None},
        {"15.04.26", day(2026, 4, 15), DateProblem::None},  // the reading day itself
        {"16.04.26", std::nullopt, DateProblem::AfterReading},
        {"01.01.27", day(1927, 1, 1), DateProblem::None},
        {"16.04.2026", std::nullopt, DateProblem::AfterReading},
        {"01.01.2098", std::nullopt, DateProblem::AfterReading},
        {"29.02.2015", std::nullopt, DateProblem::Unreadable},
        {"15.13.2014", std::nullopt, DateProblem::Unreadable},
        {"15.04.214", std::nullopt, DateProblem::Unreadable},
        {"2014-04-15", std::nullopt, DateProblem::Unreadable},
        {"апрель 2014", std::nullopt, DateProblem::Unreadable},
        {"", std::nullopt, DateProblem::Missing},
        {"   ", std::nullopt, DateProblem::Missing},
    };
    for (const DateCase& c : dates) {
        const PassportDay read = ReadPassportDay(Cp1251FromUtf8(c.text), reading);
        EXPECT_EQ(read.day, c.expected) << c.text;
        EXPECT_EQ(read.problem, c.problem) << c.text;
    }
    // Without a reading day a two-digit year cannot be placed.
    EXPECT_EQ(ReadPassportDay("15.04.98", std::nullopt).problem, DateProblem::Unreadable);
    EXPECT_EQ(ReadPassportDay("15.04.2098", std::nullopt).day, day(2098, 4, 15));
    const std::pair<const char*, std::optional<int>> terms[] = {
        {"20 лет", 20},
        {"20", 20},
        {"21 год", 21},
        {"10 лет.", 10},
        {"25 years", 25},
        {"0 лет", std::nullopt},
        {"двадцать", std::nullopt},
        {"20,5 лет", std::nullopt},
        {"", std::nullopt},
        {"1000", std::nullopt},
    };
    for (const auto& [text, expected] : terms) {
        EXPECT_EQ(ParseServiceYears(Cp1251FromUtf8(text)), expected) << text;
    }
    // A term started on 29 February ends on the last day of February.
    const ServiceLife leap{*day(2016, 2, 29), 10};
    EXPECT_EQ(leap.End(), *day(2026, 2, 28));
    // The reason goes into the document's "нет данных (...)".
    const std::pair<const char*, const char*> unusable[] = {
        {"", "в паспорте нет даты ввода крана в эксплуатацию"},
        {"16.04.26", "дата ввода крана в эксплуатацию по паспорту позже даты считывания"},
        {"давно", "дата ввода крана в эксплуатацию в паспорте не распознана"},
    };
    for (const auto& [date, why] : unusable) {
        const PassportServiceLife life = ServiceLifeOf(Cp1251FromUtf8(date), "20", reading);
        EXPECT_FALSE(life.life) << date;
        EXPECT_EQ(Utf8FromCp1251(life.whyNot), why) << date;
    }
    EXPECT_EQ(Utf8FromCp1251(ServiceLifeOf("15.04.2014", "", reading).whyNot),
              "в паспорте нет нормативного срока службы");
    // "15.04.98" no longer runs to 2118.
    const PassportServiceLife old = ServiceLifeOf("15.04.98", "20", reading);
    ASSERT_TRUE(old.life);
    EXPECT_EQ(old.life->End(), *day(2018, 4, 15));
}

}  // namespace
}  // namespace zorvek
