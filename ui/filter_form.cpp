#include "ui/filter_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace zorvek::ui {
namespace {

// Heights of the whole window as the dialog border counts it: the client
// area is this much lower.
constexpr int kBorderHeight = 33;
constexpr int kCollapsedWindow = 161;
constexpr int kCollapsedFrame = 113;
constexpr int kExpandedWindow = 329;
constexpr int kExpandedFrame = 281;
constexpr int kMoveUp = 135;

struct ProtectionBox {
    const char* caption;
    Protection protection;
};

const std::array<ProtectionBox, TForm5::kProtections> kBoxes = {{
    {"Запрет по вылету", Protection::Radius},
    {"Загрузка 110%", Protection::Overload},
    {"Запрет от кооддинатной защиты", Protection::Coord},
    {"Запрет от ЛЭП", Protection::PowerLine},
    {"Концевик крюка", Protection::Hook},
    {"Наклон платформы", Protection::Tilt},
    {"Ветер", Protection::Wind},
}};

QFrame* Panel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    return panel;
}

// The two choices sit on different panels and are kept exclusive by hand;
// clicking the checked one leaves it checked.
QRadioButton* Choice(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setAutoExclusive(false);
    button->setGeometry(8, 4, 225, 17);
    return button;
}

}  // namespace

TForm5::TForm5(QWidget* owner, FilterMask& mask)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_mask(mask),
      m_owner(owner),
      m_frame(new QGroupBox(QStringLiteral("Фильтрация по срабатываниям защиты"), this)) {
    setObjectName("Form5");
    setWindowTitle(QStringLiteral("Фильтр"));
    setModal(true);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(silver);
    setAutoFillBackground(true);
    m_frame->setObjectName("GroupBox1");
    m_frame->setGeometry(8, 8, 257, kCollapsedFrame);

    QFrame* panel1 = Panel(m_frame, "Panel1", {8, 16, 241, 25});
    m_all = Choice(panel1, "RadioButton1", QStringLiteral("Вывести всё"));
    m_all->setChecked(true);
    auto* label = new QLabel(QStringLiteral("Вывести только:"), m_frame);
    label->setObjectName("Label1");
    label->move(8 + 8, 48 + 4);
    m_panel2 = Panel(m_frame, "Panel2", {8, 64, 241, 177});
    for (int i = 0; i < kProtections; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(kBoxes[i].caption), m_panel2);
        box->setObjectName(QString("CheckBox%1").arg(i + 2));
        box->setGeometry(8, 8 + 24 * i, 225, 17);
        m_boxes[i] = box;
    }
    m_panel2->hide();
    m_back = new QPushButton(QStringLiteral("Назад"), m_frame);
    m_back->setObjectName("Button1");
    m_back->setGeometry(8, kCollapsedFrame - 33, 241, 25);
    // Panel3 lies over the frame's label until "Вывести только:" is chosen.
    m_panel3 = Panel(this, "Panel3", {16, 56, 241, 25});
    m_only = Choice(m_panel3, "RadioButton2", QStringLiteral("Вывести только:"));
    SetHeights(kCollapsedWindow, kCollapsedFrame);

    // A click toggles a button that excludes nothing: checked after the
    // click means it was chosen now; unchecked means it already was.
    connect(m_all, &QRadioButton::clicked, this, [this](bool chosen) {
        m_all->setChecked(true);
        if (chosen) RadioButton1Click();
    });
    connect(m_only, &QRadioButton::clicked, this, [this](bool chosen) {
        m_only->setChecked(true);
        if (chosen) RadioButton2Click();
    });
    connect(m_back, &QPushButton::clicked, this, &TForm5::Button1Click);
}

void TForm5::SetHeights(int window, int frame) {
    setFixedSize(272, window - kBorderHeight);
    m_frame->resize(m_frame->width(), frame);
    m_back->move(m_back->x(), frame - 33);
}

void TForm5::showEvent(QShowEvent* event) {
    m_mask.limitFlags = 0;
    m_mask.tiltFlags = 0;
    m_mask.zoneFlags = 0;
    if (m_owner) move(m_owner->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TForm5::RadioButton1Click() {
    if (!m_all->isChecked()) return;
    for (QCheckBox* box : m_boxes) box->setChecked(false);
    m_only->setChecked(false);
    m_mask.showAll = true;
    m_panel2->hide();
    SetHeights(kCollapsedWindow, kCollapsedFrame);
    m_panel3->show();
}

void TForm5::RadioButton2Click() {
    if (!m_only->isChecked()) return;
    move(x(), y() - kMoveUp);
    m_all->setChecked(false);
    m_mask.showAll = false;
    m_panel3->hide();
    SetHeights(kExpandedWindow, kExpandedFrame);
    m_panel2->show();
}

void TForm5::Button1Click() {
    bool any = false;
    for (int i = 0; i < kProtections; ++i) {
        if (!m_boxes[i]->isChecked()) continue;
        m_mask.Add(kBoxes[i].protection);
        any = true;
    }
    if (!any) {
        m_all->setChecked(true);
        RadioButton1Click();
    }
    accept();
}

}  // namespace zorvek::ui
