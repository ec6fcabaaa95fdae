#pragma once

#include <QDialog>
#include <chrono>
#include <functional>
#include <vector>

#include "archive/readout_archive.h"

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace zorvek::ui {

// "Парк кранов": one line per crane of the archive with its newest
// read-out, the share of its service life used drawn as a bar, the end of
// its normative life, its flags and what is due on it (in red); a click on
// a column's header sorts by it, the due column by urgency. The search box
// keeps the lines in which any column holds what is typed. A double-click
// on a crane hands its line to `onCraneChosen`.
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
        kDue,
        kColumns
    };

    // What is due is judged on `today` (the local day).
    FleetForm(QWidget* parent, std::vector<archive::FleetLine> fleet, std::chrono::sys_days today);

    std::function<void(const archive::FleetLine&)> onCraneChosen;

    QTableView* Table() const { return m_table; }
    QLineEdit* SearchBox() const { return m_search; }
    // The crane of a line as shown now (sorted), or null.
    const archive::FleetLine* LineAt(int row) const;

  private:
    void ChooseCrane(const QModelIndex& index);

    std::vector<archive::FleetLine> m_fleet;
    QLineEdit* m_search;
    QTableView* m_table;
    QSortFilterProxyModel* m_lines;
};

}  // namespace zorvek::ui
