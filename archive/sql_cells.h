#pragma once

#include <charconv>
#include <limits>
#include <optional>
#include <string>

#include "archive/sql_connection.h"

// Reading the backends' result cells, and the parameters both take alike.
namespace zorvek::archive {

template <typename Number>
std::optional<Number> NumberOf(const SqlCell& cell) {
    if (!cell) return std::nullopt;
    Number value{};
    const auto [end, error] = std::from_chars(cell->data(), cell->data() + cell->size(), value);
    if (error != std::errc() || end != cell->data() + cell->size()) return std::nullopt;
    return value;
}

// Reads the row's cells in turn.
class Cells {
  public:
    explicit Cells(const SqlRow& row) : m_row(row) {}
    const SqlCell& Next() { return m_index < m_row.size() ? m_row[m_index++] : m_none; }
    std::string Text() { return Next().value_or(""); }
    std::int64_t Integer() { return NumberOf<std::int64_t>(Next()).value_or(0); }
    double Real() {
        return NumberOf<double>(Next()).value_or(std::numeric_limits<double>::quiet_NaN());
    }
    std::optional<double> OptionalReal() { return NumberOf<double>(Next()); }
    std::optional<int> OptionalInt() { return NumberOf<int>(Next()); }
    std::optional<std::int64_t> OptionalInteger() { return NumberOf<std::int64_t>(Next()); }

  private:
    const SqlRow& m_row;
    std::size_t m_index = 0;
    SqlCell m_none;
};

inline SqlBlob BlobOf(std::string_view bytes) {
    return {std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())};
}

inline SqlParam OptionalId(const std::optional<std::int64_t>& id) {
    return id ? SqlParam(*id) : SqlParam(std::monostate{});
}

}  // namespace zorvek::archive
