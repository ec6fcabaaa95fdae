#pragma once

#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace zorvek::ui {

// Every dialog and message box the windows show, and the desktop's handler
// for files, go through here, so that tests can answer them.
class Dialogs {
  public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;
    // A message with an OK button.
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // An error box with an OK button.
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // A confirmation with Yes, No and Cancel.
    virtual Answer Ask(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& text) {
        return Ask(parent, text) == Answer::Yes;
    }
    // Nothing when the user cancels. `filter` is in Qt's form
    // ("Name (*.a *.b)").
    virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& folder,
                                                const QString& filter) = 0;
    // The save dialogs: overwrite prompt; `suffix` is added to a name typed
    // without one (empty: the name stays as typed).
    virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& filter,
                                                const QString& suffix) = 0;
    // Opens a file with the desktop's default application, without waiting.
    virtual bool OpenWithDesktop(const QString& file) = 0;
    // A line of text to edit, starting as `text`; nothing when the user
    // cancels.
    virtual std::optional<QString> AskText(QWidget* parent, const QString& label,
                                           const QString& text) = 0;
    // A folder to choose, starting in `folder`; nothing when the user
    // cancels (and from a seam without a dialog of its own).
    virtual std::optional<QString> FolderName(QWidget* /*parent*/, const QString& /*folder*/) {
        return std::nullopt;
    }
    // The system's print dialog, setting up `printer` for a whole document;
    // false when the user cancels. Without a dialog of its own, a seam
    // answers as cancelled: nothing is printed unasked.
    virtual bool ChoosePrinter(QWidget* /*parent*/, QPrinter& /*printer*/) { return false; }
};

// The real dialogs: QMessageBox, QFileDialog, QPrintDialog, QDesktopServices.
class QtDialogs final : public Dialogs {
  public:
    void Message(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    Answer Ask(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text) override;
    std::optional<QString> OpenFileName(QWidget* parent, const QString& folder,
                                        const QString& filter) override;
    std::optional<QString> SaveFileName(QWidget* parent, const QString& filter,
                                        const QString& suffix) override;
    bool OpenWithDesktop(const QString& file) override;
    std::optional<QString> FolderName(QWidget* parent, const QString& folder) override;
    std::optional<QString> AskText(QWidget* parent, const QString& label,
                                   const QString& text) override;
    bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
};

}  // namespace zorvek::ui
