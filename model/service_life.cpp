#include "model/service_life.h"

#include <charconv>
#include <string>

#include "model/cp1251.h"

namespace zorvek {
namespace {

constexpr int kLongestTerm = 100;

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A whole number that is all of `text`.
std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string_view CutSuffix(std::string_view text, std::string_view suffix) {
    if (text.ends_with(suffix)) text.remove_suffix(suffix.size());
    return Trim(text);
}

}  // namespace

std::chrono::sys_days ServiceLife::End() const {
    const std::chrono::year_month_day start(commissioned);
    const std::chrono::year_month_day end = start + std::chrono::years(years);
    if (end.ok()) return end;
    return std::chrono::year_month_day_last(end.year(), std::chrono::month_day_last(end.month()));
}

PassportDay ReadPassportDay(std::string_view cp1251, std::optional<std::chrono::sys_days> reading) {
    const std::string utf8 = Utf8FromCp1251(cp1251);
    std::string_view text = Trim(utf8);
    if (text.empty()) return {std::nullopt, DateProblem::Missing};
    const PassportDay unreadable{std::nullopt, DateProblem::Unreadable};
    text = CutSuffix(CutSuffix(text, "."), "г");
    const std::size_t first = text.find('.');
    const std::size_t second = first == std::string_view::npos ? first : text.find('.', first + 1);
    if (second == std::string_view::npos) return unreadable;
    const std::optional<int> day = WholeNumber(text.substr(0, first));
    const std::optional<int> month = WholeNumber(text.substr(first + 1, second - first - 1));
    const std::string_view yearText = text.substr(second + 1);
    std::optional<int> year = WholeNumber(yearText);
    if (!day || !month || !year || (yearText.size() != 2 && yearText.size() != 4)) {
        return unreadable;
    }
    if (yearText.size() == 2) {
        if (!reading) return unreadable;
        const int readingYear = static_cast<int>(std::chrono::year_month_day(*reading).year());
        *year += readingYear - readingYear % 100;
        if (*year > readingYear) *year -= 100;
    }
    const std::chrono::year_month_day date{std::chrono::year(*year),
                                           std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (*day < 1 || *month < 1 || *year < 1900 || !date.ok()) return unreadable;
    if (reading && std::chrono::sys_days(date) > *reading) {
        return {std::nullopt, DateProblem::AfterReading};
    }
    return {std::chrono::sys_days(date), DateProblem::None};
}

std::string CommissioningProblemText(DateProblem problem) {
    switch (problem) {
        case DateProblem::None:
            return {};
        case DateProblem::Missing:
            return Cp1251FromUtf8("в паспорте нет даты ввода крана в эксплуатацию");
        case DateProblem::Unreadable:
            return Cp1251FromUtf8("дата ввода крана в эксплуатацию в паспорте не распознана");
        case DateProblem::AfterReading:
            return Cp1251FromUtf8(
                "дата ввода крана в эксплуатацию по паспорту позже даты "
                "считывания");
    }
    return {};
}

std::optional<int> ParseServiceYears(std::string_view cp1251) {
    const std::string utf8 = Utf8FromCp1251(cp1251);
    std::string_view text = CutSuffix(Trim(utf8), ".");
    for (const std::string_view unit : {"лет", "года", "год", "years", "г"}) {
        if (text.ends_with(unit)) {
            text = CutSuffix(text, unit);
            break;
        }
    }
    const std::optional<int> years = WholeNumber(text);
    if (!years || *years < 1 || *years > kLongestTerm) return std::nullopt;
    return years;
}

PassportServiceLife ServiceLifeOf(std::string_view dateCp1251, std::string_view termCp1251,
                                  std::optional<std::chrono::sys_days> reading) {
    const PassportDay date = ReadPassportDay(dateCp1251, reading);
    if (!date.day) return {std::nullopt, CommissioningProblemText(date.problem), date.problem};
    const std::optional<int> years = ParseServiceYears(termCp1251);
    if (!years) {
        const bool blank = Trim(termCp1251).empty();
        return {std::nullopt,
                Cp1251FromUtf8(blank ? "в паспорте нет нормативного срока службы"
                                     : "нормативный срок службы в паспорте не "
                                       "распознан"),
                DateProblem::None};
    }
    return {ServiceLife{*date.day, *years}, {}, DateProblem::None};
}

}  // namespace zorvek
