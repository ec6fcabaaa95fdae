#include "model/passport.h"

#include <sstream>

#include "model/atomic_file.h"
#include "model/binary_file.h"
#include "model/cp1251.h"

namespace zorvek {
namespace {

constexpr int kFileLines = 22;
constexpr std::size_t kFormLineLimit = 63;

std::array<std::string, PassportSheet::kRows> Captions() {
    static const char* const kUtf8[] = {
        "Владелец крана",
        "Тип и индекс крана",
        "Регистрационный номер",
        "Инвентарный номер крана",
        "Пр-тие, изготовитель крана",
        "Зав. номер и год изг-ния крана",
        "Вид грузозахватного органа",
        "Грузоподъёмности крана",
        "Группа классификации (режима)",
        "Дата ввода крана в эксплуатацию",
        "Нормат. срок службы крана",
        "Тип ОГП",
        "Зав. номер и год изг-ния ОГП",
        "Параметры настройки ОГП крана",
        "Тип и модификация РП",
        "Зав. номер и год изг-ния РП",
        "Дата и время установки РП",
        "Организация установившая РП",
        "Специалист работавший с РП",
        "",
    };
    std::array<std::string, PassportSheet::kRows> captions;
    for (int row = 0; row < PassportSheet::kRows; ++row) captions[row] = Cp1251FromUtf8(kUtf8[row]);
    return captions;
}

const std::string& Empty() {
    static const std::string empty;
    return empty;
}

bool ValidRow(int row) { return row >= 0 && row < PassportSheet::kRows; }

}  // namespace

PassportSheet::PassportSheet() : m_captions(Captions()) {}

const std::string& PassportSheet::Caption(int row) const {
    return ValidRow(row) ? m_captions[row] : Empty();
}

const std::string& PassportSheet::Value(int row) const {
    return ValidRow(row) ? m_values[row] : Empty();
}

void PassportSheet::SetValue(int row, std::string value) {
    if (ValidRow(row)) m_values[row] = std::move(value);
}

TransferResult SaveInfoIni(const PassportSheet& sheet, const std::filesystem::path& file) {
    std::string text;
    for (int row = 0; row < kFileLines; ++row) {
        text += sheet.Caption(row) + "=" + sheet.Value(row) + ";\r\n";
    }
    return WriteFileAtomically(
        file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TransferResult LoadInfoIni(PassportSheet& sheet, const std::filesystem::path& file) {
    TransferResult result;
    const auto bytes = ReadWholeFile(file, kInfoIniLimit, result);
    if (!bytes) return result;
    ReadInfoIniText(sheet,
                    std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    return result;
}

void ReadInfoIniText(PassportSheet& sheet, std::string_view text) {
    std::istringstream in{std::string(text)};
    int row = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t equals = line.find('=');
        std::string rest = equals == std::string::npos ? line : line.substr(equals + 1);
        // The value ends at the line's last ";": a value may itself hold ";"
        // and "=", and a file of "value;" lines reads the same either way.
        const std::size_t semicolon = rest.rfind(';');
        std::string value =
            semicolon == std::string::npos ? std::string() : rest.substr(0, semicolon);
        if (!value.empty()) sheet.SetValue(row, std::move(value));
        ++row;
    }
}

std::array<std::string, 19> CopyPassportLines(const PassportSheet& sheet) {
    std::array<std::string, 19> lines;
    for (int row = 0; row < 19; ++row) lines[row] = sheet.Value(row).substr(0, kFormLineLimit);
    return lines;
}

}  // namespace zorvek
