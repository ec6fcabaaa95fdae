#include "ui/archive_items.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include "ui/archive_texts.h"
#include "ui/text.h"

namespace zorvek::ui {

const QColor kFlagColour(180, 0, 0);

QStandardItem* Cell(const QString& text, const QVariant& sortKey) {
    auto* cell = new QStandardItem(text);
    cell->setData(sortKey, kSortRole);
    cell->setEditable(false);
    return cell;
}

void ShowLines(QTableView& table, QSortFilterProxyModel& lines, QStandardItemModel* model,
               int column, Qt::SortOrder order) {
    lines.setSourceModel(model);
    lines.setSortRole(kSortRole);
    table.setModel(&lines);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setSortingEnabled(true);
    table.sortByColumn(column, order);
    table.verticalHeader()->hide();
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 6);
    table.horizontalHeader()->setStretchLastSection(true);
    table.resizeColumnsToContents();
}

QStandardItemModel* ReadoutModel(const std::vector<archive::ReadoutSummary>& readouts,
                                 QObject* parent) {
    auto* model = new QStandardItemModel(0, kReadoutColumns, parent);
    model->setHorizontalHeaderLabels({
        QStringLiteral("Рег. номер"),
        QStringLiteral("Заводской номер"),
        QStringLiteral("Номер регистратора"),
        QStringLiteral("Считано"),
        QStringLiteral("Источник"),
        QStringLiteral("Циклы"),
        QStringLiteral("Отметки"),
        QStringLiteral("Примечание"),
    });
    for (const archive::ReadoutSummary& readout : readouts) {
        const QString registration = RegistrationText(readout.crane.registration);
        const QString factory = QStringOfCp1251(readout.crane.factoryNumber);
        const QString recorder = QStringOfCp1251(readout.crane.recorderNumber);
        const QString note = QStringOfCp1251(readout.note);
        const QString flags = FlagsText(readout.flags, readout.basis);
        const qlonglong readAt = readout.readAt.time_since_epoch().count();
        QList<QStandardItem*> line{
            Cell(registration, registration),
            Cell(factory, factory),
            Cell(recorder, recorder),
            Cell(ReadAtText(readout.readAt), readAt),
            Cell(SourceText(readout.source), SourceText(readout.source)),
            Cell(CountText(readout.figures.totalCycles),
                 QVariant::fromValue<qulonglong>(readout.figures.totalCycles)),
            Cell(flags, flags),
            Cell(note, note),
        };
        line[kRegistrationColumn]->setData(QVariant::fromValue<qlonglong>(readout.id),
                                           kReadoutIdRole);
        line[kCyclesColumn]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        line[kFlagsColumn]->setForeground(kFlagColour);
        model->appendRow(line);
    }
    return model;
}

}  // namespace zorvek::ui
