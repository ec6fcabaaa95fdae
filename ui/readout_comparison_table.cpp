#include "ui/readout_comparison_table.h"

#include <QHeaderView>
#include <QTableWidget>
#include <string>

#include "model/duty_figures.h"
#include "ui/archive_texts.h"
#include "ui/text.h"

namespace zorvek::ui {
namespace {

using archive::ReadoutFigures;

// A figure as the three cells of its row; `change` is later minus earlier.
struct FigureRow {
    QString name;
    QString earlier;
    QString later;
    QString change;
};

QString Decimal(double value, int decimals) {
    return QStringOfCp1251(GroupedNumber(DecimalComma(value, decimals)));
}

QString Optional(const std::optional<double>& value, int decimals) {
    return value ? Decimal(*value, decimals) : QStringLiteral("—");
}

// A change carries its sign; none at all reads "0".
QString Signed(const QString& magnitude, bool negative, bool zero) {
    if (zero) return QStringLiteral("0");
    return (negative ? QStringLiteral("−") : QStringLiteral("+")) + magnitude;
}

QString CountChange(std::int64_t change) {
    const std::uint64_t magnitude =
        change < 0 ? 0 - static_cast<std::uint64_t>(change) : static_cast<std::uint64_t>(change);
    return Signed(CountText(magnitude), change < 0, change == 0);
}

QString DecimalChange(const std::optional<double>& change, int decimals) {
    if (!change) return QStringLiteral("—");
    const QString magnitude = Decimal(*change < 0 ? -*change : *change, decimals);
    return Signed(magnitude, *change < 0, magnitude == Decimal(0, decimals));
}

// In percentage points of the life.
QString LifeUsedChange(const std::optional<double>& change) {
    if (!change) return QStringLiteral("—");
    const QString points = DecimalChange(*change * 100, 1);
    return points == QStringLiteral("0") ? points : points + QStringLiteral(" %");
}

}  // namespace

QTableWidget* ComparisonTable(const archive::ReadoutComparison& comparison, QWidget* parent) {
    const ReadoutFigures& earlier = comparison.earlier.figures;
    const ReadoutFigures& later = comparison.later.figures;
    const FigureRow rows[] = {
        {QStringLiteral("Циклы"), CountText(earlier.totalCycles), CountText(later.totalCycles),
         CountChange(comparison.cycles)},
        {QStringLiteral("Наработка, ч"), Decimal(earlier.totalHours, 1),
         Decimal(later.totalHours, 1), DecimalChange(comparison.hours, 1)},
        {QStringLiteral("Перегрузки > 110 %"), CountText(earlier.overloads),
         CountText(later.overloads), CountChange(comparison.overloads)},
        {QStringLiteral("Поднятая масса, т"), Decimal(earlier.liftedMass, 1),
         Decimal(later.liftedMass, 1), DecimalChange(comparison.liftedMass, 1)},
        {QStringLiteral("Kp"), Optional(earlier.kp, 3), Optional(later.kp, 3),
         DecimalChange(comparison.kpChange, 3)},
        {QStringLiteral("Ресурс израсходован"), LifeUsedText(earlier.lifeUsed),
         LifeUsedText(later.lifeUsed), LifeUsedChange(comparison.lifeUsedChange)},
    };
    auto* table = new QTableWidget(static_cast<int>(std::size(rows)), 3, parent);
    table->setObjectName("ComparisonTable");
    table->setHorizontalHeaderLabels({ReadAtText(comparison.earlier.readAt),
                                      ReadAtText(comparison.later.readAt),
                                      QStringLiteral("Изменение")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    for (int row = 0; row < table->rowCount(); ++row) {
        const FigureRow& figure = rows[row];
        table->setVerticalHeaderItem(row, new QTableWidgetItem(figure.name));
        int column = 0;
        for (const QString& text : {figure.earlier, figure.later, figure.change}) {
            auto* cell = new QTableWidgetItem(text);
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column++, cell);
        }
    }
    return table;
}

}  // namespace zorvek::ui
