#include "ui/text.h"

#include <algorithm>

#include "model/cp1251.h"

namespace zorvek::ui {

QString QStringOfCp1251(std::string_view text) {
    return QString::fromStdU16String(Utf16FromCp1251(text));
}

std::string Cp1251OfQString(const QString& text) { return Cp1251FromUtf16(text.toStdU16String()); }

QString ElidedStatus(const QString& text, const QFontMetrics& metrics, int room) {
    if (metrics.horizontalAdvance(text) <= room) return text;
    const qsizetype cut = std::max(text.lastIndexOf('/'), text.lastIndexOf('\\')) + 1;
    const QString folders = text.left(cut);
    const QString name = text.mid(cut);
    // The name keeps at least a third of the line: its beginning and its
    // extension tell the documents apart.
    const int nameRoom = std::max(room - metrics.horizontalAdvance(folders), room / 3);
    const QString shortName = metrics.elidedText(name, Qt::ElideMiddle, nameRoom);
    const int foldersRoom = room - metrics.horizontalAdvance(shortName);
    return metrics.elidedText(folders, Qt::ElideMiddle, foldersRoom) + shortName;
}

}  // namespace zorvek::ui
