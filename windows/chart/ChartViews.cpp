// Building the three views and drawing the bars.
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>

#include "app/AppContext.h"
#include "windows/chart/ChartWindow.h"
#include "windows/widgets/DataGrid.h"

namespace {
const QString InjectionRaiseHint =
    QStringLiteral("Injection bar up = +0,1 ;  with Alt  = +0,01 ; with Ctrl = +1");
const QString InjectionLowerHint =
    QStringLiteral("Injection bar down = +0,1 ;  with Alt  = +0,01 ; with Ctrl = +1");

double tickInterval(double span) {
    if (span <= 5)
        return 0.5;
    if (span <= 60)
        return 5;
    if (span <= 250)
        return 20;
    return 100;
}
} // namespace

// ---- entry points ----------------------------------------------------------------------------------

void TForm4::ShowMapLine(ChartMap map, int row, int column) {
    const bool restore = ctx_.LiveTracking && (row == 0 || column == 0);
    ctx_.LiveTracking = false;
    placeWindow(52);
    if (column == 0 && row > 0 && row <= LineCount(ChartView::SpeedRow)) {
        buildSpeedRow(map, row);
        showActive();
    } else if (row == 0 && column > 0 && column <= LineCount(ChartView::LoadColumn)) {
        buildLoadColumn(map, column);
        showActive();
    }
    if (restore)
        ctx_.LiveTracking = true;
}

void TForm4::ShowTable(int row) {
    const bool wasOn = ctx_.LiveTracking;
    placeWindow(1);
    if (row == 0) {
        buildTable(currentTableSelector());
        showActive();
    }
    ctx_.LiveTracking = wasOn && row == 0;
}

// The keys of the chart belong to it once a view is chosen, also when it was open already (a click in
// another window left that window active).
void TForm4::showActive() {
    show();
    raise();
    activateWindow();
    setFocus();
}

void TForm4::NextLine() {
    if (!isMapView())
        return;
    ChartLine = WrapLine(ChartMode, ChartLine, +1);
    rebuildAfterMove();
}

void TForm4::PreviousLine() {
    if (!isMapView())
        return;
    ChartLine = WrapLine(ChartMode, ChartLine, -1);
    rebuildAfterMove();
}

void TForm4::LiveCellUpdate(int liveColumn, int liveRow, int liveTableColumn, bool changed, double newValue) {
    if (bars_.isEmpty())
        return;
    if (ChartMode == ChartView::CorrectionTable) {
        if (liveTableColumn < 0 || liveTableColumn >= barCount() || liveTableColumn == ChartBar)
            return;
        colorBar(ChartBar, ChartColors::blue());
        ChartBar = liveTableColumn;
        colorBar(ChartBar, selectedColor(ChartBar));
        return;
    }
    if (!isMapView())
        return;
    // In a speed-row view the line is the row and the bar the column; in a load-column view the reverse.
    const bool speedRow = ChartMode == ChartView::SpeedRow;
    const int liveLine = speedRow ? liveRow : liveColumn;
    const int liveBar = (speedRow ? liveColumn : liveRow) - 1;
    if (liveBar < 0 || liveBar >= barCount())
        return;
    if (ChartLine != liveLine) {
        colorBar(ChartBar, normalColor(ChartBar));
        return;
    }
    if (changed || liveBar != ChartBar) {
        colorBar(ChartBar, normalColor(ChartBar));
        ChartBar = liveBar;
        if (changed) {
            bars_[ChartBar].value = newValue;
        }
        colorBar(ChartBar, selectedColor(ChartBar));
        return;
    }
    colorBar(ChartBar, selectedColor(ChartBar));
}

// ---- the views -------------------------------------------------------------------------------------

// What the row and the column view of a map share before their bars: the mode, the window title, the left
// axis and the value format. Returns the map's grid, or null (and changes nothing) when there is none.
DataGrid *TForm4::startMapView(ChartMap map, ChartView mode, int line) {
    DataGrid *grid = links.mapGrid ? links.mapGrid(map) : nullptr;
    if (!grid)
        return nullptr;
    ChartMode = mode;
    ChartLine = line;
    map_ = map;
    const bool injection = map == ChartMap::Injection;
    setWindowTitle(injection ? QStringLiteral("Chart injection") : QStringLiteral("Chart Boost correction"));
    chart_->setTitle(QString());
    if (injection) {
        setLeftAxis(-0.5, 50, QStringLiteral("Injection-time"));
        valueFormat_ = QStringLiteral("#,#00.00");
    } else {
        setLeftAxis(-500, 500, QStringLiteral("Boost correction"));
        valueFormat_ = QStringLiteral("#,#00.0");
    }
    return grid;
}

