#pragma once

#include <QIdentityProxyModel>
#include <QString>

class QFileDialog;

namespace zorvek::ui {

// A file's size as the file dialogs show it: "512 байт" below 1 КБ, then
// one decimal in КБ, МБ, ГБ or ТБ of 1024 ("64,0 КБ").
QString FileSizeText(qint64 bytes);

// Qt's own file dialog over its file system model, with the columns the
// model fills from the desktop's locale and from texts Qt's Russian
// translation lacks in Russian: the size, "Папка" as a folder's type, the
// time of the last change ("07.12.2026 19:40"). The names, the files' types
// and everything else come from the model as they are.
class RussianFileColumns final : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;
};

// Gives Qt's own file dialog these columns, wide enough for their Russian
// texts. A dialog of the platform's own keeps the platform's names.
void UseRussianFileColumns(QFileDialog& dialog);

}  // namespace zorvek::ui
