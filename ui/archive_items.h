#pragma once

#include <QColor>
#include <QStandardItem>
#include <QVariant>
#include <vector>

#include "archive/readout_archive.h"

class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// The cells of the archive tables. Every cell shows its text and sorts by a
// key of its own (dates by time, counts by value), so that a click on a
// column's header orders the lines as the figures go, not as their texts.
namespace zorvek::ui {

inline constexpr int kSortRole = Qt::UserRole + 1;
// The read-out's id, in the first cell of its line.
inline constexpr int kReadoutIdRole = Qt::UserRole + 2;
// Where a fleet line's crane stands in the fleet the table was made from.
inline constexpr int kFleetLineRole = Qt::UserRole + 4;
// The share of the service life used (a double), where a bar is drawn.
inline constexpr int kLifeUsedRole = Qt::UserRole + 3;

// Flags stand out in red.
extern const QColor kFlagColour;

QStandardItem* Cell(const QString& text, const QVariant& sortKey);

// Shows `model` in `table` through `lines` as the archive windows show
// their lines: whole lines chosen one at a time, sorted by `column` in
// `order` and by any column's header after, compact rows, the last column
// taking the room left.
void ShowLines(QTableView& table, QSortFilterProxyModel& lines, QStandardItemModel* model,
               int column, Qt::SortOrder order);

// The read-out tables' columns.
enum ReadoutColumn {
    kRegistrationColumn,
    kFactoryNumberColumn,
    kRecorderNumberColumn,
    kReadAtColumn,
    kSourceColumn,
    kCyclesColumn,
    kFlagsColumn,
    kNoteColumn,
    kReadoutColumns
};

// One line per read-out, in the order given.
QStandardItemModel* ReadoutModel(const std::vector<archive::ReadoutSummary>& readouts,
                                 QObject* parent);

}  // namespace zorvek::ui
