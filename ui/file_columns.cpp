#include "ui/file_columns.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QTreeView>
#include <array>

namespace zorvek::ui {
namespace {

// The columns of QFileSystemModel.
enum Column { kSize = 1, kType = 2, kChanged = 3 };

QLocale Russian() {
    QLocale russian(QLocale::Russian, QLocale::Russia);
    russian.setNumberOptions(QLocale::OmitGroupSeparator);
    return russian;
}

}  // namespace

QString FileSizeText(qint64 bytes) {
    if (bytes < 1024) return QString::number(bytes) + QStringLiteral(" байт");
    static const std::array<QString, 4> units = {QStringLiteral("КБ"), QStringLiteral("МБ"),
                                                 QStringLiteral("ГБ"), QStringLiteral("ТБ")};
    double value = double(bytes) / 1024;
    std::size_t unit = 0;
    // 1023.96 КБ would round to "1024,0 КБ": the next unit says it better.
    while (value >= 1023.95 && unit + 1 < units.size()) {
        value /= 1024;
        ++unit;
    }
    return Russian().toString(value, 'f', 1) + ' ' + units[unit];
}

QVariant RussianFileColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr || role != Qt::DisplayRole) return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const bool folder = files->isDir(source);
    switch (index.column()) {
        case kSize:
            return folder ? QString() : FileSizeText(files->size(source));
        case kType:
            if (files->fileInfo(source).isRoot()) return QStringLiteral("Диск");
            if (folder) return QStringLiteral("Папка");
            break;
        case kChanged:
            return Russian().toString(files->lastModified(source),
                                      QStringLiteral("dd.MM.yyyy HH:mm"));
    }
    return QIdentityProxyModel::data(index, role);
}

void UseRussianFileColumns(QFileDialog& dialog) {
    dialog.setProxyModel(new RussianFileColumns(&dialog));
    auto* details = dialog.findChild<QTreeView*>();
    if (details == nullptr) return;
    // Qt sizes these columns for its English texts ("mp3Folder").
    const QFontMetrics metrics(dialog.font());
    const std::array<std::pair<Column, QString>, 3> widest = {
        std::pair{kSize, QStringLiteral("1023,9 КБ")},
        std::pair{kType, QStringLiteral("Неизвестно")},
        std::pair{kChanged, QStringLiteral("00.00.0000 00:00")},
    };
    QHeaderView& header = *details->header();
    int grown = 0;
    for (const auto& [column, text] : widest) {
        const int width = metrics.horizontalAdvance(text) + 3 * metrics.averageCharWidth();
        grown += width - header.sectionSize(column);
        header.resizeSection(column, width);
    }
    // The name keeps its room.
    if (grown > 0) dialog.resize(dialog.width() + grown, dialog.height());
}

}  // namespace zorvek::ui
