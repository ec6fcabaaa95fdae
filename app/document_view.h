#pragma once

class QSettings;

namespace zorvek {

// Where a finished document is shown: opened in the desktop's editor for its
// RTF or XLSX file, as the program always did, or in the program's own
// preview, for a machine with no office suite.
enum class DocumentView { Editor, Program };

// The user's choice, kept in the window's settings; the editor until the
// user chooses otherwise.
class DocumentViewSetting {
  public:
    explicit DocumentViewSetting(QSettings& settings) : m_settings(settings) {}

    DocumentView Current() const;
    void Choose(DocumentView view);

  private:
    QSettings& m_settings;
};

}  // namespace zorvek
