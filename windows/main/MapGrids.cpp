// The two map grids of the main window on their tab control: layout, headers, formats, and the
// click, mouse-up and key events that choose the active map and open the edit menu.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "editor/EditMenuParts.h"
#include "windows/chart/ChartWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QGuiApplication>
#include <QVBoxLayout>

namespace {

constexpr int GridColumns = MapColumns + 1;
constexpr int GridRows = MapRows + 1;

DataGrid *makeMapGrid(QWidget *page, const QString &name, const QString &format) {
    auto *grid = new DataGrid(GridColumns, GridRows, page);
    grid->setObjectName(name);
    // "12500" in bold has to fit a 40-pixel column.
    QFont small = grid->font();
    small.setPointSizeF(8);
    grid->setFont(small);
    for (int row = 0; row < GridRows; ++row)
        for (int column = 0; column < GridColumns; ++column)
            if (row == 0 || column == 0) {
                QFont header = small;
                header.setBold(true);
                grid->item(row, column)->setFont(header);
            }
    grid->setValueFormat(format);
    grid->setColumnWidths(40);
    grid->setRowHeights(18);
    grid->setFrameStyle(QFrame::Box | QFrame::Plain);
    grid->setFixedSize(grid->fullSize());
    grid->setShowGrid(true);
    grid->setStyleSheet(QStringLiteral("QTableWidget { gridline-color: #808080; }"));
    grid->setCellText(0, 0, QString());
    for (int column = 1; column < GridColumns; ++column)
        grid->setCellText(column, 0, QStringLiteral("%1").arg(column - 1, 5));
    for (int row = 1; row < GridRows; ++row)
        grid->setCellText(0, row, QString::number(row * 500));

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(grid, 0, Qt::AlignLeft | Qt::AlignTop);
    return grid;
}

} // namespace

void TForm1::buildMapGrids() {
    xpPageControl_injection = new QTabWidget(this);
    xpPageControl_injection->setObjectName(QStringLiteral("xpPageControl_injection"));

    xpTabSheet_injection_group_1 = new QWidget;
    xpTabSheet_injection_group_1->setObjectName(QStringLiteral("xpTabSheet_injection_group_1"));
    xpTabSheet_injection_boost_correction = new QWidget;
    xpTabSheet_injection_boost_correction->setObjectName(
        QStringLiteral("xpTabSheet_injection_boost_correction"));

    AdvStringGrid_fuel = makeMapGrid(xpTabSheet_injection_group_1, QStringLiteral("AdvStringGrid_fuel"),
                                     QStringLiteral("%.2f"));
    AdvStringGrid_injection_boost_correction =
        makeMapGrid(xpTabSheet_injection_boost_correction,
                    QStringLiteral("AdvStringGrid_injection_boost_correction"), QStringLiteral("%.1f"));

    xpPageControl_injection->addTab(xpTabSheet_injection_group_1, QStringLiteral("Injection (ms)"));
    xpPageControl_injection->addTab(xpTabSheet_injection_boost_correction,
                                    QStringLiteral("Boost correction (%)"));
    const QSize size = xpPageControl_injection->sizeHint();
    xpPageControl_injection->setGeometry((795 - size.width()) / 2, 130, size.width(), size.height());

    connect(AdvStringGrid_fuel, &DataGrid::ClickCell, this, &TForm1::AdvStringGrid_fuelClickCell);
    connect(AdvStringGrid_injection_boost_correction, &DataGrid::ClickCell, this,
            &TForm1::AdvStringGrid_injection_boost_correctionClickCell);
    connect(AdvStringGrid_fuel, &DataGrid::MouseUp, this, &TForm1::AdvStringGrid_fuelMouseUp);
    connect(AdvStringGrid_injection_boost_correction, &DataGrid::MouseUp, this,
            &TForm1::AdvStringGrid_injection_boost_correctionMouseUp);
    connect(AdvStringGrid_fuel, &DataGrid::KeyUp, this, &TForm1::AdvStringGrid_fuelKeyUp);
    connect(AdvStringGrid_injection_boost_correction, &DataGrid::KeyUp, this,
            &TForm1::AdvStringGrid_injection_boost_correctionKeyUp);
}

void TForm1::ZeroMaps() {
    for (DataGrid *grid : {AdvStringGrid_fuel, AdvStringGrid_injection_boost_correction})
        for (int row = 1; row <= MapRows; ++row)
            for (int column = 1; column <= MapColumns; ++column)
                grid->setCellValue(column, row, 0.0);
}

QByteArray TForm1::MapCellPayload(int map, int column, int row) const {
    return ::MapCellPayload(map, column, row, MapCell(map, column, row));
}

void TForm1::ApplyBoostTabVisibility() {
    const bool boostTable =
        ctx_.form3 && ctx_.form3->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex() == 2;
    const bool show = VersionAtLeast(CurrentVersion(), QStringLiteral("3FA1AC")) && boostTable;
    const int index = xpPageControl_injection->indexOf(xpTabSheet_injection_boost_correction);
    xpPageControl_injection->setTabVisible(index, show);
    if (!show)
        xpPageControl_injection->setCurrentWidget(xpTabSheet_injection_group_1);
}

DataGrid *TForm1::VisibleMapGrid() const {
    const int boostIndex = xpPageControl_injection->indexOf(xpTabSheet_injection_boost_correction);
    if (xpPageControl_injection->currentIndex() == boostIndex &&
        xpPageControl_injection->isTabVisible(boostIndex))
        return AdvStringGrid_injection_boost_correction;
    return AdvStringGrid_fuel;
}

void TForm1::MapCellClicked(int map, int row, int column) {
    ActiveMapGrid = map;
    DataCellClicked = row != 0 && column != 0;
    if (ctx_.form4)
        ctx_.form4->ShowMapLine(map == BoostMapGrid ? ChartMap::Boost : ChartMap::Injection, row, column);
}

void TForm1::MapMouseUp(int map) {
    if (DataCellClicked)
        ShowEditMenu(map);
}

void TForm1::MapKeyUp(int map, int key, Qt::KeyboardModifiers modifiers) {
    // Growing the selection with Shift+arrows opens the menu, plain arrows only move.
    if (IsShiftSelectionStep(key, modifiers) && DataCellClicked)
        ShowEditMenu(map);
}

void TForm1::AdvStringGrid_fuelClickCell(int row, int column) {
    MapCellClicked(FuelMapGrid, row, column);
}
void TForm1::AdvStringGrid_injection_boost_correctionClickCell(int row, int column) {
    MapCellClicked(BoostMapGrid, row, column);
}
void TForm1::AdvStringGrid_fuelMouseUp(Qt::MouseButton, Qt::KeyboardModifiers) {
    MapMouseUp(FuelMapGrid);
}
void TForm1::AdvStringGrid_injection_boost_correctionMouseUp(Qt::MouseButton, Qt::KeyboardModifiers) {
    MapMouseUp(BoostMapGrid);
}
void TForm1::AdvStringGrid_fuelKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    MapKeyUp(FuelMapGrid, key, modifiers);
}
void TForm1::AdvStringGrid_injection_boost_correctionKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    MapKeyUp(BoostMapGrid, key, modifiers);
}
