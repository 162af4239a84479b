#include "windows/correction/CorrectionWindow.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "windows/options/OptionsWindow.h"

namespace {
constexpr int ColumnWidth = 40;
constexpr int RowHeight = 22;

QString currentVersion(const AppContext &ctx) {
    // Before the options window exists the program behaves as for the newest firmware.
    return ctx.form3 ? ctx.form3->currentVersion() : QStringLiteral("3FA1AD1AA");
}
} // namespace

TForm2::TForm2(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      ctx_(ctx) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Correction-table "));
    setFixedSize(790, 540);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(4);

    AdvStringGrid_Watertemp =
        buildTable("AdvStringGrid_Watertemp", "Label_watertemp_text", QStringLiteral("Water-temp in °C"),
                   "Label_watertemp_eenheid", QStringLiteral("%"), QStringLiteral("%.1f"),
                   &Label_watertemp_text, &Label_watertemp_eenheid);
    AdvStringGrid_luchttemp =
        buildTable("AdvStringGrid_luchttemp", "Label_luchttemp_text", QStringLiteral("Air-temp in °C"),
                   "Label_luchttemp_eenheid", QStringLiteral("%"), QStringLiteral("%.1f"),
                   &Label_luchttemp_text, &Label_luchttemp_eenheid);
    AdvStringGrid_battery = buildTable("AdvStringGrid_battery", "Label_batteryvoltage_text",
                                       QStringLiteral("Battery voltage in V"), "Label_batteryvoltage_eenheid",
                                       QStringLiteral("ms"), QStringLiteral("%.2f"),
                                       &Label_batteryvoltage_text, &Label_batteryvoltage_eenheid);
    AdvStringGrid_Air_pressure =
        buildTable("AdvStringGrid_Air_pressure", "Label_Air_presssure_text",
                   QStringLiteral("Air-Pressure in mBar"), "Label_Air_presssure_eenheid", QStringLiteral("%"),
                   QStringLiteral("%.1f"), &Label_Air_presssure_text, &Label_Air_presssure_eenheid);

    // The battery axis is written with six decimals ("15.750000"): its columns are made as wide as that
    // text needs in the bold 10 point of the headers, the other tables keep their 40 pixels.
    QFont header = AdvStringGrid_battery->font();
    header.setBold(true);
    header.setPointSize(10);
    const int textMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    AdvStringGrid_battery->setColumnWidths(std::max(
        ColumnWidth, QFontMetrics(header).horizontalAdvance(QStringLiteral("15.750000")) + textMargins + 2));

    for (auto table : {CorrectionTable::Water, CorrectionTable::Air, CorrectionTable::Battery,
                       CorrectionTable::AirPressure}) {
        auto *title = new QHBoxLayout;
        title->addWidget(tableTitle(table));
        title->addStretch(1);
        title->addWidget(tableUnit(table));
        layout->addLayout(title);
        layout->addWidget(tableGrid(table));
        layout->addSpacing(6);
    }
    layout->addStretch(1);

    buildEditMenu();
    connectTableEvents();
}

DataGrid *TForm2::buildTable(const char *gridName, const char *titleName, const QString &title,
                             const char *unitName, const QString &unit, const QString &format,
                             QLabel **titleOut, QLabel **unitOut) {
    auto *grid = new DataGrid(TableColumns, 2, this);
    grid->setObjectName(QString::fromLatin1(gridName));
    grid->setValueFormat(format);
    grid->setHeaderColumn(false);
    grid->setColumnWidths(ColumnWidth);
    grid->setRowHeights(RowHeight);
    // 32 columns of 40 pixels do not fit the window: the table scrolls sideways.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setFixedHeight(grid->fullSize().height() + grid->horizontalScrollBar()->sizeHint().height());

    // The tables have a header row but no header column: column 0 holds a value like the others.
    if (QTableWidgetItem *first = grid->item(1, 0)) {
        first->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QFont plain = grid->font();
        plain.setBold(false);
        first->setFont(plain);
        first->setBackground(QColor(255, 255, 255));
        first->setForeground(QColor(0, 0, 255));
    }
    for (int column = 0; column < TableColumns; ++column) {
        grid->item(0, column)->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        grid->item(1, column)->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        grid->setCellValue(column, 1, 0.0);
    }

    auto *titleLabel = new QLabel(title, this);
    titleLabel->setObjectName(QString::fromLatin1(titleName));
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    auto *unitLabel = new QLabel(unit, this);
    unitLabel->setObjectName(QString::fromLatin1(unitName));
    *titleOut = titleLabel;
    *unitOut = unitLabel;
    return grid;
}

TForm2::TableParts TForm2::tableParts(CorrectionTable table) const {
    switch (table) {
    case CorrectionTable::Water:
        break;
    case CorrectionTable::Air:
        return {AdvStringGrid_luchttemp, Label_luchttemp_text, Label_luchttemp_eenheid};
    case CorrectionTable::Battery:
        return {AdvStringGrid_battery, Label_batteryvoltage_text, Label_batteryvoltage_eenheid};
    case CorrectionTable::AirPressure:
        return {AdvStringGrid_Air_pressure, Label_Air_presssure_text, Label_Air_presssure_eenheid};
    }
    return {AdvStringGrid_Watertemp, Label_watertemp_text, Label_watertemp_eenheid};
}

DataGrid *TForm2::tableGrid(CorrectionTable table) const {
    return tableParts(table).grid;
}

QLabel *TForm2::tableTitle(CorrectionTable table) const {
    return tableParts(table).title;
}

QLabel *TForm2::tableUnit(CorrectionTable table) const {
    return tableParts(table).unit;
}

double TForm2::tableMinimum(CorrectionTable table) {
    return table == CorrectionTable::Battery ? 0.0 : -100.0;
}

double TForm2::tableMaximum(CorrectionTable table) {
    return table == CorrectionTable::Battery ? 10.0 : 100.0;
}

void TForm2::ApplyTableVisibility() {
    const QString version = currentVersion(ctx_);
    const bool full = VersionAtLeast(version, QStringLiteral("3FA"));
    const bool airPressure = VersionAtLeast(version, QStringLiteral("3FA1AB"));
    const struct {
        CorrectionTable table;
        bool shown;
    } rules[] = {{CorrectionTable::Water, true},
                 {CorrectionTable::Air, full},
                 {CorrectionTable::Battery, full},
                 {CorrectionTable::AirPressure, airPressure}};
    for (const auto &rule : rules) {
        tableGrid(rule.table)->setVisible(rule.shown);
        tableTitle(rule.table)->setVisible(rule.shown);
        tableUnit(rule.table)->setVisible(rule.shown);
    }
}

void TForm2::PrepareForShow() {
    if (ctx_.form3)
        ctx_.form3->RebuildCorrectionHeaders();
    ApplyTableVisibility();
    SelectedTableColumn = 0;
}

void TForm2::showEvent(QShowEvent *event) {
    PrepareForShow();
    QWidget::showEvent(event);
}