// After the bars: the buttons to the neighbouring line, and the first bar selected.
void TForm4::finishMapView(const QString &upHint, const QString &downHint) {
    SpeedButton_omhoog->setToolTip(upHint);
    SpeedButton_omlaag->setToolTip(downHint);
    SpeedButton_omhoog->show();
    SpeedButton_omlaag->show();
    SpeedButton_bar_verhogen->setToolTip(InjectionRaiseHint);
    SpeedButton_bar_verlagen->setToolTip(InjectionLowerHint);
    ChartBar = 0;
    bars_[0].color = ChartColors::blue();
    renderBars();
}

void TForm4::buildSpeedRow(ChartMap map, int row) {
    DataGrid *grid = startMapView(map, ChartView::SpeedRow, row);
    if (!grid)
        return;
    chart_->setTitle(QStringLiteral("Row ") + grid->cellText(0, row).trimmed() + QStringLiteral(" RPM"));
    setBottomAxis(map == ChartMap::Injection ? QStringLiteral("Engine-load")
                                             : QStringLiteral("Engine-load (MAP)"),
                  false);
    fillSpeedRowBars(grid, row);
    finishMapView(QStringLiteral("Move to previous RPM Row or press Page Up Key"),
                  QStringLiteral("Move to next RPM Row or press PageDown Key"));
}

void TForm4::buildLoadColumn(ChartMap map, int column) {
    DataGrid *grid = startMapView(map, ChartView::LoadColumn, column);
    if (!grid)
        return;
    chart_->setTitle(QStringLiteral("Engine-load Colomn ") + QString::number(column - 1));
    // 25 labels do not fit side by side: they stand upright, which keeps each one readable.
    setBottomAxis(QStringLiteral("Engine-RPM"), true);
    fillLoadColumnBars(grid, column);
    finishMapView(QStringLiteral("Move to right Engine-load Col or press Page Up Key"),
                  QStringLiteral("Move to left Engine-load Col or press Page Down Key"));
}

void TForm4::buildTable(ChartTable table) {
    DataGrid *grid = links.tableGrid ? links.tableGrid(table) : nullptr;
    if (!grid)
        return;
    ChartMode = ChartView::CorrectionTable;
    table_ = table;
    setWindowTitle(QStringLiteral("Chart"));
    SpeedButton_omhoog->hide();
    SpeedButton_omlaag->hide();
    clearSeries();
    const TableView view = TableViewOf(table);
    chart_->setTitle(view.title);
    valueFormat_ = view.valueFormat;
    setLeftAxis(view.leftMin, view.leftMax, view.leftTitle);
    setBottomAxis(view.bottomTitle, true);
    SpeedButton_bar_verhogen->setToolTip(view.raiseHint);
    SpeedButton_bar_verlagen->setToolTip(view.lowerHint);
    for (int i = 0; i <= LastBarIndex(ChartView::CorrectionTable); ++i) {
        const double x = TableBarX(table, i);
        bars_.append({x, grid->cellValue(i, 1), QString::number(x), ChartColors::blue()});
    }
    ChartBar = 0;
    bars_[0].color = view.selectedColor;
    renderBars();
}

void TForm4::rebuildAfterMove() {
    // A move keeps charting the map the bars came from (see chartedGrid).
    DataGrid *grid = chartedGrid();
    if (!grid)
        return;
    chart_->setTitle(QString());
    clearSeries();
    if (ChartMode == ChartView::SpeedRow) {
        chart_->setTitle(QStringLiteral("Row ") + grid->cellText(0, ChartLine).trimmed() +
                         QStringLiteral(" RPM"));
        fillSpeedRowBars(grid, ChartLine);
    } else {
        chart_->setTitle(QStringLiteral("Engine load Colomn ") + QString::number(ChartLine - 1));
        fillLoadColumnBars(grid, ChartLine);
        Series2->setPointLabelsVisible(false);
    }
    ChartBar = 0;
    const int liveLine = ChartMode == ChartView::SpeedRow ? ClampRow(ctx_.LiveRow) : liveLoadColumn();
    if (ChartLine == liveLine)
        bars_[0].color = selectedColor(0);
    renderBars();
}

