#include "model/cycle_line.h"

#include <cstdint>

#include "model/cp1251.h"
#include "model/format.h"

namespace zorvek {
namespace {

enum class FlagByte { Limit, Tilt, Zone };

struct Note {
    FlagByte byte;
    std::uint8_t mask;
    const char* text;  // UTF-8; "M" of "!MВ" and "Y" of "КY" are Latin
};

constexpr Note kNotes[] = {
    {FlagByte::Limit, flags::kMinRadiusWarning, "!мВ"},
    {FlagByte::Limit, flags::kMaxRadiusWarning, "!MВ"},
    {FlagByte::Limit, flags::kDangerousLoadWarning, "!95%>"},
    {FlagByte::Limit, flags::kForbiddenZoneWarning, "!З.з"},
    {FlagByte::Tilt, flags::kTiltXWarning, "!КХ"},
    {FlagByte::Tilt, flags::kTiltYWarning, "!КY"},
    {FlagByte::Zone, flags::kCoordWarning, "!Ко"},
    {FlagByte::Zone, flags::kPowerLineWarning, "!ЛЭП"},
    {FlagByte::Zone, flags::kWindWarning, "!Вр"},
    {FlagByte::Limit, flags::kMinRadiusProtection, "мВ"},
    {FlagByte::Limit, flags::kMaxRadiusProtection, "МВ"},
    {FlagByte::Limit, flags::kOverloadProtection, "110%"},
    {FlagByte::Limit, flags::kHookAtTopProtection, "Кр"},
    {FlagByte::Tilt, flags::kTiltXProtection, "КХ"},
    {FlagByte::Tilt, flags::kTiltYProtection, "КY"},
    {FlagByte::Zone, flags::kCoordProtection, "Ко"},
    {FlagByte::Zone, flags::kPowerLineProtection, "ЛЭП"},
    {FlagByte::Zone, flags::kWindProtection, "Вр"},
};

std::uint8_t FlagsOf(const CycleRecord& record, FlagByte byte) {
    switch (byte) {
        case FlagByte::Limit:
            return record.LimitFlags();
        case FlagByte::Tilt:
            return record.TiltFlags();
        case FlagByte::Zone:
            return record.ZoneFlags();
    }
    return 0;
}

}  // namespace

std::string CycleNotes(const CycleRecord& record) {
    std::string notes;
    for (const Note& note : kNotes) {
        if (FlagsOf(record, note.byte) & note.mask)
            notes += "\"" + Cp1251FromUtf8(note.text) + "\"";
    }
    return notes;
}

std::string CycleLine(const CycleRecord& record) {
    return FormatDateTime(18, record.Time()) + "\t\t" +
           FormatReal("#####0.0", record.LoadPercent()) + "\t\t   " +
           FormatDuration(12, record.DurationSeconds()) + "\t\t  " +
           FormatReal("##0.0", record.Radius()) + "\t\t" +
           FormatReal("######0.0", record.LoadWeight()) + "\t\t " + CycleNotes(record);
}

}  // namespace zorvek
