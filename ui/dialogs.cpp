#include "ui/dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QUrl>

#include "ui/desktop_handler.h"
#include "ui/file_columns.h"
#include "ui/text.h"

namespace zorvek::ui {
namespace {

// The messages break their lines with a lone CR, which a Windows message box
// does not break at: shown, every line break is the platform's own.
QString Shown(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

}  // namespace

void QtDialogs::Message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kProgramTitle, Shown(text));
}

void QtDialogs::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, kProgramTitle, Shown(text));
}

Dialogs::Answer QtDialogs::Ask(QWidget* parent, const QString& text) {
    const auto button = QMessageBox::question(
        parent, kProgramTitle, Shown(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

bool QtDialogs::Confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, kProgramTitle, Shown(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::OpenFileName(QWidget* parent, const QString& folder,
                                               const QString& filter) {
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    UseRussianFileColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> QtDialogs::FolderName(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QString(), folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    UseRussianFileColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> QtDialogs::SaveFileName(QWidget* parent, const QString& filter,
                                               const QString& suffix) {
    // Among the user's documents, as the open dialog starts, never in the
    // program's own folder.
    QFileDialog dialog(parent, QString(),
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), filter);
    UseRussianFileColumns(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

bool QtDialogs::OpenWithDesktop(const QString& file) {
    return DesktopHasHandler(file) && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

std::optional<QString> QtDialogs::AskText(QWidget* parent, const QString& label,
                                          const QString& text) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(kProgramTitle);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    // Room for a server's address.
    dialog.resize(480, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

bool QtDialogs::ChoosePrinter(QWidget* parent, QPrinter& printer) {
    // Without a printer the system's dialog would not even open.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        Message(parent, QStringLiteral("Принтер не найден. Подключите принтер или сохраните "
                                       "документ как PDF (Ctrl+S)."));
        return false;
    }
    QPrintDialog dialog(&printer, parent);
    // Every page is printed: a range chosen here would be ignored.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace zorvek::ui
