#pragma once

#include <QImage>
#include <QWidget>
#include <array>

class QLabel;
class QMenu;
class QAction;

namespace zorvek::ui {

class Dialogs;

// TForm4, "О программе": the program's picture with a few labels. It closes
// on a left click; after the mouse has moved over it, resizing turns it into
// a picture-only view whose picture can be saved as a JPEG file.
class TForm4 final : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 172;
    static constexpr int kHeight = 180;

    // `picture` is the SVG drawing; a missing file leaves the window plain.
    TForm4(QWidget* owner, Dialogs& dialogs, const QString& picture);

    QLabel* Label(int number) const { return m_labels.at(number - 1); }
    QMenu* PopupMenu1() const { return m_popup; }
    bool LabelsHidden() const { return m_labelsHidden; }

    // "Сохранить как рисунок".
    void N1Click();
    // The picture as the window shows it now, on white.
    QImage Picture() const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void FormActivate();

    Dialogs& m_dialogs;
    // Drawn at three times the window's size, scaled to whatever it is.
    QImage m_picture;
    std::array<QLabel*, 6> m_labels{};
    QMenu* m_popup;
    bool m_shown = false;
    bool m_mouseMoved = false;
    bool m_labelsHidden = false;
    bool m_popupEnabled = false;
};

}  // namespace zorvek::ui
