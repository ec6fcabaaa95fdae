#include "tests/reports/excel/xlsx_package.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <charconv>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "reports/excel/zip_reader.h"

namespace zorvek::test {

double XmlNumber(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw std::runtime_error("not a number: " + std::string(text));
    return value;
}
namespace {

const xmlChar* Xml(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

std::string CellXPath(const std::string& ref) {
    return "//m:sheetData/m:row/m:c[@r='" + ref + "']";
}

int RowOf(const std::string& ref) { return std::stoi(ref.substr(ref.find_first_of("0123456789"))); }

int ColumnOf(const std::string& ref) {
    int col = 0;
    for (const char c : ref.substr(0, ref.find_first_of("0123456789")))
        col = col * 26 + (c - 'A' + 1);
    return col;
}

}  // namespace

struct XmlPart::Doc {
    xmlDocPtr doc = nullptr;
    xmlXPathContextPtr context = nullptr;
};

XmlPart::XmlPart(const std::string& xml) : m_doc(std::make_unique<Doc>()) {
    m_doc->doc =
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET);
    if (m_doc->doc == nullptr) throw std::runtime_error("malformed XML");
    m_doc->context = xmlXPathNewContext(m_doc->doc);
    xmlXPathRegisterNs(m_doc->context, Xml("m"),
                       Xml("http://schemas.openxmlformats.org/spreadsheetml/2006/main"));
}

XmlPart::XmlPart(XmlPart&&) noexcept = default;

XmlPart::~XmlPart() {
    if (!m_doc) return;
    xmlXPathFreeContext(m_doc->context);
    xmlFreeDoc(m_doc->doc);
}

std::vector<std::string> XmlPart::All(const std::string& xpath) const {
    xmlXPathObjectPtr result = xmlXPathEvalExpression(Xml(xpath.c_str()), m_doc->context);
    if (result == nullptr) throw std::runtime_error("bad XPath: " + xpath);
    std::vector<std::string> texts;
    if (result->nodesetval != nullptr) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
            xmlChar* content = xmlNodeGetContent(result->nodesetval->nodeTab[i]);
            texts.emplace_back(content ? reinterpret_cast<const char*>(content) : "");
            xmlFree(content);
        }
    }
    xmlXPathFreeObject(result);
    return texts;
}

std::vector<std::string> XmlPart::Names(const std::string& xpath) const {
    xmlXPathObjectPtr result = xmlXPathEvalExpression(Xml(xpath.c_str()), m_doc->context);
    if (result == nullptr) throw std::runtime_error("bad XPath: " + xpath);
    std::vector<std::string> names;
    if (result->nodesetval != nullptr) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
            names.emplace_back(reinterpret_cast<const char*>(result->nodesetval->nodeTab[i]->name));
        }
    }
    xmlXPathFreeObject(result);
    return names;
}

std::string XmlPart::One(const std::string& xpath) const {
    const auto all = All(xpath);
    return all.empty() ? std::string() : all.front();
}

int XmlPart::Count(const std::string& xpath) const { return static_cast<int>(All(xpath).size()); }

XlsxPackage::XlsxPackage(const std::filesystem::path& file) {
    std::optional<std::vector<ZipEntry>> entries = ReadZip(file);
    if (!entries) throw std::runtime_error("not a zip: " + file.string());
    for (ZipEntry& entry : *entries) m_entries[entry.name] = std::move(entry.data);
    for (const auto& [name, data] : m_entries) {
        if (name.ends_with(".xml")) m_parts.emplace(name, XmlPart(data));
    }
    if (const auto shared = m_parts.find("xl/sharedStrings.xml"); shared != m_parts.end()) {
        m_strings = shared->second.All("//m:sst/m:si");
    }
}

bool XlsxPackage::HasCell(const std::string& ref) const {
    return Sheet().Count(CellXPath(ref)) == 1;
}

std::string XlsxPackage::ValueType(const std::string& ref) const {
    const std::string cell = CellXPath(ref);
    const std::string type = Sheet().One(cell + "/@t");
    if (type == "s" || type == "inlineStr" || type == "str") return "s";
    return Sheet().Count(cell + "/m:v") == 1 ? "n" : "";
}

std::string XlsxPackage::Value(const std::string& ref) const {
    const std::string cell = CellXPath(ref);
    const std::string type = Sheet().One(cell + "/@t");
    if (type == "s") return m_strings.at(std::stoul(Sheet().One(cell + "/m:v")));
    if (type == "inlineStr") return Sheet().One(cell + "/m:is");
    return Sheet().One(cell + "/m:v");
}

CellLook XlsxPackage::LookAt(const std::string& ref) const {
    std::string style = "0";
    const std::string row = "//m:sheetData/m:row[@r='" + std::to_string(RowOf(ref)) + "']";
    const std::string col = std::to_string(ColumnOf(ref));
    if (HasCell(ref)) {
        style = Sheet().One(CellXPath(ref) + "/@s");
    } else if (Sheet().One(row + "/@customFormat") == "1") {
        style = Sheet().One(row + "/@s");
    } else {
        style = Sheet().One("//m:cols/m:col[@min <= " + col + " and @max >= " + col + "]/@style");
    }
    if (style.empty()) style = "0";
    const XmlPart& styles = Styles();
    const std::string xf = "//m:cellXfs/m:xf[" + std::to_string(std::stoi(style) + 1) + "]";
    const auto nth = [&](const std::string& list, const std::string& idAttribute) {
        return "//m:" + list + "[" +
               std::to_string(std::stoi(styles.One(xf + "/@" + idAttribute)) + 1) + "]";
    };
    const std::string font = nth("fonts/m:font", "fontId");
    const std::string fill = nth("fills/m:fill", "fillId");
    const std::string border = nth("borders/m:border", "borderId");
    CellLook look;
    look.bold = styles.Count(font + "/m:b") == 1;
    look.size = styles.One(font + "/m:sz/@val");
    look.fontRgb = styles.One(font + "/m:color/@rgb");
    if (styles.One(fill + "/m:patternFill/@patternType") == "solid") {
        look.fillRgb = styles.One(fill + "/m:patternFill/m:fgColor/@rgb");
    }
    look.alignment = styles.One(xf + "/m:alignment/@horizontal");
    look.left = styles.One(border + "/m:left/@style");
    look.top = styles.One(border + "/m:top/@style");
    look.bottom = styles.One(border + "/m:bottom/@style");
    look.right = styles.One(border + "/m:right/@style");
    return look;
}

double XlsxPackage::ColumnWidth(int col) const {
    const std::string n = std::to_string(col);
    const auto widths =
        Sheet().All("//m:cols/m:col[@min <= " + n + " and @max >= " + n + "]/@width");
    if (widths.empty()) return 0;
    if (widths.size() > 1)
        throw std::runtime_error("column " + n + " in " + std::to_string(widths.size()) + " runs");
    return XmlNumber(widths.front());
}

}  // namespace zorvek::test
