#include "app/document_view.h"

#include <QSettings>

namespace zorvek {
namespace {

const QString kViewKey = QStringLiteral("documents/view");
// Words, not numbers, in the file: it stays readable and any other value
// falls back to the editor.
const QString kProgramWord = QStringLiteral("program");
const QString kEditorWord = QStringLiteral("editor");

}  // namespace

DocumentView DocumentViewSetting::Current() const {
    return m_settings.value(kViewKey).toString() == kProgramWord ? DocumentView::Program
                                                                 : DocumentView::Editor;
}

void DocumentViewSetting::Choose(DocumentView view) {
    m_settings.setValue(kViewKey, view == DocumentView::Program ? kProgramWord : kEditorWord);
    m_settings.sync();
}

}  // namespace zorvek
