#include "ui/progress_form.h"

#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <algorithm>

namespace zorvek::ui {
namespace {

constexpr int kWidth = 239;
constexpr int kHeight = 64;
constexpr int kMinimumHeight = 57;
constexpr int kCaptionGrowth = 20;
constexpr int kLastFrame = 128;
const QString kCaption = QStringLiteral("Идёт процес обработки данных");

const Qt::WindowFlags kBorderless = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
const Qt::WindowFlags kBordered =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint;

}  // namespace

TForm2::TForm2(QWidget* owner, const QString& animation)
    : QWidget(owner, kBorderless),
      m_owner(owner),
      m_bar(new QProgressBar(this)),
      m_animate(new QLabel(this)),
      m_movie(new QMovie(animation, QByteArray(), this)) {
    setObjectName("Form2");
    setWindowTitle(kCaption);
    resize(kWidth, kHeight);
    m_bar->setObjectName("ProgressBar1_");
    m_bar->setGeometry(10, 24, 209, 17);
    m_bar->setTextVisible(false);
    m_animate->setObjectName("Animate1");
    m_animate->setGeometry(1, 4, 236, 57);
    m_animate->setAutoFillBackground(true);
    m_animate->setStyleSheet("background: white");
    m_animate->setAlignment(Qt::AlignCenter);
    m_animate->hide();
    // The film loops over its first 129 frames, however long the file is.
    connect(m_movie, &QMovie::frameChanged, this, [this](int frame) {
        if (frame >= kLastFrame) m_movie->jumpToFrame(0);
    });
    if (m_movie->isValid()) m_animate->setMovie(m_movie);
}

void TForm2::SetBordered(bool bordered) {
    const bool visible = isVisible();
    setWindowFlags(bordered ? kBordered : kBorderless);
    if (visible) show();
}

void TForm2::ShowBusy() {
    // The build may have counted its progress in the caption last time.
    setWindowTitle(kCaption);
    show();
    if (m_movie->isValid()) m_movie->start();
    SetBordered(true);
    resize(width(), height() + kCaptionGrowth);
    if (m_owner) move(m_owner->geometry().center() - rect().center());
    m_animate->setVisible(m_movie->isValid());
}

void TForm2::HideBusy() {
    close();
    SetBordered(false);
    resize(width(), std::max(kMinimumHeight, height() - kCaptionGrowth));
    m_animate->hide();
    m_movie->stop();
}

}  // namespace zorvek::ui
