#include "ui/paper_preview_form.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "flows/document_table.h"
#include "ui/dialogs.h"
#include "ui/text.h"

namespace zorvek::ui {

PaperPreviewForm::PaperPreviewForm(QWidget* owner, Dialogs& dialogs, PaperDocument document,
                                   const QString& title, const QString& editorFile)
    : QWidget(owner, Qt::Window),
      m_dialogs(dialogs),
      m_document(std::move(document)),
      m_layout(m_document),
      m_title(title),
      m_editorFile(editorFile),
      m_pages(new PaperPagesView(m_layout, this)),
      m_pageLine(new QLabel(this)),
      m_print(new QPushButton(QStringLiteral("Печать…"), this)),
      m_pdf(new QPushButton(QStringLiteral("Сохранить как PDF…"), this)),
      m_editor(new QPushButton(QStringLiteral("Открыть в редакторе"), this)) {
    setObjectName("PaperPreviewForm");
    setWindowTitle(title + QStringLiteral(" — просмотр"));

    auto* tools = new QHBoxLayout;
    const auto add = [this, tools](const char* name, const char* text, const char* tip,
                                   std::function<void()> command) {
        auto* tool = new QToolButton(this);
        tool->setObjectName(name);
        tool->setText(QString::fromUtf8(text));
        tool->setToolTip(QString::fromUtf8(tip));
        tool->setAutoRaise(true);
        tools->addWidget(tool);
        connect(tool, &QToolButton::clicked, this, std::move(command));
    };
    add("ZoomOut", "−", "Уменьшить", [this] { m_pages->zoomOut(); });
    add("ZoomIn", "+", "Увеличить", [this] { m_pages->zoomIn(); });
    add("FitWidth", "По ширине", "Страница по ширине окна", [this] { m_pages->fitToWidth(); });
    add("FitPage", "Целиком", "Страница целиком", [this] { m_pages->fitInView(); });
    tools->addSpacing(16);
    add("FirstPage", "|◀", "Первая страница", [this] { TurnTo(1); });
    add("PreviousPage", "◀", "Предыдущая страница", [this] { TurnTo(CurrentPage() - 1); });
    m_pageLine->setObjectName("PageLine");
    tools->addWidget(m_pageLine);
    add("NextPage", "▶", "Следующая страница", [this] { TurnTo(CurrentPage() + 1); });
    add("LastPage", "▶|", "Последняя страница", [this] { TurnTo(PageCount()); });
    tools->addStretch(1);
    for (QPushButton* button : {m_print, m_pdf, m_editor}) tools->addWidget(button);
    m_print->setObjectName("PrintButton");
    m_pdf->setObjectName("PdfButton");
    m_editor->setObjectName("EditorButton");
    // As in every program that prints.
    m_print->setShortcut(QKeySequence::Print);
    m_pdf->setShortcut(QKeySequence::Save);
    m_editor->setEnabled(!editorFile.isEmpty());
    m_editor->setToolTip(editorFile);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_pages, 1);

    m_pages->setObjectName("Pages");
    connect(m_pages, &PaperPagesView::currentPageChanged, this, &PaperPreviewForm::ShowPageLine);
    connect(m_print, &QPushButton::clicked, this, &PaperPreviewForm::PrintClick);
    connect(m_pdf, &QPushButton::clicked, this, &PaperPreviewForm::PdfClick);
    connect(m_editor, &QPushButton::clicked, this, &PaperPreviewForm::EditorClick);

    // A whole page in width, and as tall as the desktop leaves room for.
    QSize size(860, 1000);
    if (const QScreen* display = screen()) {
        size = size.boundedTo(display->availableGeometry().size() * 9 / 10);
    }
    resize(size);
    ShowPageLine();
}

PaperPreviewForm::~PaperPreviewForm() = default;

int PaperPreviewForm::PageCount() const { return m_layout.PageCount(); }

int PaperPreviewForm::CurrentPage() const { return m_pages->currentPage(); }

bool PaperPreviewForm::PrintOn(QPrinter& printer) const { return m_layout.Print(printer); }

void PaperPreviewForm::ShowPageLine() {
    m_pageLine->setText(QStringLiteral("Стр. %1 из %2").arg(CurrentPage()).arg(PageCount()));
}

void PaperPreviewForm::TurnTo(int page) {
    m_pages->setCurrentPage(std::clamp(page, 1, std::max(1, PageCount())));
    ShowPageLine();
}

void PaperPreviewForm::PrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_title);
    if (!m_dialogs.ChoosePrinter(this, printer)) return;
    if (!PrintOn(printer)) {
        m_dialogs.Error(
            this, QStringLiteral("Документ «%1» не напечатан: принтер не готов.").arg(m_title));
    }
}

void PaperPreviewForm::PdfClick() {
    const auto name = m_dialogs.SaveFileName(this, QStringLiteral("Документ PDF (*.pdf)"), "pdf");
    if (!name) return;
    const TransferResult written =
        WritePdf(m_document, std::filesystem::path(name->toStdU16String()));
    if (!written) {
        const std::string file = QFileInfo(*name).fileName().toStdString();
        m_dialogs.Error(this, QStringOfCp1251(NotCreatedMessage(file, written)));
    }
}

void PaperPreviewForm::EditorClick() {
    if (!m_dialogs.OpenWithDesktop(m_editorFile)) {
        m_dialogs.Message(this, NoEditorText(m_editorFile) + '.');
    }
}

QString NoEditorText(const QString& file) {
    return QStringLiteral("Нет программы для открытия ") + QFileInfo(file).suffix().toUpper();
}

}  // namespace zorvek::ui
