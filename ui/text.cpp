#include "ui/text.h"

#include "model/cp1251.h"

namespace zorvek::ui {

QString QStringOfCp1251(std::string_view text) {
    return QString::fromStdU16String(Utf16FromCp1251(text));
}

std::string Cp1251OfQString(const QString& text) { return Cp1251FromUtf16(text.toStdU16String()); }

}  // namespace zorvek::ui
