#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "archive/readout_archive.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace zorvek::ui {

// "Открыть из архива": the stored read-outs with the cranes they belong to,
// newest first. The search box keeps the lines in which any column holds
// what is typed; "Открыть" or a double-click chooses a read-out. Shown for
// one crane of the fleet, it also sets the crane's two newest read-outs
// side by side.
class ReadoutListForm final : public QDialog {
    Q_OBJECT
  public:
    ReadoutListForm(QWidget* parent, const std::vector<archive::ReadoutSummary>& readouts);

    // Under the table: what happened between the two read-outs selected,
    // the two newest to begin with; Ctrl+click or Shift+click selects two.
    // With one read-out selected the last comparison stays. Needs two lines.
    void CompareAnyTwo();
    // Under the table: why there is nothing to compare.
    void ShowNoComparison(const QString& why);

    // Offers "Удалить…" for the selected read-out: `remove` asks and removes
    // it, true when it is gone (its line goes too).
    void OfferRemoval(std::function<bool(const archive::ReadoutSummary&)> remove);

    // The read-out chosen; nothing before a choice.
    std::optional<archive::ReadoutId> Chosen() const { return m_chosen; }

    QLineEdit* SearchBox() const { return m_search; }
    QTableView* Table() const { return m_table; }
    QPushButton* OpenButton() const { return m_open; }
    QPushButton* RemoveButton() const { return m_remove; }
    // The ids of the lines shown, top to bottom.
    std::vector<archive::ReadoutId> ShownIds() const;

  private:
    void Filter(const QString& text);
    void UpdateOpenButton();
    void Choose();
    // The one read-out selected; nothing for none or several.
    std::optional<archive::ReadoutId> SelectedId() const;
    void UpdateComparison();
    const archive::ReadoutSummary* SummaryOf(archive::ReadoutId id) const;

    QLineEdit* m_search;
    QTableView* m_table;
    QSortFilterProxyModel* m_lines;
    QPushButton* m_open;
    QPushButton* m_remove = nullptr;
    std::vector<archive::ReadoutSummary> m_readouts;
    std::optional<archive::ReadoutId> m_chosen;
    // While comparing: the heading, the warning for two cranes, the table.
    QLabel* m_comparisonHeading = nullptr;
    QLabel* m_comparisonWarning = nullptr;
    QWidget* m_comparison = nullptr;
};

}  // namespace zorvek::ui
