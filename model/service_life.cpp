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

std::optional<std::chrono::sys_days> ParseServiceDate(std::string_view cp1251) {
    const std::string utf8 = Utf8FromCp1251(cp1251);
    std::string_view text = Trim(utf8);
    text = CutSuffix(CutSuffix(text, "."), "г");
    const std::size_t first = text.find('.');
    const std::size_t second = first == std::string_view::npos ? first : text.find('.', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::optional<int> day = WholeNumber(text.substr(0, first));
    const std::optional<int> month = WholeNumber(text.substr(first + 1, second - first - 1));
    const std::string_view yearText = text.substr(second + 1);
    std::optional<int> year = WholeNumber(yearText);
    if (!day || !month || !year || (yearText.size() != 2 && yearText.size() != 4)) {
        return std::nullopt;
    }
    if (yearText.size() == 2) *year += 2000;
    const std::chrono::year_month_day date{std::chrono::year(*year),
                                           std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (*day < 1 || *month < 1 || *year < 1900 || !date.ok()) return std::nullopt;
    return std::chrono::sys_days(date);
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

std::optional<ServiceLife> ServiceLifeOf(std::string_view dateCp1251, std::string_view termCp1251) {
    const std::optional<std::chrono::sys_days> date = ParseServiceDate(dateCp1251);
    const std::optional<int> years = ParseServiceYears(termCp1251);
    if (!date || !years) return std::nullopt;
    return ServiceLife{*date, *years};
}

}  // namespace zorvek
