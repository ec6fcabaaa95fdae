#pragma once

#include <QDialog>
#include <QPixmap>
#include <array>
#include <functional>

#include "reports/excel/appendix3/build_busy.h"
#include "reports/excel/appendix3/column_switches.h"

class QCheckBox;
class QPushButton;

namespace zorvek::ui {

class Dialogs;
class TForm2;
class TForm5;

// TForm3, "Опции": the columns of appendix 3, the legend of its
// abbreviations, the filter window and the fill command that builds it.
class TForm3 final : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kBoxes = 18;

    // What the fill command drives besides this window.
    struct Build {
        ColumnSwitches& columns;
        BuildBusy& busy;
        // Hides the main window's progress bar.
        std::function<void()> hideMainProgress;
        // Starts reading the hour list and building the sheet; the
        // function given is called back once the build has ended.
        std::function<void(std::function<void()>)> runAppendix3;
    };

    // `craneKind` is the start-up variant, read at every show; `dataFolder`
    // holds "Shifra.htm" and the background picture.
    TForm3(QWidget* owner, Dialogs& dialogs, const int& craneKind, Build build,
           const QString& dataFolder);

    // The windows made after this one: the progress window the fill command
    // shows, the filter window "Использовать фильтр" opens.
    void SetCompanions(TForm2* progress, TForm5* filter);

    // CheckBox1 to CheckBox18.
    QCheckBox* CheckBox(int number) const { return m_boxes.at(number - 1); }
    QPushButton* Button1() const { return m_fill; }

    void Button1Click();
    void Button3Click();
    void Button4Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void ApplyCraneKind();

    Dialogs& m_dialogs;
    const int& m_craneKind;
    Build m_build;
    TForm2* m_progress = nullptr;
    TForm5* m_filter = nullptr;
    QString m_dataFolder;
    QPixmap m_background;
    std::array<QCheckBox*, kBoxes> m_boxes{};
    QPushButton* m_fill;
};

}  // namespace zorvek::ui
