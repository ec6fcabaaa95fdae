#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

#include "archive/readout_archive.h"

// How the archive windows write the figures of a read-out: Russian words,
// decimal comma and grouped digits as the documents have them, dates in the
// machine's local time.
namespace zorvek::ui {

QString SourceText(archive::ReadoutSource source);
// The registration as written; "рег. № не указан" for a blank one.
QString RegistrationText(const std::string& registration);
// "08.12.2026 14:05", local time.
QString ReadAtText(std::chrono::sys_seconds readAt);
// "31.12.2040"; empty without a date.
QString DateText(std::optional<std::chrono::sys_days> day);
// "12 112": grouped from five digits on.
QString CountText(std::uint64_t count);
// "12,3 %"; "—" when the life used is unknown.
QString LifeUsedText(std::optional<double> share);
// What the flags of a read-out or a crane say, comma-separated; empty when
// none is set.
QString FlagsText(const archive::ReadoutFlags& flags);
// The same for one read-out, naming the read-out it was set against: "заменён
// регистратор (по сравнению с № 12)".
QString FlagsText(const archive::ReadoutFlags& flags, const archive::FlagBasis& basis);

}  // namespace zorvek::ui
