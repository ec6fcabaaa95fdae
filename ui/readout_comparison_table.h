#pragma once

#include "archive/readout_archive.h"

class QTableWidget;
class QWidget;

namespace zorvek::ui {

// What a crane did between two read-outs: one row per figure (cycles,
// hours, overloads, lifted mass, Kp, life used), the earlier and the later
// value and the change between them.
QTableWidget* ComparisonTable(const archive::ReadoutComparison& comparison, QWidget* parent);

}  // namespace zorvek::ui
