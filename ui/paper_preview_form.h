#pragma once

#include <QString>
#include <QWidget>

#include "reports/common/paper_document.h"
#include "reports/paper/paper_writer.h"
#include "ui/paper_pages_view.h"

class QLabel;
class QPrinter;
class QPushButton;

namespace zorvek::ui {

class Dialogs;

// A document's pages as they go onto paper, for a user without an office
// suite: zoom, page by page, print, save as PDF, and the file it was written
// to opened in the desktop's editor. Not modal: several may be open at once.
class PaperPreviewForm final : public QWidget {
    Q_OBJECT
  public:
    // `title` names the document ("Форма 1"); `editorFile` is the RTF or
    // XLSX file the document was written to, empty when there is none.
    PaperPreviewForm(QWidget* owner, Dialogs& dialogs, PaperDocument document, const QString& title,
                     const QString& editorFile);
    ~PaperPreviewForm() override;

    int PageCount() const;
    // 1-based, as the line "Стр. N из M" says.
    int CurrentPage() const;
    PaperPagesView* Pages() const { return m_pages; }
    QLabel* PageLine() const { return m_pageLine; }
    QPushButton* PdfButton() const { return m_pdf; }
    QPushButton* EditorButton() const { return m_editor; }

    // Every page on `printer` as it stands; false when printing could not
    // start.
    bool PrintOn(QPrinter& printer) const;
    void PrintClick();
    void PdfClick();
    void EditorClick();

  private:
    void ShowPageLine();
    void TurnTo(int page);

    Dialogs& m_dialogs;
    PaperDocument m_document;
    PaperLayout m_layout;
    QString m_title;
    QString m_editorFile;
    PaperPagesView* m_pages;
    QLabel* m_pageLine;
    QPushButton* m_print;
    QPushButton* m_pdf;
    QPushButton* m_editor;
};

// "Нет программы для открытия RTF": why the desktop did not open `file`.
QString NoEditorText(const QString& file);

}  // namespace zorvek::ui
