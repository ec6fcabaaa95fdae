#include "ui/about_form.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>

#include "ui/dialogs.h"

namespace zorvek::ui {
namespace {

struct LabelText {
    const char* text;
    QRect geometry;
};

// Label1 to Label6, as they lie over the picture.
const std::array<LabelText, 6> kLabels = {{
    {"Программа ", {8, 8, 70, 16}},
    {"Зорвек.ехе", {8, 24, 156, 20}},
    {"Сервис грузоподъёмных", {8, 104, 156, 16}},
    {"машин и их приборов", {8, 120, 156, 16}},
    {"2026", {8, 136, 156, 16}},
    {"формат данных 55AA0502", {13, 60, 145, 33}},
}};

}  // namespace

TForm4::TForm4(QWidget* owner, Dialogs& dialogs, const QString& picture)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_dialogs(dialogs),
      m_popup(new QMenu(this)) {
    setObjectName("Form4");
    setWindowTitle(QStringLiteral("О программе"));
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    setMouseTracking(true);
    if (QFile::exists(picture)) m_picture.load(picture);
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        auto* label = new QLabel(QString::fromUtf8(kLabels[i].text), this);
        label->setObjectName(QString("Label%1").arg(i + 1));
        label->setGeometry(kLabels[i].geometry);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_labels[i] = label;
    }
    QFont bold = m_labels[1]->font();
    bold.setBold(true);
    bold.setItalic(true);
    m_labels[1]->setFont(bold);
    // A veil behind each label keeps it readable over the drawing.
    for (QLabel* label : m_labels) {
        label->setStyleSheet("background: rgba(255, 255, 255, 190); border-radius: 3px");
    }
    m_labels[1]->setStyleSheet(m_labels[1]->styleSheet() + "; color: red");
    m_labels[5]->setAlignment(Qt::AlignCenter);
    m_labels[5]->setWordWrap(true);
    m_labels[0]->hide();

    QAction* save = m_popup->addAction(QStringLiteral("Сохранить как рисунок"));
    save->setObjectName("N1");
    connect(save, &QAction::triggered, this, &TForm4::N1Click);
}

void TForm4::FormActivate() {
    resize(kWidth, kHeight);
    m_mouseMoved = false;
    m_labels[0]->hide();
    for (std::size_t i = 1; i < m_labels.size(); ++i) m_labels[i]->show();
    m_labelsHidden = false;
}

bool TForm4::event(QEvent* event) {
    if (event->type() == QEvent::Show) m_shown = true;
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QWidget::event(event);
}

void TForm4::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture);
}

void TForm4::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_shown || !m_mouseMoved) return;
    for (QLabel* label : m_labels) label->hide();
    m_labelsHidden = true;
}

void TForm4::mouseMoveEvent(QMouseEvent* event) {
    m_mouseMoved = true;
    QWidget::mouseMoveEvent(event);
}

void TForm4::mousePressEvent(QMouseEvent* event) {
    // The menu offers itself only in the picture-only view.
    m_popupEnabled = m_labelsHidden;
    QWidget::mousePressEvent(event);
}

void TForm4::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        close();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TForm4::contextMenuEvent(QContextMenuEvent* event) {
    if (m_popupEnabled) m_popup->popup(event->globalPos());
}

QImage TForm4::Picture() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!m_picture.isNull()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(image.rect(), m_picture);
    }
    return image;
}

void TForm4::N1Click() {
    // The dialog adds ".jpg" to a name typed without an extension and asks
    // before replacing a file of that name.
    const auto chosen =
        m_dialogs.SaveFileName(this, QStringLiteral("JPEG Image File (*.jpg)"), "jpg");
    if (!chosen) return;
    // A name the user already ended in ".jpg" is taken as it is: a second
    // ".jpg" would only hide the file from its owner.
    QString name = *chosen;
    if (!name.endsWith(".jpg", Qt::CaseInsensitive)) {
        name += ".jpg";
        // The dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(name) &&
            m_dialogs.Ask(this, QStringLiteral("Файл %1 уже существует.\nЗаменить его?")
                                    .arg(QDir::toNativeSeparators(name))) != Dialogs::Answer::Yes) {
            return;
        }
    }
    if (!Picture().save(name, "JPG", 90)) {
        m_dialogs.Error(this, QStringLiteral("Не удалось записать рисунок в файл ") + name);
    }
}

}  // namespace zorvek::ui
