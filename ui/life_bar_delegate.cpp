#include "ui/life_bar_delegate.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

#include "ui/archive_items.h"

namespace zorvek::ui {

const QColor LifeBarDelegate::kGood(120, 190, 110);
const QColor LifeBarDelegate::kWarning(235, 175, 60);
const QColor LifeBarDelegate::kUsedUp(215, 80, 70);

QColor LifeBarDelegate::BarColour(double share) {
    if (share >= 1) return kUsedUp;
    if (share >= kWarningShare) return kWarning;
    return kGood;
}

void LifeBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const QVariant share = index.data(kLifeUsedRole);
    if (!share.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    // A life used beyond its end fills the cell, no more.
    const QRect area = option.rect.adjusted(2, 2, -2, -2);
    const double filled = std::clamp(share.toDouble(), 0.0, 1.0);
    QRect bar = area;
    bar.setWidth(static_cast<int>(area.width() * filled + 0.5));
    painter->save();
    painter->fillRect(bar, BarColour(share.toDouble()));
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(area, Qt::AlignCenter, text);
    painter->restore();
}

}  // namespace zorvek::ui
