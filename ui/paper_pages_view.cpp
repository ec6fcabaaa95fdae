#include "ui/paper_pages_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace zorvek::ui {
namespace {

constexpr int kGap = 16;  // pixels around and between the pages
constexpr double kZoomStep = 1.25;
constexpr double kLeastZoom = 0.01;
constexpr double kMostZoom = 0.5;
// Pages kept painted: those in view and a few around them.
constexpr std::size_t kRenderedPages = 8;

}  // namespace

PaperPagesView::PaperPagesView(const PaperLayout& layout, QWidget* parent)
    : QAbstractScrollArea(parent), m_layout(layout) {
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(40);
    SetZoom(0.05);
}

QSizeF PaperPagesView::PageSize() const {
    const PaperPage& page = m_layout.Page();
    return {page.width * m_zoom, page.height * m_zoom};
}

double PaperPagesView::PageTop(int index) const {
    return kGap + index * (PageSize().height() + kGap);
}

int PaperPagesView::currentPage() const {
    // Pages shorter than the view never reach its top at the end.
    const QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() > 0 && bar->value() == bar->maximum()) return std::max(1, pageCount());
    const double step = PageSize().height() + kGap;
    const int index = static_cast<int>((verticalScrollBar()->value() + step / 2) / step);
    return std::clamp(index + 1, 1, std::max(1, pageCount()));
}

void PaperPagesView::setCurrentPage(int page) {
    const int index = std::clamp(page, 1, std::max(1, pageCount())) - 1;
    verticalScrollBar()->setValue(static_cast<int>(PageTop(index)) - kGap);
    emit currentPageChanged();
}

void PaperPagesView::zoomIn() {
    m_fitWidth = false;
    SetZoom(m_zoom * kZoomStep);
}

void PaperPagesView::zoomOut() {
    m_fitWidth = false;
    SetZoom(m_zoom / kZoomStep);
}

void PaperPagesView::fitToWidth() {
    m_fitWidth = true;
    SetZoom((viewport()->width() - 2.0 * kGap) / m_layout.Page().width);
}

void PaperPagesView::fitInView() {
    m_fitWidth = false;
    const PaperPage& page = m_layout.Page();
    SetZoom(std::min((viewport()->width() - 2.0 * kGap) / page.width,
                     (viewport()->height() - 2.0 * kGap) / page.height));
}

void PaperPagesView::SetZoom(double pixelsPerTwip) {
    const int page = currentPage();
    m_zoom = std::clamp(pixelsPerTwip, kLeastZoom, kMostZoom);
    m_rendered.clear();
    UpdateScrollBars();
    setCurrentPage(page);
    viewport()->update();
}

void PaperPagesView::UpdateScrollBars() {
    const QSizeF page = PageSize();
    const double height = kGap + pageCount() * (page.height() + kGap);
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(height) - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(
        0, std::max(0, static_cast<int>(page.width()) + 2 * kGap - viewport()->width()));
}

const QPixmap& PaperPagesView::Rendered(int index) {
    if (const auto found = m_rendered.find(index); found != m_rendered.end()) return found->second;
    // Forget the page farthest from this one.
    if (m_rendered.size() >= kRenderedPages) {
        const auto farthest = std::max_element(
            m_rendered.begin(), m_rendered.end(), [index](const auto& a, const auto& b) {
                return std::abs(a.first - index) < std::abs(b.first - index);
            });
        m_rendered.erase(farthest);
    }
    const qreal ratio = devicePixelRatioF();
    const QSizeF size = PageSize();
    QPixmap pixmap((size * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_zoom, m_zoom);
    m_layout.PaintPage(painter, index);
    painter.end();
    return m_rendered.emplace(index, std::move(pixmap)).first->second;
}

void PaperPagesView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QSizeF size = PageSize();
    const double left = std::max<double>(kGap, (viewport()->width() - size.width()) / 2) -
                        horizontalScrollBar()->value();
    const double scrolled = verticalScrollBar()->value();
    const QRectF dirty = event->rect();
    for (int i = 0; i < pageCount(); ++i) {
        const QRectF page(left, PageTop(i) - scrolled, size.width(), size.height());
        if (page.top() > dirty.bottom()) break;
        if (!page.intersects(dirty)) continue;
        painter.fillRect(page.translated(3, 3), QColor(0, 0, 0, 90));
        painter.drawPixmap(page.topLeft(), Rendered(i));
    }
}

void PaperPagesView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (m_fitWidth) {
        fitToWidth();
    } else {
        UpdateScrollBars();
    }
}

void PaperPagesView::scrollContentsBy(int, int) {
    viewport()->update();
    emit currentPageChanged();
}

}  // namespace zorvek::ui