void TForm4::fillSpeedRowBars(DataGrid *grid, int row) {
    clearSeries();
    for (int c = 1; c <= LineCount(ChartView::LoadColumn); ++c)
        bars_.append({double(c - 1), grid->cellValue(c, row), grid->cellText(c, 0).trimmed(), QColor()});
    for (int i = 0; i < barCount(); ++i)
        bars_[i].color = normalColor(i);
    if (map_ == ChartMap::Injection) {
        double t = 0;
        bool ok = false;
        const int rpm = grid->cellText(0, row).trimmed().toInt(&ok);
        const QString stroke = links.strokeMode ? links.strokeMode() : QStringLiteral("2");
        if (ok && MaxInjectionTime(rpm, stroke, &t))
            setLine({QPointF(-1, t), QPointF(15, t)}, true);
    }
}

void TForm4::fillLoadColumnBars(DataGrid *grid, int column) {
    clearSeries();
    for (int r = 1; r <= LineCount(ChartView::SpeedRow); ++r)
        bars_.append({500.0 * r, grid->cellValue(column, r), grid->cellText(0, r).trimmed(), QColor()});
    for (int i = 0; i < barCount(); ++i)
        bars_[i].color = normalColor(i);
    if (map_ == ChartMap::Injection) {
        const QString stroke = links.strokeMode ? links.strokeMode() : QStringLiteral("2");
        QVector<QPointF> points;
        for (int r = 1; r <= LineCount(ChartView::SpeedRow); ++r) {
            double t = 0;
            bool ok = false;
            const int rpm = grid->cellText(0, r).trimmed().toInt(&ok);
            if (ok && MaxInjectionTime(rpm, stroke, &t))
                points.append(QPointF(500.0 * r, t));
        }
        setLine(points, false);
    }
}

// ---- axes and series -------------------------------------------------------------------------------

void TForm4::setLeftAxis(double minimum, double maximum, const QString &title) {
    LeftAxis->setRange(minimum, maximum);
    LeftAxis->setTickAnchor(0);
    LeftAxis->setTickInterval(tickInterval(maximum - minimum));
    LeftAxis->setTitleText(title);
}

void TForm4::setBottomAxis(const QString &title, bool rotatedLabels) {
    BottomAxis->setTitleText(title);
    BottomAxis->setLabelsAngle(rotatedLabels ? -90 : 0);
    BottomAxis->setTruncateLabels(false);
}

void TForm4::setLine(const QVector<QPointF> &points, bool marksVisible) {
    line_ = points;
    Series2->setPointLabelsVisible(marksVisible);
}

void TForm4::clearSeries() {
    bars_.clear();
    line_.clear();
    Series1->clear();
    Series2->clear();
}

void TForm4::renderBars() {
    Series1->clear();
    Series2->clear();
    const int n = barCount();
    // Upright labels are judged by their lying width when the axis decides which fit, which hides the
    // first and last; an empty slot at each end gives them room.
    pad_ = BottomAxis->labelsAngle() != 0 ? 1 : 0;
    // Category labels must be unique; equal header texts get invisible zero-width spaces appended.
    QStringList categories;
    if (pad_)
        categories.append(QStringLiteral(" "));
    for (const Bar &bar : bars_) {
        QString label = bar.label.isEmpty() ? QString(QChar(0x200B)) : bar.label;
        while (categories.contains(label))
            label += QChar(0x200B);
        categories.append(label);
    }
    if (pad_)
        categories.append(QStringLiteral("  "));
    BottomAxis->setCategories(categories);
    QList<QBarSet *> sets;
    for (int i = 0; i < n; ++i) {
        auto *set = new QBarSet(legendText(i));
        QList<qreal> values(n + 2 * pad_, 0.0);
        values[i + pad_] = bars_[i].value;
        set->append(values);
        set->setColor(bars_[i].color);
        set->setPen(QPen(QColor(64, 64, 64), 1));
        sets.append(set);
    }
    Series1->append(sets);
    // The line lives in bar positions: bar i stands at category i (+ the empty slot).
    if (!line_.isEmpty() && n >= 2) {
        const double x0 = bars_[0].x;
        const double dx = bars_[1].x - bars_[0].x;
        QList<QPointF> mapped;
        for (const QPointF &p : line_)
            mapped.append(QPointF((p.x() - x0) / dx + pad_, p.y()));
        Series2->replace(mapped);
    }
    renderLegend();
}

