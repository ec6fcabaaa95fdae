#include "ui/options_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>

#include "ui/dialogs.h"
#include "ui/filter_form.h"
#include "ui/progress_form.h"

namespace zorvek::ui {
namespace {

struct Box {
    const char* caption;
    QPoint position;
    bool checked;
    bool visible;
};

const std::array<Box, TForm3::kBoxes> kBoxTable = {{
    {"Дата и время", {24, 48}, true, true},
    {"Загрузка", {24, 72}, true, true},
    {"Вылет", {24, 96}, true, true},
    {"Длина стрелы", {24, 120}, true, true},
    {"Вес груза", {24, 144}, true, true},
    {"Грузоподъёмность", {24, 168}, true, true},
    {"Азимут", {24, 192}, false, true},
    {"Режим", {24, 216}, true, true},
    {"Уст. коорд. защиты (к.з.)", {24, 240}, false, false},
    {"Состояние к.з.", {24, 264}, false, true},
    {"Предупреждения", {176, 48}, false, true},
    {"Срабатывание  защиты", {176, 72}, false, true},
    {"Механизм пользователя", {176, 96}, false, true},
    {"ЛЭП", {176, 120}, false, false},
    {"Продольный крен", {176, 144}, false, false},
    {"Поперчный крен", {176, 168}, false, false},
    {"Ветер", {176, 192}, false, false},
    {"Примечания", {176, 216}, false, true},
}};

// The columns each crane variant offers: boxes shown, hidden, moved.
struct Move {
    int box;
    int top;
};
struct CraneColumns {
    std::initializer_list<int> shown;
    std::initializer_list<int> hidden;
    std::initializer_list<Move> moved;
};

const CraneColumns* ColumnsOf(int craneKind) {
    static const CraneColumns kPlain{{14, 15, 16, 17, 10, 9}, {}, {}};
    static const CraneColumns kCrane{{9, 14}, {}, {{18, 144}}};
    static const CraneColumns kTower{{17}, {10, 9}, {{17, 120}, {18, 144}}};
    static const CraneColumns kPipeLayer{{14, 15, 16}, {7, 10, 9, 17}, {{8, 192}, {18, 192}}};
    switch (craneKind) {
        case 0:
        case 10:
            return &kPlain;
        case 1:
            return &kCrane;
        case 2:
            return &kTower;
        case 3:
            return &kPipeLayer;
        default:
            return nullptr;
    }
}

}  // namespace

TForm3::TForm3(QWidget* owner, Dialogs& dialogs, const int& craneKind, Build build,
               const QString& dataFolder)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_dialogs(dialogs),
      m_craneKind(craneKind),
      m_build(std::move(build)),
      m_dataFolder(dataFolder),
      m_background(dataFolder + "/options-background.jpg") {
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("Опции"));
    setFixedSize(360, 328);
    QPalette blue = palette();
    blue.setColor(QPalette::Window, QColor(0xBA, 0xEA, 0xF6));
    setPalette(blue);
    setAutoFillBackground(true);

    auto* frame = new QGroupBox(QStringLiteral("Выбор информации для приложения №3"), this);
    frame->setObjectName("GroupBox1");
    frame->setGeometry(16, 24, 329, 265);
    QFont italic("Times New Roman");
    italic.setItalic(true);
    frame->setFont(italic);

    for (int i = 0; i < kBoxes; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(kBoxTable[i].caption), this);
        box->setObjectName(QString("CheckBox%1").arg(i + 1));
        box->move(kBoxTable[i].position);
        box->resize(box->sizeHint().width(), 17);
        box->setChecked(kBoxTable[i].checked);
        box->setVisible(kBoxTable[i].visible);
        m_boxes[i] = box;
    }

    auto* filter = new QPushButton(QStringLiteral("Использовать фильтр"), frame);
    filter->setObjectName("Button4");
    // Narrower than the legend button below it and flush with its right
    // edge, so that "Уст. коорд. защиты (к.з.)" on its left ends clear of it.
    filter->setGeometry(184, 216, 137, 17);
    filter->setFont(QFont());
    auto* legend = new QPushButton(QStringLiteral("Принятые сокращения"), this);
    legend->setObjectName("Button3");
    legend->setGeometry(176, 264, 161, 17);
    legend->setFont(italic);
    legend->setStyleSheet("color: white; background: rgb(40, 80, 140); border: none");
    m_fill = new QPushButton(QStringLiteral("Заполнить"), this);
    m_fill->setObjectName("Button1");
    m_fill->setGeometry(160, 296, 81, 25);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName("Button2");
    cancel->setGeometry(248, 296, 83, 25);

    connect(m_fill, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &TForm3::close);
    connect(legend, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(filter, &QPushButton::clicked, this, &TForm3::Button4Click);
}

void TForm3::paintEvent(QPaintEvent* event) {
    if (!m_background.isNull()) QPainter(this).drawPixmap(rect(), m_background);
    QDialog::paintEvent(event);
}

void TForm3::showEvent(QShowEvent* event) {
    ApplyCraneKind();
    if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TForm3::ApplyCraneKind() {
    const CraneColumns* columns = ColumnsOf(m_craneKind);
    if (!columns) return;
    for (int box : columns->shown) CheckBox(box)->show();
    for (int box : columns->hidden) CheckBox(box)->hide();
    for (const Move& move : columns->moved)
        CheckBox(move.box)->move(CheckBox(move.box)->x(), move.top);
}

void TForm3::SetCompanions(TForm2* progress, TForm5* filter) {
    m_progress = progress;
    m_filter = filter;
}

void TForm3::Button1Click() {
    m_build.busy.Begin();
    if (m_progress) m_progress->ShowBusy();
    close();
    // A hidden box keeps its mark and counts like a visible one.
    for (int box = 1; box <= kBoxes; ++box) {
        m_build.columns.SetCheckBox(box, CheckBox(box)->isChecked());
    }
    m_fill->hide();
    const auto finished = [this] {
        if (m_progress) m_progress->HideBusy();
        m_fill->show();
    };
    if (!m_build.runAppendix3) {
        finished();
        return;
    }
    m_build.runAppendix3(finished);
    // The progress window shows the build; the main window's bar gives way
    // to it once the build has started.
    if (m_build.hideMainProgress) m_build.hideMainProgress();
}

void TForm3::Button3Click() { m_dialogs.OpenWithDesktop(m_dataFolder + "/Shifra.htm"); }

void TForm3::Button4Click() {
    if (m_filter) m_filter->exec();
}

}  // namespace zorvek::ui
