#pragma once
// The main window: toolbar, the two dashboards, the two map grids and the boxes laid over them
// (edit menu, up/down-load menu, progress box, information panel, access and password boxes,
// fault messages). Every control is a public member with the same objectName. The grids are the
// store of the map values; see rules/MapCells.h for addresses, raw words and limits.
//
// The body is built in parts: windows/main/MainWindow.cpp (shell, first showing, close),
// windows/main/Toolbar.cpp, windows/main/MainWindowState.cpp (online/offline and enabling),
// windows/main/TransferMenu.cpp, windows/main/InfoPanel.cpp, windows/main/DashboardPanels.cpp,
// windows/main/MapGrids.cpp, windows/main/EditMenuBox.cpp.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <array>
#include <functional>

#include "rules/MapCells.h"
#include "windows/widgets/DataGrid.h"

struct AppContext;
class EditJobs;
class QCloseEvent;
class QShortcut;
class QShowEvent;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(AppContext &ctx, QWidget *parent = nullptr);
    ~TForm1() override;

    AppContext &context() const { return ctx_; }

    // ---- state switches every part of the program uses ----------------------------------------------
    // Online is the silver colour of Panel_dashbord; offline is red with "communication is offline".
    bool IsOnline() const;
    // Off goes through the link's one way offline (which ends any job and closes the port), then paints.
    void SetOnline(bool on);
    void EnableValueLabels(bool on);
    void ResetValueLabels();
    void EnableMainControls(bool on); // the five toolbar speed buttons
    // Not locked is the yellow of the fuel grid's fixed cells.
    bool DataNotLocked() const;

    // Both map grids enabled / disabled; the boost grid only ever enabled from firmware "3FA1AC".
    void EnableMapGrids(bool on);
    // Firmware version as the options window shows it now ("3FA1AD1AA" until one is known).
    QString CurrentVersion() const;

    // ---- map grids --------------------------------------------------------------------------------------
    DataGrid *MapGrid(int map) const {
        return map == BoostMapGrid ? AdvStringGrid_injection_boost_correction : AdvStringGrid_fuel;
    }
    double MapCell(int map, int column, int row) const { return MapGrid(map)->cellValue(column, row); }
    void SetMapCell(int map, int column, int row, double value) {
        MapGrid(map)->setCellValue(column, row, value);
    }
    // Change request payload of a cell as it stands (address word, raw value word).
    QByteArray MapCellPayload(int map, int column, int row) const;
    // Every data cell of both maps to 0.
    void ZeroMaps();
    // Boost tab shown from "3FA1AC" with main load item 2 ("... Engine Load 2 as Boost correction table").
    void ApplyBoostTabVisibility();
    // The grid of the visible tab.
    DataGrid *VisibleMapGrid() const;
    // Range, step and decimals of AdvSpinEdit_setvalue for a map, then the edit menu is shown.
    void PrepareSetValueField(int map);
    void ShowEditMenu(int map);
    // The jobs behind the edit menus' "&Ok" (the map menu here, the correction window's too).
    EditJobs *editJobs() const { return editJobs_; }

    // Which map the last click or chart command concerns (FuelMapGrid or BoostMapGrid).
    int ActiveMapGrid = FuelMapGrid;
    // The last click in a map grid or correction table was on a data cell.
    bool DataCellClicked = false;
    // Width or height minus one of the selection being interpolated.
    int InterpolationSpan = 0;

    // ---- transfer menu ----------------------------------------------------------------------------------
    enum class MenuMode {
        Connect,   // dashboard click while offline: transfer buttons and "Stay &Offline" only
        Transfer,  // toolbar "Up / down load": "&Cancel" and the lock button
        FileLoaded // after opening a file: "Stay &Offline" and the lock button
    };
    void ShowTransferMenu(MenuMode mode);
    bool FirstShowDone() const { return firstShowDone_; }
    // Runs once when the window is first shown; public so tests and the start-up code can call it.
    void FormShow();
    // Close question; true when the window may close. "No" gives back what the question stopped.
    bool FormCloseQuery();
    // Another conversation than the live poll is on the line (a transfer, an edit job, a lock...).
    bool LineBusy() const;

    // Work that belongs to other parts of the program, set by the start-up code; empty means nothing
    // to do. The link itself is reached through the AppContext.
    std::function<void()> onRefreshCaptions; // window captions from the lock state (first showing)
    std::function<void()> onOpenFile;        // toolbar "Open file"
    std::function<void()> onSaveFile;        // toolbar "Save file"
    std::function<void()> onOpenManual;      // "Help  F1"
    std::function<void()> onClosed;          // the window closed: the program ends

    // ---- toolbar -----------------------------------------------------------------------------------------
    QToolButton *SpeedButton_openfile = nullptr;
    QToolButton *SpeedButton_savefile = nullptr;
    QToolButton *SpeedButton_options = nullptr;
    QToolButton *SpeedButton_correctiontable = nullptr;
    QToolButton *SpeedButton_up_down_load = nullptr;
    // After the existing buttons and the recorder's: the calibration history (F6).
    QToolButton *SpeedButton_history = nullptr;
    std::function<void()> onOpenHistory;
    QPushButton *Button2 = nullptr; // "Help  F1"
    QLabel *Label1 = nullptr;       // "Comm errors:"

    // ---- first dashboard (firmware below "3FA")
    // ------------------------------------------------------------
    QLabel *Panel_dashbord = nullptr;
    QLabel *Panel_Enginespeed = nullptr;
    QLabel *Panel_injectiontime = nullptr;
    QLabel *Panel_engineload = nullptr;
    QLabel *Panel_correction = nullptr;
    QLabel *Panel_correctionstep = nullptr;
    QLabel *Panel_inlettemp = nullptr;
    QLabel *Panel_battery = nullptr;
    QLabel *Panel_potmeter = nullptr;
    QLabel *Label_Enginespeed_text = nullptr;
    QLabel *Label_injectiontime_text = nullptr;
    QLabel *Label_engineload_text = nullptr;
    QLabel *Label_correction_text = nullptr;
    QLabel *Label_correctionstep_text = nullptr;
    QLabel *Label_inlettemp_text = nullptr;
    QLabel *Label_battery_text = nullptr;
    QLabel *Label_potmeter_text = nullptr;
    QLabel *Label_Enginespeed_eenheid = nullptr;
    QLabel *Label_injectiontime_eenheid = nullptr;
    QLabel *Label_correction_eenheid = nullptr;
    QLabel *Label_correctionstep_eenheid = nullptr;
    QLabel *Label_inlettemp_eenheid = nullptr;
    QLabel *Label_battery_eenheid = nullptr;
    QLabel *Label_potmeter_eenheid = nullptr;
    QLabel *Label_Enginespeed_waarde = nullptr;
    QLabel *Label_injectiontime_waarde = nullptr;
    QLabel *Label_engineload_waarde = nullptr;
    QLabel *Label_correction_waarde = nullptr;
    QLabel *Label_correctionstep_waarde = nullptr;
    QLabel *Label_inlettemp_waarde = nullptr;
    QLabel *Label_potmeter_waarde = nullptr;
    QLabel *Label_battery_waarde = nullptr;
    QLabel *Panel_Second_stage_led = nullptr;
    QLabel *Label_Second_stage_text = nullptr; // "Second" / "Stage"
    QLabel *Label_press_F10 = nullptr;         // "Press F10 for online"
    QLabel *Panel_spare1 = nullptr;            // always hidden
    QLabel *Panel_spare2 = nullptr;            // always hidden

    // ---- second dashboard ("3FA" and later) -------------------------------------------------------------
    QLabel *Panel_dashbord2 = nullptr;
    QLabel *Panel_Enginespeed3 = nullptr;
    QLabel *Panel_injectiontime2 = nullptr;
    QLabel *Panel_engineload_tps2 = nullptr;
    QLabel *Panel_engineload_map2 = nullptr;
    QLabel *Panel_watertemp2 = nullptr;
    QLabel *Panel_airtemp2 = nullptr;
    QLabel *Panel_battery2 = nullptr;
    QLabel *Panel_correction_fuel2 = nullptr;
    QLabel *Panel_boostpressure2 = nullptr;
    QLabel *Label_Enginespeed_text3 = nullptr;
    QLabel *Label_injectiontime_text2 = nullptr;
    QLabel *Label_engineload_text2 = nullptr;     // "Engine load TPS"
    QLabel *Label_engineload2_text2 = nullptr;    // "Engine load MAP"
    QLabel *Label_correctionstep_text2 = nullptr; // "Watertemp."
    QLabel *Label_inlettemp_text2 = nullptr;      // "Air temp."
    QLabel *Label_Battery_Voltage_text2 = nullptr;
    QLabel *Label_correction_text_fuel2 = nullptr;
    QLabel *Label_boostpressure_txt2 = nullptr;
    QLabel *Label_Enginespeed_eenheid3 = nullptr;
    QLabel *Label_injectiontime_eenheid2 = nullptr;
    QLabel *Label_correctionstep_eenheid2 = nullptr;
    QLabel *Label_inlettemp_eenheid2 = nullptr;
    QLabel *Label_Battery_Voltage_eenheid2 = nullptr;
    QLabel *Label_correction_eenheid_fuel2 = nullptr;
    QLabel *Label_boostpressure_eenheid2 = nullptr;
    QLabel *Label_Enginespeed_waarde3 = nullptr;
    QLabel *Label_injectiontime_waarde2 = nullptr;
    QLabel *Label_engineload_waarde2 = nullptr;
    QLabel *Label_engineload2_waarde2 = nullptr;
    QLabel *Label_correction_waarde_fuel2 = nullptr;
    QLabel *Label_correctionstep_waarde2 = nullptr;
    QLabel *Label_inlettemp_waarde2 = nullptr;
    QLabel *Label_Battery_Voltage_waarde2 = nullptr;
    QLabel *Label_boostpressure_waarde2 = nullptr;
    QLabel *Panel_Launch_led2 = nullptr;
    QLabel *Panel_Second_stage_led2 = nullptr;
    QLabel *Panel_Boost_led2 = nullptr;
    QLabel *Panel_Fuel_pump_led2 = nullptr;
    QLabel *Label_Launch_text2 = nullptr;       // "Launch"
    QLabel *Label_Second_stage_text2 = nullptr; // "AUX1"
    QLabel *Label_Boost_text2 = nullptr;        // "Boost" / "ctrl. active"
    QLabel *Label_Fuel_pump_text2 = nullptr;    // "Fuel" / "pump"
    QLabel *Label_press_F10_2 = nullptr;        // "Press F10 for online"

    // ---- fault messages
    // ------------------------------------------------------------------------------------
    QLabel *Panel_Warning_message = nullptr;
    QLabel *Label_warning_massage1 = nullptr;
    QLabel *Label_warning_massage2 = nullptr;
    QLabel *Label_warning_massage3 = nullptr;
    QLabel *Label_warning_massage4 = nullptr;
    QLabel *Label_warning_massage5 = nullptr;
    QLabel *Label_warning_massage6 = nullptr;
    QLabel *Label_warning_massage7 = nullptr;
    QLabel *Label_warning_massage8 = nullptr;
    QLabel *Label_warning_massage9 = nullptr;
    QLabel *Label_warning_massage10 = nullptr;
    QLabel *Label_warning_massage11 = nullptr;
    QLabel *Label_warning_massage12 = nullptr;
    QLabel *Label_warning_massage13 = nullptr;
    QLabel *Label_warning_massage14 = nullptr;
    QLabel *Label_warning_massage15 = nullptr;
    QLabel *Label_warning_massage16 = nullptr;
    QPushButton *Button_clear_message = nullptr; // "Clear message"
    // Label_warning_massage1..16 by number (1..16); null outside.
    QLabel *WarningLabel(int number) const;

    // ---- power interrupted --------------------------------------------------------------------------------
    QLabel *Panel_power_to_system_was_interrupted = nullptr;
    QToolButton *SpeedButton1 = nullptr; // up-load
    QToolButton *SpeedButton2 = nullptr; // down-load

    // ---- map grids ----------------------------------------------------------------------------------------
    QTabWidget *xpPageControl_injection = nullptr;
    QWidget *xpTabSheet_injection_group_1 = nullptr;
    QWidget *xpTabSheet_injection_boost_correction = nullptr;
    DataGrid *AdvStringGrid_fuel = nullptr;
    DataGrid *AdvStringGrid_injection_boost_correction = nullptr;

    // ---- edit menu (operations in the edit-job code) ------------------------------------------------------
    QGroupBox *GroupBox_Edit_menu = nullptr;
    QRadioButton *RadioButton_percentvalue = nullptr;
    QRadioButton *RadioButton_setvalue = nullptr;
    QRadioButton *RadioButton_hor_interpol = nullptr;
    QRadioButton *RadioButton_ver_interpol = nullptr;
    QDoubleSpinBox *AdvSpinEdit_percentvalue = nullptr;
    QDoubleSpinBox *AdvSpinEdit_setvalue = nullptr;
    QLabel *Label_percentvalue = nullptr; // "% "
    QLabel *Label_setvalue = nullptr;     // "value"
    QPushButton *Button_ok_editmenu = nullptr;
    QPushButton *Button_cancel_editmenu = nullptr;

    // ---- up / down load
    // ------------------------------------------------------------------------------------
    QGroupBox *GroupBox_up_download_menu = nullptr;
    QToolButton *SpeedButton_Upload = nullptr;
    QToolButton *SpeedButton_Download = nullptr;
    QCheckBox *CheckBox_verify_after_writing = nullptr; // "Verify after writing": read back each write
    QPushButton *Button_cancel_Up_download_menu = nullptr;
    QPushButton *Button_stay_offline = nullptr;
    QLabel *Label_program_is_text = nullptr;
    QToolButton *SpeedButton_lock_unlock = nullptr; // checkable; "released" = unchecked
    QGroupBox *GroupBox_gauge_up_down_loading = nullptr;
    QProgressBar *Gauge_up_down_loading = nullptr;

    // ---- information panel, access level and password ----------------------------------------------------
    QLabel *Panel_output_test = nullptr;
    QLabel *Label_version_info_copy = nullptr;  // "Version info:"
    QLabel *Label_Serial_number_copy = nullptr; // "Serial number:"
    QLabel *StaticText_version_info_copy = nullptr;
    QLabel *StaticText_Serial_number_copy = nullptr;
    QPushButton *Button_close = nullptr;
    QPushButton *Button_options = nullptr;
    QPushButton *Button_Change_User_Access_level = nullptr;
    QGroupBox *GroupBox_Settings = nullptr;
    QCheckBox *CheckBox_No_access_to_ECU = nullptr;
    QCheckBox *CheckBox_Display_dashboard_only = nullptr;
    QCheckBox *CheckBox_ECU_readonly = nullptr;
    QCheckBox *CheckBox_diagnostics_visible = nullptr;   // always hidden
    QCheckBox *CheckBox_diagnostics_resetable = nullptr; // always hidden
    QPushButton *Button_Send_to_ECU = nullptr;
    QPushButton *Button_Change_password = nullptr;
    QPushButton *Button4 = nullptr; // cancel of the settings box
    QGroupBox *GroupBox_Change_password = nullptr;
    QLabel *Label_Password = nullptr; // "Enter Password :" and the other prompts
    QLineEdit *MaskEdit_Password = nullptr;
    QPushButton *Button_Change_password_OK = nullptr;
    QPushButton *Button_Change_password_Cancel = nullptr;

