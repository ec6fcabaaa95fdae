#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zorvek::test {

// A number as the workbook's XML must hold it, with a "." whatever the
// locale; throws for anything else (a decimal comma).
double XmlNumber(std::string_view text);

// One XML part of a workbook, queried with XPath; "m" is the spreadsheet
// namespace.
class XmlPart {
  public:
    explicit XmlPart(const std::string& xml);
    ~XmlPart();
    XmlPart(XmlPart&&) noexcept;

    // The text of every matching node (element content or attribute value).
    std::vector<std::string> All(const std::string& xpath) const;
    // The local names of the matching nodes.
    std::vector<std::string> Names(const std::string& xpath) const;
    // The first match; "" when nothing matches.
    std::string One(const std::string& xpath) const;
    int Count(const std::string& xpath) const;

  private:
    struct Doc;
    std::unique_ptr<Doc> m_doc;
};

// How a cell looks, read from styles.xml.
struct CellLook {
    bool bold = false;
    std::string size;                      // points
    std::string fontRgb;                   // "FFFF0000"; "" for automatic
    std::string fillRgb;                   // "" for no fill
    std::string alignment;                 // "" for general
    std::string left, top, bottom, right;  // border styles; "" for none
};

// A workbook written by the layer, read back part by part.
class XlsxPackage {
  public:
    explicit XlsxPackage(const std::filesystem::path& file);

    const XmlPart& Sheet() const { return m_parts.at("xl/worksheets/sheet1.xml"); }
    const XmlPart& Styles() const { return m_parts.at("xl/styles.xml"); }
    const XmlPart& Comments() const { return m_parts.at("xl/comments1.xml"); }
    const std::string& Entry(const std::string& name) const { return m_entries.at(name); }
    const std::map<std::string, std::string>& Entries() const { return m_entries; }

    bool HasCell(const std::string& ref) const;
    // "n" for numbers, "s" for text (shared or inline), "" for no value.
    std::string ValueType(const std::string& ref) const;
    // The value as stored: the text, or the number as written.
    std::string Value(const std::string& ref) const;
    // What a reader shows at ref: the cell's own format, else its row's,
    // else its column's.
    CellLook LookAt(const std::string& ref) const;
    // Of a 1-based column; 0 when no run covers it. Throws when runs overlap.
    double ColumnWidth(int col) const;

  private:
    std::map<std::string, std::string> m_entries;
    std::map<std::string, XmlPart> m_parts;
    std::vector<std::string> m_strings;
};

}  // namespace zorvek::test
