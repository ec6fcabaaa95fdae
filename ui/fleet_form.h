#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "archive/readout_archive.h"

class QLabel;
class QSortFilterProxyModel;
class QTableView;

namespace zorvek::ui {

// "Парк кранов": one line per crane of the archive with its newest
// read-out, the share of its service life used drawn as a bar, the end of
// its normative life and its flags; a click on a column's header sorts by
// it. A double-click on a crane hands its line to `onCraneChosen`.
class FleetForm final : public QDialog {
    Q_OBJECT
  public:
    enum Column {
        kRegistration,
        kLastReadout,
        kReadouts,
        kCycles,
        kLifeUsed,
        kNormativeEnd,
        kFlags,
        kColumns
    };

    FleetForm(QWidget* parent, std::vector<archive::FleetLine> fleet);

    std::function<void(const archive::FleetLine&)> onCraneChosen;

    QTableView* Table() const { return m_table; }
    // The crane of a line as shown now (sorted), or null.
    const archive::FleetLine* LineAt(int row) const;

  private:
    void ChooseCrane(const QModelIndex& index);

    std::vector<archive::FleetLine> m_fleet;
    QTableView* m_table;
    QSortFilterProxyModel* m_lines;
};

}  // namespace zorvek::ui