public slots:
    // Toolbar and boxes
    void SpeedButton_openfileClick();
    void SpeedButton_savefileClick();
    void SpeedButton_optionsClick();
    void SpeedButton_correctiontableClick();
    void SpeedButton_up_down_loadClick();
    void Button2Click();
    void Button_closeClick();
    void Button_optionsClick();
    void Button_stay_offlineClick();
    void Button_cancel_Up_download_menuClick();
    void Button_clear_messageClick();
    // Panel_dashbord, its labels and panels, and the "Press F10 for online" labels.
    void Panel_dashbordClick();

    // Map grid events
    void AdvStringGrid_fuelClickCell(int row, int column);
    void AdvStringGrid_injection_boost_correctionClickCell(int row, int column);
    void AdvStringGrid_fuelMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void AdvStringGrid_injection_boost_correctionMouseUp(Qt::MouseButton button,
                                                         Qt::KeyboardModifiers modifiers);
    void AdvStringGrid_fuelKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void AdvStringGrid_injection_boost_correctionKeyUp(int key, Qt::KeyboardModifiers modifiers);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolbar();
    void buildDashboards();
    void buildFirstDashboard();
    void buildSecondDashboard();
    void buildWarningPanel();
    void buildPowerPanel();
    void buildMapGrids();
    void buildEditMenu();
    void buildTransferMenu();
    void buildProgressBox();
    void buildInfoPanel();
    void buildAccessBoxes();

    void MapCellClicked(int map, int row, int column);
    void MapMouseUp(int map);
    void MapKeyUp(int map, int key, Qt::KeyboardModifiers modifiers);
    void StopLink();
    void HideSecondaryWindows(bool chart, bool options, bool correction);
    // The offline half of SetOnline, run once the link has gone offline.
    void PaintOffline();
    // Which dashboard shows, and its value panels or its "Press F10 for online".
    void ShowDashboardFor(bool online);
    // Hears the link: the comm-error count and the way offline.
    void WireLink();

    // The value labels of both layouts and the three lamps EnableValueLabels greys.
    QList<QLabel *> valueLabels() const;
    QList<QWidget *> onlineOnlyWidgets() const; // shown only while online
    QList<QWidget *> dashboardClickTargets() const;

    AppContext &ctx_;
    EditJobs *editJobs_ = nullptr; // a child of this window
    bool firstShowDone_ = false;
    QList<QShortcut *> editMenuShortcuts_; // Enter / Escape of the edit menu, live while it is shown
    // The edit menu can be dragged aside by its frame so the cells under it stay in view.
    bool editMenuDragging_ = false;
    QPoint editMenuGrab_;
};