void TForm4::renderLegend() {
    const int n = barCount();
    if (n == 0) {
        ChartLegend->hide();
        return;
    }
    // One column up to 16 values, two side by side beyond.
    const int rows = n > 16 ? (n + 1) / 2 : n;
    const int columns = (n + rows - 1) / rows;
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=0>");
    for (int r = 0; r < rows; ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < columns; ++c) {
            const int i = c * rows + r;
            if (i >= n)
                break;
            html += QStringLiteral("<td><span style='color:%1'>&#9632;</span>&nbsp;</td>"
                                   "<td align=right>%2&nbsp;&nbsp;</td>")
                        .arg(bars_[i].color.name(), legendText(i).toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    ChartLegend->setText(html);
    ChartLegend->show();
    placeLegend();
}

void TForm4::renderBar(int index) {
    const QList<QBarSet *> sets = Series1->barSets();
    if (index < 0 || index >= sets.size() || index >= barCount())
        return;
    QBarSet *set = sets[index];
    set->setColor(bars_[index].color);
    set->replace(index + pad_, bars_[index].value);
    set->setLabel(legendText(index));
    // Live frames and held keys recolour bars often; the legend text is rebuilt once per event round.
    if (!legendPending_) {
        legendPending_ = true;
        QTimer::singleShot(0, this, [this] {
            legendPending_ = false;
            renderLegend();
        });
    }
}

void TForm4::colorBar(int index, const QColor &color) {
    if (index < 0 || index >= barCount())
        return;
    bars_[index].color = color;
    renderBar(index);
}

// ---- cells and colours -----------------------------------------------------------------------------

DataGrid *TForm4::chartedGrid() const {
    if (ChartMode == ChartView::CorrectionTable)
        return links.tableGrid ? links.tableGrid(table_) : nullptr;
    if (isMapView())
        return links.mapGrid ? links.mapGrid(map_) : nullptr;
    return nullptr;
}

bool TForm4::barCellIsRed(int index) const {
    if (!isMapView())
        return false;
    DataGrid *grid = chartedGrid();
    if (!grid)
        return false;
    const bool speedRow = ChartMode == ChartView::SpeedRow;
    const int column = speedRow ? index + 1 : ChartLine;
    const int row = speedRow ? ChartLine : index + 1;
    return grid->cellColor(column, row) == ChartColors::red();
}

QColor TForm4::normalColor(int index) const {
    switch (ChartMode) {
    case ChartView::SpeedRow:
        return barCellIsRed(index) ? ChartColors::grey() : ChartColors::white();
    case ChartView::LoadColumn:
        return barCellIsRed(index) ? ChartColors::grey() : ChartColors::lime();
    default:
        return ChartColors::blue();
    }
}

QColor TForm4::selectedColor(int index) const {
    if (ChartMode == ChartView::CorrectionTable)
        return TableViewOf(table_).selectedColor;
    return barCellIsRed(index) ? ChartColors::navy() : ChartColors::blue();
}

// ---- read-outs -------------------------------------------------------------------------------------

double TForm4::barValue(int index) const {
    return index >= 0 && index < barCount() ? bars_[index].value : 0.0;
}
double TForm4::barX(int index) const {
    return index >= 0 && index < barCount() ? bars_[index].x : 0.0;
}
QColor TForm4::barColor(int index) const {
    return index >= 0 && index < barCount() ? bars_[index].color : QColor();
}
QString TForm4::barLabel(int index) const {
    return index >= 0 && index < barCount() ? bars_[index].label : QString();
}
QString TForm4::legendText(int index) const {
    return LegendText(barValue(index), valueFormat_);
}
bool TForm4::lineMarksVisible() const {
    return Series2->pointLabelsVisible();
}
