#pragma once

#include <QStyledItemDelegate>

namespace zorvek::ui {

// Draws the share of the service life used (kLifeUsedRole) as a bar across
// its cell, with the cell's text over it: green while most of the life is
// left, amber from 80 %, red once it is used up. A cell without a share
// shows its text only.
class LifeBarDelegate final : public QStyledItemDelegate {
    Q_OBJECT
  public:
    static constexpr double kWarningShare = 0.8;
    static const QColor kGood;
    static const QColor kWarning;
    static const QColor kUsedUp;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The bar's colour for a share.
    static QColor BarColour(double share);
};

}  // namespace zorvek::ui
