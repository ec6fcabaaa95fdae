#include "ui/readout_list_form.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/archive_items.h"
#include "ui/readout_comparison_table.h"

namespace zorvek::ui {

ReadoutListForm::ReadoutListForm(QWidget* parent,
                                 const std::vector<archive::ReadoutSummary>& readouts)
    : QDialog(parent),
      m_search(new QLineEdit(this)),
      m_table(new QTableView(this)),
      m_lines(new QSortFilterProxyModel(this)),
      m_readouts(readouts) {
    setObjectName("ReadoutListForm");
    setWindowTitle(QStringLiteral("Открыть из архива"));
    resize(900, 420);

    m_search->setObjectName("SearchBox");
    m_search->setPlaceholderText(
        QStringLiteral("Поиск: рег. номер, заводской номер, регистратор, примечание"));
    m_search->setClearButtonEnabled(true);

    m_lines->setFilterKeyColumn(-1);
    m_lines->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_table->setObjectName("ReadoutTable");
    ShowLines(*m_table, *m_lines, ReadoutModel(readouts, this), kReadAtColumn, Qt::DescendingOrder);

    auto* buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("Открыть"), QDialogButtonBox::AcceptRole);
    m_open->setObjectName("OpenButton");
    m_open->setDefault(true);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);

    connect(m_search, &QLineEdit::textChanged, this, &ReadoutListForm::Filter);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReadoutListForm::UpdateOpenButton);
    connect(m_table, &QTableView::doubleClicked, this, &ReadoutListForm::Choose);
    connect(buttons, &QDialogButtonBox::accepted, this, &ReadoutListForm::Choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_table->selectRow(0);
    UpdateOpenButton();
}

void ReadoutListForm::CompareAnyTwo() {
    if (m_comparisonHeading || m_lines->rowCount() < 2) return;
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    m_comparisonHeading = new QLabel(this);
    m_comparisonHeading->setObjectName("ComparisonHeading");
    m_comparisonWarning = new QLabel(
        QStringLiteral("Считывания с разных приборов: сравнение может ввести в заблуждение."),
        this);
    m_comparisonWarning->setObjectName("ComparisonWarning");
    m_comparisonWarning->hide();
    layout->insertWidget(layout->count() - 1, m_comparisonHeading);
    layout->insertWidget(layout->count() - 1, m_comparisonWarning);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReadoutListForm::UpdateComparison);
    m_table->clearSelection();
    for (const int row : {0, 1}) {
        m_table->selectionModel()->select(m_lines->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

const archive::ReadoutSummary* ReadoutListForm::SummaryOf(archive::ReadoutId id) const {
    for (const archive::ReadoutSummary& readout : m_readouts) {
        if (readout.id == id) return &readout;
    }
    return nullptr;
}

void ReadoutListForm::UpdateComparison() {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows(kRegistrationColumn);
    if (rows.size() != 2) {
        m_comparisonHeading->setText(
            QStringLiteral("Чтобы сравнить два считывания, выберите их (Ctrl+щелчок)."));
        return;
    }
    const auto* first = SummaryOf(rows[0].data(kReadoutIdRole).toLongLong());
    const auto* second = SummaryOf(rows[1].data(kReadoutIdRole).toLongLong());
    if (!first || !second) return;
    const archive::ReadoutComparison comparison = archive::Compare(*first, *second);
    m_comparisonHeading->setText(QStringLiteral("Сравнение считываний № %1 и № %2:")
                                     .arg(comparison.earlier.id)
                                     .arg(comparison.later.id));
    m_comparisonWarning->setVisible(!comparison.sameCrane);
    QTableWidget* table = ComparisonTable(comparison, this);
    table->setMaximumHeight(table->verticalHeader()->length() +
                            table->horizontalHeader()->height() + 2 * table->frameWidth());
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    if (m_comparison) {
        layout->replaceWidget(m_comparison, table);
        delete m_comparison;
    } else {
        layout->insertWidget(layout->count() - 1, table);
    }
    m_comparison = table;
}

void ReadoutListForm::ShowNoComparison(const QString& why) {
    auto* note = new QLabel(why, this);
    note->setObjectName("ComparisonNote");
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(layout->count() - 1, note);
}

std::vector<archive::ReadoutId> ReadoutListForm::ShownIds() const {
    std::vector<archive::ReadoutId> ids;
    for (int row = 0; row < m_lines->rowCount(); ++row) {
        ids.push_back(m_lines->index(row, kRegistrationColumn).data(kReadoutIdRole).toLongLong());
    }
    return ids;
}

void ReadoutListForm::Filter(const QString& text) {
    m_lines->setFilterFixedString(text.trimmed());
    // Typing narrows to the line wanted; Enter then opens it.
    if (!SelectedId() && m_lines->rowCount() > 0) m_table->selectRow(0);
    UpdateOpenButton();
}

std::optional<archive::ReadoutId> ReadoutListForm::SelectedId() const {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows(kRegistrationColumn);
    if (rows.size() != 1) return std::nullopt;
    return rows.front().data(kReadoutIdRole).toLongLong();
}

void ReadoutListForm::UpdateOpenButton() {
    m_open->setEnabled(SelectedId().has_value());
    if (m_remove != nullptr) m_remove->setEnabled(SelectedId().has_value());
}

void ReadoutListForm::OfferRemoval(std::function<bool(const archive::ReadoutSummary&)> remove) {
    auto* buttons = findChild<QDialogButtonBox*>();
    m_remove = buttons->addButton(QStringLiteral("Удалить…"), QDialogButtonBox::ActionRole);
    m_remove->setObjectName("RemoveButton");
    connect(m_remove, &QPushButton::clicked, this, [this, remove = std::move(remove)] {
        const auto id = SelectedId();
        if (!id) return;
        const auto readout = std::find_if(m_readouts.begin(), m_readouts.end(),
                                          [&](const auto& summary) { return summary.id == *id; });
        if (readout == m_readouts.end() || !remove(*readout)) return;
        m_readouts.erase(readout);
        m_lines->removeRow(m_table->selectionModel()->selectedRows().front().row());
        UpdateOpenButton();
    });
    UpdateOpenButton();
}

void ReadoutListForm::Choose() {
    m_chosen = SelectedId();
    if (m_chosen) accept();
}

}  // namespace zorvek::ui
