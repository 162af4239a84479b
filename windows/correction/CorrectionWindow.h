#pragma once
// The correction-table window: water temperature, air temperature, battery voltage and air pressure,
// 32 values each. The grid cells are the working store of the table values; transfers, files, the chart
// and the live tracking read and write them directly.
//
// Each grid has 32 columns (0..31) and two rows: row 0 holds the axis (written by the options window's
// RebuildCorrectionHeaders), row 1 the values. Cell (column, row) as everywhere else.
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "windows/widgets/DataGrid.h"

struct AppContext;
class EditJobs;
class QShowEvent;
class QKeyEvent;

// Which table the last click or Shift selection concerns; chooses the edit job and the chart.
enum class CorrectionTable { Water = 0, Air = 1, Battery = 2, AirPressure = 3 };

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(AppContext &ctx, QWidget *parent = nullptr);

    static constexpr int TableColumns = 32;

    // Grid, title label and unit label of one table.
    // A table's grid with its title and unit labels.
    struct TableParts {
        DataGrid *grid;
        QLabel *title;
        QLabel *unit;
    };
    TableParts tableParts(CorrectionTable table) const;
    DataGrid *tableGrid(CorrectionTable table) const;
    QLabel *tableTitle(CorrectionTable table) const;
    QLabel *tableUnit(CorrectionTable table) const;
    // Lowest and highest value a cell of this table may hold.
    static double tableMinimum(CorrectionTable table);
    static double tableMaximum(CorrectionTable table);

    // Shows the tables the current firmware has: water always, air and battery from "3FA",
    // air pressure from "3FA1AB".
    void ApplyTableVisibility();
    // Everything that happens each time the window is shown: axis headers, table visibility,
    // SelectedTableColumn back to 0.
    void PrepareForShow();

    DataGrid *AdvStringGrid_Watertemp = nullptr;
    DataGrid *AdvStringGrid_luchttemp = nullptr;
    DataGrid *AdvStringGrid_battery = nullptr;
    DataGrid *AdvStringGrid_Air_pressure = nullptr;

    QLabel *Label_watertemp_text = nullptr;
    QLabel *Label_luchttemp_text = nullptr;
    QLabel *Label_batteryvoltage_text = nullptr;
    QLabel *Label_Air_presssure_text = nullptr;

    QLabel *Label_watertemp_eenheid = nullptr;
    QLabel *Label_luchttemp_eenheid = nullptr;
    QLabel *Label_batteryvoltage_eenheid = nullptr;
    QLabel *Label_Air_presssure_eenheid = nullptr;

    CorrectionTable TableSelector = CorrectionTable::Water;
    int SelectedTableColumn = 0;

    // ---- edit menu and progress box (the jobs are editor/EditJobs.h) -------------------------------------
    QGroupBox *GroupBox_Edit_menu = nullptr;
    QRadioButton *RadioButton_percentvalue = nullptr;
    QRadioButton *RadioButton_setvalue = nullptr;
    QRadioButton *RadioButton_hor_interpol = nullptr;
    QDoubleSpinBox *AdvSpinEdit_percentvalue = nullptr;
    QDoubleSpinBox *AdvSpinEdit_setvalue = nullptr;
    QLabel *Label_percentvalue = nullptr; // "% "
    QLabel *Label_setvalue = nullptr;     // "value"
    QPushButton *Button_ok_editmenu = nullptr;
    QPushButton *Button_cancel_editmenu = nullptr;
    QGroupBox *GroupBox_gauge_up_down_loading = nullptr;
    QProgressBar *Gauge_up_down_loading = nullptr;

    void ShowEditMenu();
    // The last click was on a value (shared with the map grids of the main window).
    bool DataCellClicked() const;
    // Which table a grid of this window shows.
    CorrectionTable tableOf(const DataGrid *grid) const;

public slots:
    // Events of the four tables; `table` says whose grid sent them.
    void AdvStringGridClickCell(CorrectionTable table, int row, int column);
    void AdvStringGridSelectCell(CorrectionTable table, int column);
    void AdvStringGridMouseUp(CorrectionTable table);
    void AdvStringGridKeyUp(CorrectionTable table, int key, Qt::KeyboardModifiers modifiers);
    // Sign keys of a table; true when the key was one of them.
    bool AdvStringGridKeyDown(CorrectionTable table, int key, Qt::KeyboardModifiers modifiers);
    void Button_ok_editmenuClick();
    void Button_cancel_editmenuClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Enter that no control used presses the edit menu's "&Ok" while the menu is shown.
    void keyPressEvent(QKeyEvent *event) override;

    AppContext &ctx_;

private:
    DataGrid *buildTable(const char *gridName, const char *titleName, const QString &title,
                         const char *unitName, const QString &unit, const QString &format, QLabel **titleOut,
                         QLabel **unitOut);
    void buildEditMenu();
    void connectTableEvents();
    void SetDataCellClicked(bool on);
    // The edit jobs behind the menu's "&Ok": the main window's (none without a main window).
    EditJobs *editJobs() const;
    // Space and F1 seen by the window before the focused control.
    bool PreviewKey(QObject *watched, QKeyEvent *event);

    bool dataCellClicked_ = false; // used when there is no main window
    const QEvent *lastPreviewed_ = nullptr;
    QObject *lastPreviewedBy_ = nullptr;
};
