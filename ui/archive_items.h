#pragma once

#include <QStandardItem>
#include <QVariant>
#include <vector>

#include "archive/readout_archive.h"

class QStandardItemModel;

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

QStandardItem* Cell(const QString& text, const QVariant& sortKey);

// The read-out tables' columns.
enum ReadoutColumn {
    kRegistrationColumn,
    kFactoryNumberColumn,
    kRecorderNumberColumn,
    kReadAtColumn,
    kSourceColumn,
    kCyclesColumn,
    kNoteColumn,
    kReadoutColumns
};

// One line per read-out, in the order given.
QStandardItemModel* ReadoutModel(const std::vector<archive::ReadoutSummary>& readouts,
                                 QObject* parent);

}  // namespace zorvek::ui
