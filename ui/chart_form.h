#pragma once

#include <QWidget>

#include "reports/word/documents/chart_histogram_pictures.h"

namespace zorvek::ui {

// TForm6: the chart window, never shown. Appendix 1 takes its histogram
// pictures from here; they are drawn off screen.
class TForm6 final : public QWidget {
    Q_OBJECT
  public:
    explicit TForm6(QWidget* owner);

    HistogramPictures& Pictures() { return m_pictures; }

  private:
    ChartHistogramPictures m_pictures;
};

}  // namespace zorvek::ui
