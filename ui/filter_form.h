#pragma once

#include <QDialog>
#include <array>

#include "reports/excel/appendix3/filter_mask.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zorvek::ui {

// TForm5, "Фильтр": all records of appendix 3, or only those in which the
// chosen protections tripped. Collapsed while "Вывести всё" is chosen,
// expanded with the protection boxes for "Вывести только:".
class TForm5 final : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kProtections = 7;

    // `mask` is what the appendix-3 build reads.
    TForm5(QWidget* owner, FilterMask& mask);

    void RadioButton1Click();
    void RadioButton2Click();
    // "Назад": turns the check marks into the mask and closes the window.
    void Button1Click();

    QRadioButton* RadioButton1() const { return m_all; }
    QRadioButton* RadioButton2() const { return m_only; }
    // The protection boxes, CheckBox2 to CheckBox8 in order.
    QCheckBox* Protection(int index) const { return m_boxes.at(index); }
    QFrame* Panel2() const { return m_panel2; }
    QFrame* Panel3() const { return m_panel3; }
    QGroupBox* GroupBox1() const { return m_frame; }
    QPushButton* Button1() const { return m_back; }

  public slots:
    // No close box: the window is left through "Назад" only.
    void reject() override {}

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void SetHeights(int window, int frame);

    FilterMask& m_mask;
    QWidget* m_owner;
    QGroupBox* m_frame;
    QRadioButton* m_all;
    QRadioButton* m_only;
    QFrame* m_panel2;
    QFrame* m_panel3;
    QPushButton* m_back;
    std::array<QCheckBox*, kProtections> m_boxes{};
};

}  // namespace zorvek::ui
