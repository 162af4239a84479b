#pragma once
// The chart window: one speed row or load column of a map, or one correction table, as bars that the
// tuner walks along and pushes up and down. Bar values are written back into the grid cells and sent to
// the ECU as single-value changes when the key or the bar button is released.
#include <QColor>
#include <QPointF>
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>

#include "rules/ChartRules.h"

struct AppContext;
class DataGrid;
class QChart;
class QChartView;
class QStackedBarSeries;
class QLineSeries;
class QValueAxis;
class QBarCategoryAxis;
class QToolButton;
class QLabel;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(AppContext &ctx, QWidget *parent = nullptr);
    ~TForm4() override;

    // How the chart reaches the grids, the options and the rest of the program. The constructor fills
    // them from the windows and the link in the AppContext (ConnectToWindows); tests may replace any. An
    // empty function means "not available": nothing is read or sent.
    struct Links {
        std::function<DataGrid *(ChartMap)> mapGrid;
        std::function<DataGrid *(ChartTable)> tableGrid;
        std::function<ChartTable()> tableSelector; // TableSelector of the correction-table window
        std::function<QString()> strokeMode;       // item text of the injection stroke mode: "2", "4", "1"
        std::function<QString()> firmwareVersion;  // caption of the options window's version text
        std::function<int()> loadSourceIndex;      // item index of the engine-load source option
        std::function<QString(const QString &labelName)> dashboardText; // a dashboard label's text
        std::function<bool()> boostTabShown; // the main window shows the boost-correction tab
        std::function<void()> hideEditMenu;  // the main window's edit menu
        std::function<void()> openManual;    // F1
        std::function<void()> toggleOnline;  // F10, without disabling the map grids
        // One single-value change of a cell: stop the link, RequestPayload := word(address) + word(raw),
        // DelayedAction := 1 ("c"), start Timer4. Sent only when online; the "Y" resumes live polling.
        // False when another conversation has the line: nothing was done.
        std::function<bool(int address, int raw)> sendCellChange;
    };
    Links links;
    // Fills `links` from the windows and the link of the AppContext, looked up at each call.
    void ConnectToWindows();

    // Controls.
    QChartView *Chart1 = nullptr;
    QStackedBarSeries *Series1 = nullptr; // one bar set per bar, so each bar has its own colour
    QLineSeries *Series2 = nullptr;       // "Max injection-time"
    QValueAxis *LeftAxis = nullptr;
    QBarCategoryAxis *BottomAxis = nullptr;
    QLabel *ChartFooter = nullptr;
    QLabel *ChartLegend = nullptr; // the values of the bars, one or two columns beside the chart
    QToolButton *SpeedButton_omhoog = nullptr;
    QToolButton *SpeedButton_omlaag = nullptr;
    QToolButton *SpeedButton_bar_verhogen = nullptr;
    QToolButton *SpeedButton_bar_verlagen = nullptr;
    QToolButton *SpeedButton_selectiebar_naar_links = nullptr;
    QToolButton *SpeedButton_selectiebar_naar_rechts = nullptr;

    // View state.
    ChartView ChartMode = ChartView::None;
    int ChartLine = 0; // speed row 1..25 or load column 1..16 of a map view
    int ChartBar = 0;  // selected bar, from 0

    // Views (a cell click in a map grid or a correction table, and the chart keys).
    void ShowMapLine(ChartMap map, int row, int column);
    void ShowTable(int row);
    void NextLine();
    void PreviousLine();
    // Told by the live cell tracking after each live frame: live map column (1..16) and row (1..25),
    // the live entry (0..31) of the charted correction table, and whether the live trim changed the
    // live cell to newValue.
    void LiveCellUpdate(int liveColumn, int liveRow, int liveTableColumn, bool changed, double newValue);

    // Navigation and bar editing.
    void RaiseBar(double step);
    void LowerBar(double step);
    void SelectLeft();
    void SelectRight();
    void WriteBackBar();
    // Re-charts the live speed row or load column. From the main window the live row comes from the
    // engine-speed text, from the chart window from LiveRow.
    void JumpToLiveCell(bool fromMainWindow);

    // The lock state's footer "DATA IS NOT LOCKED !!!".
    bool FooterVisible() const;
    void SetFooterVisible(bool visible);

    // What is drawn, for the live tracking and for tests.
    int barCount() const { return int(bars_.size()); }
    double barValue(int index) const;
    double barX(int index) const;
    QColor barColor(int index) const;
    QString barLabel(int index) const;
    QString legendText(int index) const;
    QVector<QPointF> linePoints() const { return line_; }
    bool lineMarksVisible() const;
    QString valueFormat() const { return valueFormat_; }
    ChartMap chartedMap() const { return map_; }
    ChartTable chartedTable() const { return table_; }
    QString chartTitle() const;

public slots:
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void SpeedButton_omhoogClick();
    void SpeedButton_omlaagClick();
    void SpeedButton_selectiebar_naar_linksClick();
    void SpeedButton_selectiebar_naar_rechtsClick();
    void SpeedButton_bar_verhogenMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void SpeedButton_bar_verlagenMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void SpeedButton_bar_verhogenMouseUp();
    void SpeedButton_bar_verlagenMouseUp();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Bar {
        double x = 0;
        double value = 0;
        QString label;
        QColor color;
    };

    // Frame (ChartWindow.cpp).
    void buildControls();
    void placeWindow(int top);
    void placeButtons();
    void placeFooter();
    void placeLegend();
    void renderLegend();

    // Views (ChartViews.cpp).
    void buildSpeedRow(ChartMap map, int row);
    void buildLoadColumn(ChartMap map, int column);
    DataGrid *startMapView(ChartMap map, ChartView mode, int line);
    void finishMapView(const QString &upHint, const QString &downHint);
    void buildTable(ChartTable table);
    void rebuildAfterMove();
    void showActive(); // shown, raised and active, the keyboard here
    void fillSpeedRowBars(DataGrid *grid, int row);
    void fillLoadColumnBars(DataGrid *grid, int column);
    void setLeftAxis(double minimum, double maximum, const QString &title);
    void setBottomAxis(const QString &title, bool rotatedLabels);
    void setLine(const QVector<QPointF> &points, bool marksVisible);
    void clearSeries();
    void renderBars();
    void renderBar(int index);
    DataGrid *chartedGrid() const;
    bool barCellIsRed(int index) const;
    QColor normalColor(int index) const;
    QColor selectedColor(int index) const;
    void colorBar(int index, const QColor &color);
    int liveLoadColumn() const; // of the tab the main window shows
    ChartTable currentTableSelector() const;

    // Navigation (ChartNavigation.cpp).
    void stepBar(bool raise, Qt::KeyboardModifiers modifiers);
    void stepBarOnLeftButton(Qt::MouseButton button, bool raise, Qt::KeyboardModifiers modifiers);
    void moveLine(bool next);
    void moveSelection(int by);
    void changeBar(const std::function<double(double value, const BarLimits &limits)> &change);
    bool isMapView() const { return ChartMode == ChartView::SpeedRow || ChartMode == ChartView::LoadColumn; }

    AppContext &ctx_;
    QChart *chart_ = nullptr;
    QVector<Bar> bars_;
    QVector<QPointF> line_;
    QString valueFormat_;
    int pad_ = 0; // empty category slots at each end of the bottom axis
    bool legendPending_ = false;
    ChartMap map_ = ChartMap::Injection;
    ChartTable table_ = ChartTable::Water;
};
