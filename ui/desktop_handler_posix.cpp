#include <QMimeDatabase>
#include <QProcess>

#include "ui/desktop_handler.h"

namespace zorvek::ui {

bool DesktopHasHandler(const QString& file) {
    const QString type = QMimeDatabase().mimeTypeForFile(file).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), type});
    // Without the desktop's own tool the opener may still know a way: let it try.
    if (!query.waitForStarted(2000)) return true;
    if (!query.waitForFinished(5000)) return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace zorvek::ui
