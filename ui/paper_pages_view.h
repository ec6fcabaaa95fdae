#pragma once

#include <QAbstractScrollArea>
#include <QPixmap>
#include <map>

#include "reports/paper/paper_writer.h"

namespace zorvek::ui {

// A document's pages one below the other, as on a desk. Only the pages in
// view are painted, each when it first comes into view, so that the first
// page of a document of two hundred shows at once.
class PaperPagesView final : public QAbstractScrollArea {
    Q_OBJECT
  public:
    PaperPagesView(const PaperLayout& layout, QWidget* parent);

    int pageCount() const { return m_layout.PageCount(); }
    // 1-based: the page at the middle of the view's top edge.
    int currentPage() const;
    void setCurrentPage(int page);

    void zoomIn();
    void zoomOut();
    void fitToWidth();
    void fitInView();

  signals:
    void currentPageChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    QSizeF PageSize() const;  // on screen, at the zoom
    double PageTop(int index) const;
    const QPixmap& Rendered(int index);
    void SetZoom(double pixelsPerTwip);
    void UpdateScrollBars();

    const PaperLayout& m_layout;
    double m_zoom = 0;  // pixels per twip
    bool m_fitWidth = true;
    std::map<int, QPixmap> m_rendered;  // a few pages around the view, at the zoom
};

}  // namespace zorvek::ui
