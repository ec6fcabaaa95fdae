#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zorvek::ui {

// The program's title: the message boxes' caption.
inline const QString kProgramTitle = QStringLiteral("ЗОРВЕК");

// The core keeps its texts in cp1251; the windows show UTF-16.
QString QStringOfCp1251(std::string_view text);
std::string Cp1251OfQString(const QString& text);

}  // namespace zorvek::ui
