#include "ui/fleet_form.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "archive/fleet_due.h"
#include "flows/fleet_report.h"
#include "ui/archive_items.h"
#include "ui/archive_texts.h"
#include "ui/life_bar_delegate.h"
#include "ui/text.h"

namespace zorvek::ui {
namespace {

// Cranes whose life is not known sort below every figure, and those without
// a normative end after every date.
constexpr double kUnknownLifeUsed = -1;
constexpr qlonglong kNoEnd = std::numeric_limits<qlonglong>::max();

QList<QStandardItem*> FleetRow(const archive::FleetLine& line, std::size_t index,
                               const archive::DueItems& due, int urgencyRank) {
    const archive::ReadoutSummary& last = line.last;
    const archive::ReadoutFigures& figures = last.figures;
    const QString registration = RegistrationText(last.crane.registration);
    const QString flags = FlagsText(line.anyFlags);
    QList<QStandardItem*> row{
        Cell(registration, registration),
        Cell(ReadAtText(last.readAt),
             QVariant::fromValue<qlonglong>(last.readAt.time_since_epoch().count())),
        Cell(QString::number(line.readouts), line.readouts),
        Cell(CountText(figures.totalCycles), QVariant::fromValue<qulonglong>(figures.totalCycles)),
        Cell(LifeUsedText(figures.lifeUsed), figures.lifeUsed.value_or(kUnknownLifeUsed)),
        Cell(DateText(figures.normativeEnd),
             figures.normativeEnd
                 ? QVariant::fromValue<qlonglong>(figures.normativeEnd->time_since_epoch().count())
                 : QVariant::fromValue(kNoEnd)),
        Cell(flags, flags),
        Cell(QStringOfCp1251(DueText(due)), urgencyRank),
    };
    row[FleetForm::kRegistration]->setData(QVariant::fromValue<qulonglong>(index), kFleetLineRole);
    if (figures.lifeUsed) row[FleetForm::kLifeUsed]->setData(*figures.lifeUsed, kLifeUsedRole);
    for (const int column : {FleetForm::kReadouts, FleetForm::kCycles}) {
        row[column]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    row[FleetForm::kFlags]->setForeground(kFlagColour);
    row[FleetForm::kDue]->setForeground(kFlagColour);
    row[FleetForm::kDue]->setToolTip(row[FleetForm::kDue]->text());
    if (due.Any()) {
        QFont bold = row[FleetForm::kRegistration]->font();
        bold.setBold(true);
        row[FleetForm::kRegistration]->setFont(bold);
    }
    return row;
}

}  // namespace

FleetForm::FleetForm(QWidget* parent, std::vector<archive::FleetLine> fleet,
                     std::chrono::sys_days today)
    : QDialog(parent),
      m_fleet(std::move(fleet)),
      m_search(new QLineEdit(this)),
      m_table(new QTableView(this)),
      m_lines(new QSortFilterProxyModel(this)) {
    setObjectName("FleetForm");
    setWindowTitle(QStringLiteral("Парк кранов"));
    resize(1180, 420);

    m_search->setObjectName("SearchBox");
    m_search->setPlaceholderText(
        QStringLiteral("Поиск: рег. номер, дата, отметки, что требует внимания"));
    m_search->setClearButtonEnabled(true);

    auto* model = new QStandardItemModel(0, kColumns, this);
    model->setHorizontalHeaderLabels({
        QStringLiteral("Рег. номер"),
        QStringLiteral("Последнее считывание"),
        QStringLiteral("Считываний"),
        QStringLiteral("Циклы"),
        QStringLiteral("Ресурс израсходован"),
        QStringLiteral("Конец нормативного срока"),
        QStringLiteral("Отметки"),
        QStringLiteral("Требует внимания"),
    });
    // The due column sorts by urgency: each line's place in the fleet
    // ordered so.
    std::vector<std::size_t> urgent(m_fleet.size());
    for (std::size_t index = 0; index < urgent.size(); ++index) urgent[index] = index;
    std::stable_sort(urgent.begin(), urgent.end(), [&](std::size_t a, std::size_t b) {
        return archive::MoreUrgent(m_fleet[a], m_fleet[b], today);
    });
    std::vector<int> rank(m_fleet.size());
    for (std::size_t place = 0; place < urgent.size(); ++place)
        rank[urgent[place]] = static_cast<int>(place);
    for (std::size_t index = 0; index < m_fleet.size(); ++index) {
        model->appendRow(
            FleetRow(m_fleet[index], index, archive::DueOf(m_fleet[index], today), rank[index]));
    }
    m_lines->setFilterKeyColumn(-1);
    m_lines->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_table->setObjectName("FleetTable");
    m_table->setItemDelegateForColumn(kLifeUsed, new LifeBarDelegate(m_table));
    ShowLines(*m_table, *m_lines, model, kRegistration, Qt::AscendingOrder);
    m_table->setColumnWidth(kLifeUsed, std::max(m_table->columnWidth(kLifeUsed), 150));

    auto* hint = new QLabel(
        QStringLiteral("Двойной щелчок по крану: его считывания и сравнение любых двух."), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_table, 1);
    layout->addWidget(hint);
    layout->addWidget(buttons);

    connect(m_search, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_lines->setFilterFixedString(text.trimmed()); });
    connect(m_table, &QTableView::doubleClicked, this, &FleetForm::ChooseCrane);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

const archive::FleetLine* FleetForm::LineAt(int row) const {
    const QModelIndex cell = m_lines->index(row, kRegistration);
    if (!cell.isValid()) return nullptr;
    return &m_fleet.at(cell.data(kFleetLineRole).toULongLong());
}

void FleetForm::ChooseCrane(const QModelIndex& index) {
    const archive::FleetLine* line = LineAt(index.row());
    if (line && onCraneChosen) onCraneChosen(*line);
}

}  // namespace zorvek::ui
