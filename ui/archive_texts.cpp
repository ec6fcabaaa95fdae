#include "ui/archive_texts.h"

#include <QStringList>

#include "model/duty_figures.h"
#include "model/local_time.h"
#include "ui/text.h"

namespace zorvek::ui {
namespace {

QString TwoDigits(int value) { return QString::number(value).rightJustified(2, QChar('0')); }

}  // namespace

QString SourceText(archive::ReadoutSource source) {
    switch (source) {
        case archive::ReadoutSource::File:
            return QStringLiteral("Файл");
        case archive::ReadoutSource::Recorder:
            return QStringLiteral("Прибор");
        case archive::ReadoutSource::UsbReader:
            return QStringLiteral("Прибор считывания (USB)");
        case archive::ReadoutSource::LptReader:
            return QStringLiteral("Прибор считывания (LPT)");
    }
    return {};
}

QString ReadAtText(std::chrono::sys_seconds readAt) {
    const std::tm local = LocalTime(static_cast<std::time_t>(readAt.time_since_epoch().count()));
    return TwoDigits(local.tm_mday) + '.' + TwoDigits(local.tm_mon + 1) + '.' +
           QString::number(local.tm_year + 1900) + ' ' + TwoDigits(local.tm_hour) + ':' +
           TwoDigits(local.tm_min);
}

QString DateText(std::optional<std::chrono::sys_days> day) {
    if (!day) return {};
    const std::chrono::year_month_day date(*day);
    return TwoDigits(static_cast<int>(static_cast<unsigned>(date.day()))) + '.' +
           TwoDigits(static_cast<int>(static_cast<unsigned>(date.month()))) + '.' +
           QString::number(static_cast<int>(date.year()));
}

QString CountText(std::uint64_t count) { return QStringOfCp1251(GroupedDigits(count)); }

QString LifeUsedText(std::optional<double> share) {
    if (!share) return QStringLiteral("—");
    return QStringOfCp1251(PercentText(*share));
}

QString FlagsText(const archive::ReadoutFlags& flags) {
    QStringList said;
    if (flags.recorderChanged) said << QStringLiteral("заменён регистратор");
    if (flags.countersBack) said << QStringLiteral("счётчики уменьшились");
    return said.join(QStringLiteral(", "));
}

QString FlagsText(const archive::ReadoutFlags& flags, const archive::FlagBasis& basis) {
    QString text = FlagsText(flags);
    const auto against = flags.recorderChanged && basis.recorderElsewhere ? basis.recorderElsewhere
                                                                          : basis.comparedWith;
    if (!text.isEmpty() && against) {
        text +=
            QStringLiteral(" (по сравнению с № ") + QString::number(*against) + QStringLiteral(")");
    }
    return text;
}

QString RegistrationText(const std::string& registration) {
    return archive::RegistrationBlank(registration) ? QStringLiteral("рег. № не указан")
                                                    : QStringOfCp1251(registration);
}

}  // namespace zorvek::ui
