#pragma once

#include <QFontMetrics>
#include <QString>
#include <string>
#include <string_view>

namespace zorvek::ui {

// The program's title: the message boxes' caption.
inline const QString kProgramTitle = QStringLiteral("ЗОРВЕК");

// The core keeps its texts in cp1251; the windows show UTF-16.
QString QStringOfCp1251(std::string_view text);
std::string Cp1251OfQString(const QString& text);

// A status line's text cut to `room` pixels. A path keeps its folders and
// loses the middle of its file name first, so that the documents folder
// stays readable; only a file name too short to cut shortens the folders.
QString ElidedStatus(const QString& text, const QFontMetrics& metrics, int room);

}  // namespace zorvek::ui
