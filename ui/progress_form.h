#pragma once

#include <QWidget>

class QLabel;
class QMovie;
class QProgressBar;

namespace zorvek::ui {

// TForm2: the small window shown while appendix 3 is read and built, with a
// looping animation so that the user sees the program is busy.
class TForm2 final : public QWidget {
    Q_OBJECT
  public:
    // `animation` is the animated picture to play; a missing or unreadable
    // file leaves the window without one.
    TForm2(QWidget* owner, const QString& animation);

    // The fill command's steps around a build: show the window centred on
    // its owner with a caption and the animation playing, then close it
    // and return it to its borderless size.
    void ShowBusy();
    void HideBusy();

    QLabel* Animate1() const { return m_animate; }
    QMovie* Movie() const { return m_movie; }

  private:
    void SetBordered(bool bordered);

    QWidget* m_owner;
    QProgressBar* m_bar;
    QLabel* m_animate;
    QMovie* m_movie;
};

}  // namespace zorvek::ui
