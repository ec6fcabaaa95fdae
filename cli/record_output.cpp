#include "cli/record_output.h"

#include <algorithm>
#include <ostream>

namespace zorvek::cli {
namespace {

constexpr std::string_view kNothing = "-";

// Characters, not bytes: a Cyrillic letter is two bytes of UTF-8.
std::size_t Width(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The table shows a value on one line whatever it holds.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
    }
    return text;
}

std::string TableText(const Field& field) {
    switch (field.kind) {
        case Field::Kind::Flag:
            return field.flag ? "да" : "нет";
        case Field::Kind::None:
            return std::string(kNothing);
        case Field::Kind::Text:
        case Field::Kind::Number:
            break;
    }
    return OneLine(field.text);
}

// How a CSV file is written: for programs (RFC 4180), or for a spreadsheet
// set to Russian, which splits at ";" and reads "1.5" as the first of May.
struct CsvDialect {
    char separator = ',';
    bool decimalComma = false;
};

std::string CsvText(const Field& field, const CsvDialect& dialect) {
    switch (field.kind) {
        case Field::Kind::Flag:
            return field.flag ? "1" : "0";
        case Field::Kind::None:
            return "";
        case Field::Kind::Number: {
            std::string number = field.text;
            if (dialect.decimalComma) std::replace(number.begin(), number.end(), '.', ',');
            return number;
        }
        case Field::Kind::Text:
            break;
    }
    // A spreadsheet takes a cell that begins so for a formula
    // ("=HYPERLINK(...)" in a passport text): a leading quote keeps it text.
    std::string text = field.text;
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    if (text.find_first_of(std::string{dialect.separator, '"', '\r', '\n'}) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 32) {
            static constexpr char kHex[] = "0123456789abcdef";
            json += "\\u00";
            json += kHex[byte >> 4];
            json += kHex[byte & 0xF];
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string JsonValue(const Field& field) {
    switch (field.kind) {
        case Field::Kind::Flag:
            return field.flag ? "true" : "false";
        case Field::Kind::None:
            return "null";
        case Field::Kind::Number:
            return field.text;
        case Field::Kind::Text:
            break;
    }
    return JsonString(field.text);
}

void PrintJsonObject(const Record& record, std::ostream& out, std::string_view indent) {
    out << "{";
    for (std::size_t i = 0; i < record.size(); ++i) {
        out << (i == 0 ? "\n" : ",\n") << indent << "  " << JsonString(record[i].key) << ": "
            << JsonValue(record[i]);
    }
    out << "\n" << indent << "}";
}

void Pad(std::ostream& out, const std::string& text, std::size_t width, bool right) {
    const std::string padding(width - std::min(width, Width(text)), ' ');
    out << (right ? padding + text : text + padding);
}

void PrintTable(const std::vector<Record>& records, const Record& shape, std::ostream& out) {
    if (shape.empty()) return;
    std::vector<std::size_t> widths;
    for (const Field& field : shape) widths.push_back(Width(field.title));
    for (const Record& record : records) {
        for (std::size_t i = 0; i < record.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], Width(TableText(record[i])));
        }
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (i != 0) out << "  ";
        Pad(out, shape[i].title, i + 1 == shape.size() ? 0 : widths[i], false);
    }
    out << '\n';
    for (const Record& record : records) {
        for (std::size_t i = 0; i < record.size() && i < widths.size(); ++i) {
            if (i != 0) out << "  ";
            const bool last = i + 1 == record.size();
            Pad(out, TableText(record[i]), last ? 0 : widths[i],
                record[i].kind == Field::Kind::Number);
        }
        out << '\n';
    }
}

}  // namespace

std::optional<OutputFormat> OutputFormatOf(std::string_view name) {
    if (name == "table") return OutputFormat::Table;
    if (name == "csv") return OutputFormat::Csv;
    if (name == "csv-excel") return OutputFormat::CsvExcel;
    if (name == "json") return OutputFormat::Json;
    return std::nullopt;
}

Field TextField(std::string key, std::string title, std::string utf8) {
    return {std::move(key), std::move(title), Field::Kind::Text, std::move(utf8), false};
}

Field NumberField(std::string key, std::string title, std::string number) {
    return {std::move(key), std::move(title), Field::Kind::Number, std::move(number), false};
}

Field FlagField(std::string key, std::string title, bool flag) {
    return {std::move(key), std::move(title), Field::Kind::Flag, {}, flag};
}

Field NoneField(std::string key, std::string title) {
    return {std::move(key), std::move(title), Field::Kind::None, {}, false};
}

void PrintRecords(const std::vector<Record>& records, OutputFormat format, std::ostream& out,
                  bool single, const Record& emptyShape) {
    const Record& shape = records.empty() ? emptyShape : records.front();
    switch (format) {
        case OutputFormat::Table:
            if (single && !records.empty()) {
                std::size_t width = 0;
                for (const Field& field : records.front())
                    width = std::max(width, Width(field.title));
                for (const Field& field : records.front()) {
                    Pad(out, field.title, width, false);
                    out << "  " << TableText(field) << '\n';
                }
                return;
            }
            PrintTable(records, shape, out);
            return;
        case OutputFormat::Csv:
        case OutputFormat::CsvExcel: {
            const bool excel = format == OutputFormat::CsvExcel;
            const CsvDialect dialect{excel ? ';' : ',', excel};
            // The byte-order mark tells the spreadsheet the file is UTF-8.
            if (excel) out << "\xEF\xBB\xBF";
            if (shape.empty()) return;
            for (std::size_t i = 0; i < shape.size(); ++i) {
                if (i != 0) out << dialect.separator;
                out << shape[i].key;
            }
            out << "\r\n";
            for (const Record& record : records) {
                for (std::size_t i = 0; i < record.size(); ++i) {
                    if (i != 0) out << dialect.separator;
                    out << CsvText(record[i], dialect);
                }
                out << "\r\n";
            }
            return;
        }
        case OutputFormat::Json:
            if (single && !records.empty()) {
                PrintJsonObject(records.front(), out, "");
                out << '\n';
                return;
            }
            out << "[";
            for (std::size_t i = 0; i < records.size(); ++i) {
                out << (i == 0 ? "\n  " : ",\n  ");
                PrintJsonObject(records[i], out, "  ");
            }
            out << (records.empty() ? "]\n" : "\n]\n");
            return;
    }
}

}  // namespace zorvek::cli
