#include "reports/excel/appendix3/cell_texts.h"

#include <array>
#include <vector>

#include "model/cp1251.h"
#include "model/format.h"

namespace zorvek {
namespace {

enum class FlagField { Limit, Tilt, Zone, Coord };

struct FlagText {
    FlagField field;
    std::uint8_t bit;
    std::string_view utf8;
};

// Joined without separators, in this order.
constexpr std::array<FlagText, 4> kCoordSet = {{
    {FlagField::Coord, 0x01, "\"П\""},
    {FlagField::Coord, 0x02, "\"Л\""},
    {FlagField::Coord, 0x04, "\"В\""},
    {FlagField::Coord, 0x08, "\"Н\""},
}};

constexpr std::array<FlagText, 4> kCoordTripped = {{
    {FlagField::Coord, 0x10, "Сраб.\"П\""},
    {FlagField::Coord, 0x20, "Сраб.\"Л\""},
    {FlagField::Coord, 0x40, "Сраб.\"В\""},
    {FlagField::Coord, 0x80, "Сраб.\"Н\""},
}};

// КренХ ends in a Cyrillic Х, КренY in a Latin Y, as the legends spell them.
constexpr std::array<FlagText, 9> kWarnings = {{
    {FlagField::Limit, flags::kMinRadiusWarning, "\"MinV\""},
    {FlagField::Limit, flags::kMaxRadiusWarning, "\"MaxV\""},
    {FlagField::Limit, flags::kDangerousLoadWarning, "\"95%>\""},
    {FlagField::Limit, flags::kForbiddenZoneWarning, "Запр.зона"},
    {FlagField::Tilt, flags::kTiltXWarning, "\"КренХ\""},
    {FlagField::Tilt, flags::kTiltYWarning, "\"КренY\""},
    {FlagField::Zone, flags::kCoordWarning, "\"Коорд\""},
    {FlagField::Zone, flags::kPowerLineWarning, "\"ЛЭП\""},
    {FlagField::Zone, flags::kWindWarning, "\"Ветер\""},
}};

constexpr std::array<FlagText, 9> kProtections = {{
    {FlagField::Limit, flags::kMinRadiusProtection, "\"MinV\""},
    {FlagField::Limit, flags::kMaxRadiusProtection, "\"MaxV\""},
    {FlagField::Limit, flags::kOverloadProtection, "\"110%\""},
    {FlagField::Limit, flags::kHookAtTopProtection, "\"КрюкUP\""},
    {FlagField::Tilt, flags::kTiltXProtection, "\"КренХ\""},
    {FlagField::Tilt, flags::kTiltYProtection, "\"КренY\""},
    {FlagField::Zone, flags::kCoordProtection, "\"Коорд\""},
    {FlagField::Zone, flags::kPowerLineProtection, "\"ЛЭП\""},
    {FlagField::Zone, flags::kWindProtection, "\"Ветер\""},
}};

struct Cp1251Flag {
    FlagField field;
    std::uint8_t bit;
    std::string text;
};

template <std::size_t N>
std::vector<Cp1251Flag> Convert(const std::array<FlagText, N>& table) {
    std::vector<Cp1251Flag> flagTexts;
    for (const FlagText& flag : table) {
        flagTexts.push_back({flag.field, flag.bit, Cp1251FromUtf8(flag.utf8)});
    }
    return flagTexts;
}

// Every Russian text of the cells, converted once.
struct Texts {
    std::vector<Cp1251Flag> coordSet = Convert(kCoordSet);
    std::vector<Cp1251Flag> coordTripped = Convert(kCoordTripped);
    std::vector<Cp1251Flag> warnings = Convert(kWarnings);
    std::vector<Cp1251Flag> protections = Convert(kProtections);
    std::string percent = "  %";
    std::string metres = Cp1251FromUtf8(" м");
    std::string tonnes = Cp1251FromUtf8(" т");
    std::string noLoad = Cp1251FromUtf8("      0.0 т");
    std::string auxiliary = Cp1251FromUtf8(" Вспом.");
    std::string adjustment = Cp1251FromUtf8(" Юст.");
    std::string blocking = Cp1251FromUtf8(" Блок.");
    std::string mechanismRan = Cp1251FromUtf8("Механизм работал");
    std::string mechanismIdle = Cp1251FromUtf8("Механизм не работал");
    std::string degree = Cp1251FromUtf8("°");
    std::string cycleStart = Cp1251FromUtf8("Начало цикла");
    std::string cycleEnd = Cp1251FromUtf8("Конец цикла");
};

const Texts& Cp1251Texts() {
    static const Texts texts;
    return texts;
}

std::uint8_t FieldOf(const HourRecord& record, FlagField field) {
    switch (field) {
        case FlagField::Limit:
            return record.LimitFlags();
        case FlagField::Tilt:
            return record.TiltFlags();
        case FlagField::Zone:
            return record.ZoneFlags();
        case FlagField::Coord:
            return record.CoordFlags();
    }
    return 0;
}

std::string JoinFlags(const std::vector<Cp1251Flag>& table, const HourRecord& record) {
    std::string text;
    for (const Cp1251Flag& flag : table) {
        if (FieldOf(record, flag.field) & flag.bit) text += flag.text;
    }
    return text;
}

}  // namespace

std::string ModeText(std::uint8_t modeFlags) {
    const Texts& texts = Cp1251Texts();
    const int number = modeFlags & flags::kModeNumberMask;
    std::string text = (modeFlags & flags::kModeAuxiliary)
                           ? texts.auxiliary + " " + std::to_string(number - 10)
                           : std::to_string(number);
    if (modeFlags & flags::kModeAdjustment) text += texts.adjustment;
    if (modeFlags & flags::kModeBlocking) text += texts.blocking;
    return text;
}

int PowerLineCode(std::uint8_t powerLineState) {
    const bool off = powerLineState & 0x10;
    const bool on = powerLineState & 0x20;
    if (off) return on ? 111 : 1000;
    return (powerLineState & 0x0F) + (on ? 888 : 0);
}

std::string PowerLineText(int code) {
    switch (code) {
        case 1:
            return "0.22-1";
        case 2:
            return "6-10";
        case 3:
            return "20-35";
        case 4:
            return "110-450";
        case 5:
            return "500>";
        case 111:
            return "  net err";
        case 888:
            return "  On";
        case 1000:
            return "  OFF";
        default:
            return {};
    }
}

std::string CellText(ColumnKind kind, const HourRecord& record, int position) {
    const Texts& texts = Cp1251Texts();
    switch (kind) {
        case ColumnKind::Number:
            return std::to_string(position + 1);
        case ColumnKind::DateTime:
            return FormatDateTime(18, record.Time());
        case ColumnKind::LoadPercent:
            return FormatReal("#####0.0", record.LoadPercent()) + texts.percent;
        case ColumnKind::Radius:
            return FormatReal("#####0.0", record.Radius()) + texts.metres;
        case ColumnKind::BoomLength:
            return FormatReal("######0.0", record.BoomLength()) + texts.metres;
        case ColumnKind::LoadWeight:
            // Below zero the hook counts as empty.
            if (record.LoadWeight() < 0) return texts.noLoad;
            return FormatReal("######0.0", record.LoadWeight()) + texts.tonnes;
        case ColumnKind::Capacity:
            return FormatReal("######0.0", record.Capacity()) + texts.tonnes;
        case ColumnKind::Azimuth:
            return FormatReal("######0.0", record.Azimuth());
        case ColumnKind::Mode:
            return ModeText(record.ModeFlags());
        case ColumnKind::CoordSet:
            return JoinFlags(texts.coordSet, record);
        case ColumnKind::CoordTripped:
            return JoinFlags(texts.coordTripped, record);
        case ColumnKind::Warnings:
            return JoinFlags(texts.warnings, record);
        case ColumnKind::Protection:
            return JoinFlags(texts.protections, record);
        case ColumnKind::Mechanism:
            return (record.TiltFlags() & flags::kNamedMechanismRunning) ? texts.mechanismRan
                                                                        : texts.mechanismIdle;
        case ColumnKind::PowerLine:
            return PowerLineText(PowerLineCode(record.PowerLineState()));
        case ColumnKind::RollLongitudinal:
            return std::to_string(record.RollLongitudinal()) + texts.degree;
        case ColumnKind::RollTransverse:
            return std::to_string(record.RollTransverse()) + texts.degree;
        case ColumnKind::Wind:
            return std::to_string(record.WindSpeed() / 10) + "." +
                   std::to_string(record.WindSpeed() % 10);
        case ColumnKind::Note:
            if (record.EventCode() == kEventCycleStart) return texts.cycleStart;
            if (record.EventCode() == kEventCycleEnd) return texts.cycleEnd;
            return {};
    }
    return {};
}

std::string_view LegendKey(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::CoordSet:
            return "yustkoord";
        case ColumnKind::CoordTripped:
            return "koord";
        case ColumnKind::Warnings:
            return "warnings";
        case ColumnKind::Protection:
            return "protect";
        case ColumnKind::Mechanism:
            return "discret";
        case ColumnKind::PowerLine:
            return "lep";
        default:
            return {};
    }
}

}  // namespace zorvek
