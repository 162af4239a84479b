#pragma once
// The options window: every calibration setting that is not a map or table value lives in its controls.
// There is no separate option structure; the data-set codec, the files and the transfers read and write
// these controls directly. Every control is a public member with the same objectName.
//
// The window body holds the menu column and the sub-panels (group boxes) in one place; at most one of
// them is visible at a time. Sub-panels start hidden.
//
// Shared operations other code calls (all read the firmware version afresh from StaticText_version_info):
//   PackLoadModeFlags / UnpackLoadModeFlags / SetAirPressureMode      engine-load choices and input 2 use
//   PackInterpolationFlags / UnpackInterpolationFlags                 the four interpolation switches
//   ApplyRpmRangeToGrids                                              RPM rows -> row headers of both map
//   grids RebuildCorrectionHeaders / ShowCorrectionTableName / ShowCorrectionEnables
//   EnableThrottlePumpType1/2, ThrottlePumpTypeCode / SetThrottlePumpTypeCode,
//   ApplyThrottlePumpTypesForVersion SetAux1ChannelKind, SetAux1Mode0ChannelKind / SetAux1Mode1ChannelKind,
//   EnableAux1Mode0/1, Aux1ModeCode / SetAux1ModeCode ApplyFirstShowDefaults option defaults of the main
//   window's first showing
// The pure parts (flag packing, type codes, AUX kind table, header texts) are in OptionOperations.h.
// Operations that touch the main window or the correction window do nothing for a window that is absent
// from the AppContext, so this window also works on its own.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>
#include <array>
#include <functional>

#include "rules/OptionsSnapshot.h"
#include "windows/widgets/RoundToggleButton.h"

#include <memory>

struct AppContext;
class OptionsCalibrationPart;
class QGridLayout;
class QKeyEvent;
class QShowEvent;
class QVBoxLayout;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(AppContext &ctx, QWidget *parent = nullptr); // registers itself as ctx.form3
    ~TForm3() override;

    // The firmware version every feature gate compares against.
    QString currentVersion() const;

    // ---- shared operations -------------------------------------------------------------------------------
    int PackLoadModeFlags() const;
    void UnpackLoadModeFlags(int v);
    void SetAirPressureMode(bool on);
    bool airPressureChosen() const { return RadioButton_Engine_load_Air_pressure->isChecked(); }

    int PackInterpolationFlags() const;
    void UnpackInterpolationFlags(int v);

    void ApplyRpmRangeToGrids();

    void RebuildCorrectionHeaders();
    void ShowCorrectionTableName();
    void ShowCorrectionEnables();

    void EnableThrottlePumpType1(bool on);
    void EnableThrottlePumpType2(bool on);
    int ThrottlePumpTypeCode() const;
    // Sets both enable boxes and their enabling from a code 0..3; other codes leave them as they are.
    void SetThrottlePumpTypeCode(int code);
    // Type 1 only (always on) below "3FA"; both types with their own enable boxes from "3FA" on.
    void ApplyThrottlePumpTypesForVersion();

    // Range, step, decimals, value and unit of one AUX1 threshold field for a channel kind 0..5.
    // The mode-1 hysteresis fields are recognised by identity (they start at 0 instead of the minimum).
    void SetAux1ChannelKind(QSpinBox *field, QLabel *unit, int kind);
    void SetAux1ChannelKind(QDoubleSpinBox *field, QLabel *unit, int kind);
    // Selects the kind list entry of channel 1 or 2 and applies the kind to all fields of that channel.
    void SetAux1Mode0ChannelKind(int channel, int kind);
    void SetAux1Mode1ChannelKind(int channel, int kind);
    void EnableAux1Mode0(bool on);
    void EnableAux1Mode1(bool on);
    int Aux1ModeCode() const;
    void SetAux1ModeCode(int code); // inversion, mode choice and the matching enabling

    void ApplyFirstShowDefaults();

    // True when the list shows one of its own entries (the user has not typed into it).
    static bool HasSelectedEntry(const QComboBox *list);

    // ---- control events (the user's own actions; setting a control from code does not run them) ----------
    void RadioButton_Engine_load_MAPClick();
    void RadioButton_Engine_load_Air_pressureClick();
    void ComboBox_Engineloadsensor_Throttle_or_MapChange();
    // Kind lists: channel 1 or 2 of mode 0 or mode 1.
    void Aux1KindListChange(int mode, int channel);
    void Aux1KindListExit(int mode, int channel);
    void CheckBox_NTC_sensor_aktiefClick();
    // "-" makes a positive value negative, "+" (or "=") a negative one positive; true when the key was one.
    static bool SignKey(QDoubleSpinBox *field, int key, Qt::KeyboardModifiers modifiers);

    // Grouped views of the numbered controls (row/column/channel counting from 1).
    std::array<QSpinBox *, 25> rpmRangeRows() const;
    QDoubleSpinBox *startupTemperature(int column) const;              // kolom_1..4
    QDoubleSpinBox *crankTurnsPercent(int turnsRow, int column) const; // turnsRow 1..4 = 20, 40, 60, 80
    QDoubleSpinBox *crankTurnsCount(int turnsRow, int column) const;
    QDoubleSpinBox *startupPulse(int column) const; // _temp1.._temp4

    // ---- frame: showing, menu, snapshot, leaving ----------------------------------------------------------
    // The show event: position, snapshot, menu column, interpolation caption, focus.
    void OnShowOptions();
    void ShowMenuButtons(bool visible);
    void TakeOptionsSnapshot();
    void RestoreOptionsSnapshot();
    const OptionsSnapshot &optionsSnapshot() const { return snapshot_; }
    void Button_ok_Options_menuClick();
    void Button_Cancel_Options_menuClick();
    // F1: the manual, through the opener when one is given (tests), else the system viewer.
    void OpenHelp();
    std::function<bool(const QString &path)> manualOpener;
    // Ok while online: writes the calibration from its option words on, with this gauge maximum (set by
    // the program when it has a link).
    std::function<void(int gaugeMaximum)> writeOptions;

    // ---- sub-panels: open / Ok (with checks) / Cancel (restores only that group) --------------------------
    void Button_RPM_pickupClick();
    void Button_Cancel_RPM_pickupClick();
    void Button_RPM_RangeClick();
    void Button_RPM_Range_OkClick();
    void Button_Engine_load_sensorClick();
    void Button_Ok_Engine_load_sensorClick();
    void Button_Cancel_Engine_load_sensorClick();
    void Button_StartupClick();
    void Button_Ok_StartupClick();
    void Button_Second_stageClick();
    void Button_Ok_Second_stageClick();
    void Button_Cancel_Second_stageClick();
    void Button_Cancel_Second_stage_oudClick();
    void Button_interpolation_to_limitsClick();
    void Button_Cancel_interpolation_to_limitsClick();
    void Button_set_communicationportClick();
    void Button_Save_set_communicationportClick();
    void Button_Cancel_set_communicationportClick();
    // Probes the listed ports for an ECU and chooses the first that answers.
    void Button_detect_communicationportClick();

    // ---- automatic calibration of the engine-load sensors ------------------------------------------------
    void Button_automatic_calClick() { StartAutomaticCalibration(1); }
    void Button_automatic_cal2Click() { StartAutomaticCalibration(2); }
    void StartAutomaticCalibration(int sensor);
    void Button_Ok_set_engineloadsensor_to_minmaxClick();
    void Button_cancel_set_engineloadsensor_to_minmaxClick();
    QColor calibrationPromptColor() const;
    // The link's verdict on the two readings (accepted readings, and the prompt hidden after each verdict).
    void AcceptCalibration(int sensor, int minimum, int maximum);
    void HideCalibrationPrompt();

    // ---- header ------------------------------------------------------------------------------------------
    QLabel *Label9 = nullptr;
    QLabel *StaticText_version_info = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *StaticText_Serial_number = nullptr;

    // ---- menu column -------------------------------------------------------------------------------------
    QWidget *menuColumn = nullptr;
    QPushButton *Button_RPM_pickup = nullptr;
    QPushButton *Button_Engine_load_sensor = nullptr;
    QPushButton *Button_Throttle_pump_effect = nullptr;
    QPushButton *Button_Startup = nullptr;
    QPushButton *Button_Second_stage = nullptr;
    QPushButton *Button_interpolation_to_limits = nullptr;
    QPushButton *Button_RPM_limiters_and_powershift = nullptr;
    QPushButton *Button_Correction_table = nullptr;
    QPushButton *Button_remarks = nullptr;
    QPushButton *Button_set_communicationport = nullptr;
    QPushButton *Button_ok_Options_menu = nullptr;
    QPushButton *Button_Cancel_Options_menu = nullptr;

    // ---- RPM pickup --------------------------------------------------------------------------------------
    QGroupBox *GroupBox_RPM_pickup = nullptr;
    QLabel *Label_number_of_cylinders = nullptr;
    QComboBox *ComboBox_number_of_cylinders = nullptr;
    QRadioButton *RadioButton_RPM_pickup_from_coil = nullptr;
    QLabel *Label_RPM_pickup_from_coil = nullptr;
    QLabel *Label_coil_input_voltage = nullptr;
    QComboBox *ComboBox_coil_input_voltage = nullptr;
    QRadioButton *RadioButton_RPM_pickup_from_Hallsensor = nullptr;
    QLabel *Label_RPM_pickup_from_Hallsensor = nullptr;
    QLabel *Label_inj_stroke_mode1 = nullptr; // "Injection in "
    QComboBox *ComboBox_inj_stroke_mode = nullptr;
    QLabel *Label_inj_stroke_mode2 = nullptr; // "-stroke mode"
    QPushButton *Button_RPM_Range = nullptr;
    QPushButton *Button_Ok_RPM_pickup = nullptr;
    QPushButton *Button_Cancel_RPM_pickup = nullptr;

    QGroupBox *GroupBox_RPM_Range = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row1 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row2 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row3 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row4 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row5 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row6 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row7 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row8 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row9 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row10 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row11 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row12 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row13 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row14 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row15 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row16 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row17 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row18 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row19 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row20 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row21 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row22 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row23 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row24 = nullptr;
    QSpinBox *SpinEdit_RPM_Range_Row25 = nullptr;
    QPushButton *Button_RPM_Range_Ok = nullptr;

    // ---- Engine-load sensor ------------------------------------------------------------------------------
    QGroupBox *GroupBox_engine_load_sensor = nullptr;
    QComboBox *ComboBox_Engine_load_sensor_type = nullptr; // below "3FA"
    QLabel *Label_main_load_is = nullptr;
    QComboBox *ComboBox_Engineloadsensor_Throttle_or_Map = nullptr; // "3FA" and later
    QGroupBox *GroupBox_Engineload = nullptr;
    QLabel *Label_Respons_type = nullptr;
    QComboBox *ImagePicker_Respons_type = nullptr;
    QLabel *Label_min_engineload = nullptr;
    QSpinBox *SpinEdit_min_engineload = nullptr;
    QLabel *Label_max_engineload = nullptr;
    QSpinBox *SpinEdit_max_engineload = nullptr;
    QPushButton *Button_automatic_cal = nullptr;
    QGroupBox *GroupBox_Engineload2 = nullptr;
    QLabel *Label_min_engineload2 = nullptr;
    QSpinBox *SpinEdit_min_engineload2 = nullptr;
    QLabel *Label_max_engineload2 = nullptr;
    QSpinBox *SpinEdit_max_engineload2 = nullptr;
    QPushButton *Button_automatic_cal2 = nullptr;
    QRadioButton *RadioButton_Engine_load_MAP = nullptr;
    QRadioButton *RadioButton_Engine_load_Air_pressure = nullptr;
    QGroupBox *GroupBox_Pressure_at_MAP_output = nullptr;
    QLabel *Label_Pressure_at_MAP_output_125V = nullptr;
    QSpinBox *SpinEdit_Pressure_at_MAP_output_125V = nullptr;
    QLabel *Label_Pressure_at_MAP_output_125V_eenheid = nullptr;
    QLabel *Label_Pressure_at_MAP_output_375V = nullptr;
    QSpinBox *SpinEdit_Pressure_at_MAP_output_375V = nullptr;
    QLabel *Label_Pressure_at_MAP_output_375V_eenheid = nullptr;
    QGroupBox *GroupBox_Air_pressure_sensor = nullptr;
    QLabel *Label_Air_pressure_sensor_adjustment = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Air_pressure_sensor_adjustment = nullptr;
    QLabel *Label_Air_pressure_sensor_adjustment_eenheid = nullptr;
    QGroupBox *GroupBox_Boost_correction_factor = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Boost_correction_factor = nullptr;
    QLabel *Label_Boost_correction_factor_note = nullptr;
    QGroupBox *GroupBox_set_engineloadsensor_to_minmax = nullptr; // calibration prompt
    QLabel *Label_regel1_set_engineloadsensor_to_minmax = nullptr;
    QLabel *Label_regel2_set_engineloadsensor_to_minmax = nullptr;
    QPushButton *Button_Ok_set_engineloadsensor_to_minmax = nullptr;
    QPushButton *Button_cancel_set_engineloadsensor_to_minmax = nullptr;
    QPushButton *Button_Ok_Engine_load_sensor = nullptr;
    QPushButton *Button_Cancel_Engine_load_sensor = nullptr;

    // ---- Throttle pump effect ----------------------------------------------------------------------------
    QGroupBox *GroupBox_Throttle_pump_effect = nullptr;
    QGroupBox *GroupBox_type1 = nullptr;
    QCheckBox *CheckBox_enable_type1 = nullptr;
    QLabel *Label_acceleration_amount = nullptr; // "Acceleration amount in % :"
    QLabel *Label_sustain = nullptr;             // "Sustain in crank rotations :"
    QLabel *Label_rpm_0_2000 = nullptr;
    QLabel *Label_rpm_2000_4000 = nullptr;
    QLabel *Label_rpm_4000plus = nullptr;
    QLabel *Label_type1_rpm = nullptr; // "RPM"
    QSpinBox *SpinEdit_Throttle_pump_effect_amount_0_2000 = nullptr;
    QSpinBox *SpinEdit_Throttle_pump_effect_amount_2000_4000 = nullptr;
    QSpinBox *SpinEdit_Throttle_pump_effect_amount_4000plus = nullptr;
    QSpinBox *SpinEdit_Throttle_pump_effect_sustain_0_2000 = nullptr;
    QSpinBox *SpinEdit_Throttle_pump_effect_sustain_2000_4000 = nullptr;
    QSpinBox *SpinEdit_Throttle_pump_effect_sustain_4000plus = nullptr;
    QGroupBox *GroupBox_type2 = nullptr;
    QCheckBox *CheckBox_enable_type2 = nullptr;
    QGroupBox *GroupBox3 = nullptr; // "Additional enrichment"
    QLabel *Label_acc_sensitivity = nullptr;
    QSpinBox *SpinEdit_acc_sensitivity = nullptr;
    QLabel *Label_acc_amplifier = nullptr;
    QSpinBox *SpinEdit_acc_amplifier = nullptr;
    QLabel *Label_acc_crank_rotations = nullptr;
    QSpinBox *SpinEdit_acc_crank_rotations = nullptr;
    QLabel *Label_acc_watertemp = nullptr; // "watertemp up to:"
    QLabel *Label_acc_20 = nullptr;
    QLabel *Label_acc_30 = nullptr;
    QLabel *Label_acc_40 = nullptr;
    QLabel *Label_acc_50 = nullptr;
    QLabel *Label_acc_60 = nullptr;
    QSpinBox *SpinEdit_acc_20 = nullptr;
    QSpinBox *SpinEdit_acc_30 = nullptr;
    QSpinBox *SpinEdit_acc_40 = nullptr;
    QSpinBox *SpinEdit_acc_50 = nullptr;
    QSpinBox *SpinEdit_acc_60 = nullptr;
    QLabel *Label_acc_percent = nullptr; // "%"
    QGroupBox *GroupBox_initial_burst = nullptr;
    QLabel *Label_initial_burst_sensitivity = nullptr;
    QSpinBox *SpinEdit_initial_burst_sensitivity = nullptr;
    QLabel *Label_initial_burst_amplifier = nullptr;
    QSpinBox *SpinEdit_initial_burst_amplifier = nullptr;
    QPushButton *Button_Ok_Throttle_pump_effect = nullptr;
    QPushButton *Button_Cancel_Throttle_pump_effect = nullptr;

    // ---- Correction-table (below "3FA") ------------------------------------------------------------------
    QGroupBox *GroupBox_Correction_table = nullptr;
    QLineEdit *Edit_correction_table_name = nullptr;
    QLineEdit *Edit_Correction_table_eenheid = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Max_Correction_table = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Min_Correction_table = nullptr;
    QCheckBox *CheckBox_NTC_sensor_aktief = nullptr;
    QGroupBox *GroupBox_extra_corrections = nullptr;
    QCheckBox *CheckBox_inlet_temp_correction_on_off = nullptr;
    QCheckBox *CheckBox_Battery_correction_on_off = nullptr;
    QPushButton *Button_Ok_Correction_table = nullptr;
    QPushButton *Button_Cancel_Correction_table = nullptr;

    // ---- Startup -----------------------------------------------------------------------------------------
    QGroupBox *GroupBox_Startup = nullptr;
    QDoubleSpinBox *AdvSpinEdit_startup_injection_puls = nullptr;
    QGroupBox *GroupBox_startup_enrichment = nullptr;
    QDoubleSpinBox *AdvSpinEditStartup_enrichment_correction_table_kolom_1 = nullptr;
    QDoubleSpinBox *AdvSpinEditStartup_enrichment_correction_table_kolom_2 = nullptr;
    QDoubleSpinBox *AdvSpinEditStartup_enrichment_correction_table_kolom_3 = nullptr;
    QDoubleSpinBox *AdvSpinEditStartup_enrichment_correction_table_kolom_4 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_1 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_2 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_3 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_4 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_1 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_2 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_3 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_4 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_1 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_2 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_3 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_4 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_1 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_2 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_3 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_4 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_1_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_2_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_3_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_20_kolom_4_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_1_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_2_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_3_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_40_kolom_4_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_1_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_2_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_3_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_60_kolom_4_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_1_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_2_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_3_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Crank_turns_80_kolom_4_nr = nullptr;
    QDoubleSpinBox *AdvSpinEdit_startup_injection_puls_temp1 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_startup_injection_puls_temp2 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_startup_injection_puls_temp3 = nullptr;
    QDoubleSpinBox *AdvSpinEdit_startup_injection_puls_temp4 = nullptr;
    QPushButton *Button_Ok_Startup = nullptr;
    QPushButton *Button_Cancel_Startup = nullptr;

    // ---- Second stage (below "3FA") ----------------------------------------------------------------------
    QGroupBox *GroupBox_Second_stage_oud = nullptr;
    QSpinBox *SpinEdit_second_stage_rpm_oud = nullptr;
    QSpinBox *SpinEdit_second_stage_engineload_oud = nullptr;
    QPushButton *Button_Ok_Second_stage_oud = nullptr;
    QPushButton *Button_Cancel_Second_stage_oud = nullptr;

    // ---- AUX1 ("3FA" and later) --------------------------------------------------------------------------
    QGroupBox *GroupBox_Second_stage = nullptr;
    QRadioButton *RadioButton_mode0_AUX1 = nullptr;
    QRadioButton *RadioButton_mode1_AUX1 = nullptr;
    QCheckBox *CheckBox_AUX1_output_inverted = nullptr;
    QGroupBox *GroupBox_AUX1_mode0 = nullptr;
    QLabel *Label_mode0_activate_at = nullptr;
    QLabel *Label_mode0_plus = nullptr;
    QLabel *Label_mode0_on_at = nullptr;
    QLabel *Label_mode0_off_at = nullptr;
    QComboBox *ComboBox_AUX1_Channel1_type = nullptr;
    QSpinBox *SpinEdit_second_stage_rpm = nullptr; // channel 1 "on at >"
    QLabel *Label_second_stage_2 = nullptr;
    QSpinBox *SpinEdit_AUX1_Channel1_off = nullptr;
    QLabel *Label_AUX1_Channel1_off_eenheid = nullptr;
    QComboBox *ComboBox_AUX1_Channel2_type = nullptr;
    QSpinBox *SpinEdit_second_stage_engineload = nullptr; // channel 2 "on at >"
    QLabel *Label_second_stage_4 = nullptr;
    QSpinBox *SpinEdit_AUX1_Channel2_off = nullptr;
    QLabel *Label_AUX1_Channel2_off_eenheid = nullptr;
    QGroupBox *GroupBox_AUX1_mode1 = nullptr;
    QLabel *Label_mode1_activate_at = nullptr;
    QLabel *Label_mode1_plus = nullptr;
    QLabel *Label_mode1_on_at = nullptr;
    QLabel *Label_mode1_off_at = nullptr;
    QLabel *Label_mode1_hyst = nullptr;
    QComboBox *ComboBox_mode1_AUX1_Channel1_type = nullptr;
    QDoubleSpinBox *AdvSpinEdit_mode1_AUX1_Channel1_on = nullptr;
    QLabel *Label_mode1_AUX1_Channel1_on_eenheid = nullptr;
    QDoubleSpinBox *AdvSpinEdit_mode1_AUX1_Channel1_off = nullptr;
    QLabel *Label_mode1_AUX1_Channel1_off_eenheid = nullptr;
    QDoubleSpinBox *AdvSpinEdit_mode1_AUX1_hyst_channel1 = nullptr;
    QLabel *Label_mode1_AUX1_hyst_channel1_eenheid = nullptr;
    QComboBox *ComboBox_mode1_AUX1_Channel2_type = nullptr;
    QDoubleSpinBox *AdvSpinEdit_mode1_AUX1_Channel2_on = nullptr;
    QLabel *Label_mode1_AUX1_Channel2_on_eenheid = nullptr;
    QDoubleSpinBox *AdvSpinEdit_mode1_AUX1_Channel2_off = nullptr;
    QLabel *Label_mode1_AUX1_Channel2_off_eenheid = nullptr;
    QDoubleSpinBox *AdvSpinEdit_mode1_AUX1_hyst_channel2 = nullptr;
    QLabel *Label_mode1_AUX1_hyst_channel2_eenheid = nullptr;
    QPushButton *Button_Ok_Second_stage = nullptr;
    QPushButton *Button_Cancel_Second_stage = nullptr;

    // ---- RPM Limiter -------------------------------------------------------------------------------------
    QGroupBox *GroupBox_RPM_limiter_and_powershift = nullptr;
    QGroupBox *GroupBox_standard_limiters = nullptr;
    QSpinBox *SpinEdit_soft_limit = nullptr;
    QPushButton *Button_Ok_RPM_limiter = nullptr;
    QPushButton *Button_Cancel_RPM_limiter = nullptr;

    // ---- Interpolation to limits and overrun fuel cut ----------------------------------------------------
    QGroupBox *GroupBox_interpolation_to_limits = nullptr;
    QLabel *Panel_midden = nullptr;
    QLabel *Panel_boven = nullptr;
    QLabel *Panel_onder = nullptr;
    QLabel *Panel_rechts = nullptr;
    QLabel *Panel_links = nullptr;
    RoundToggleButton *IBEAntialiasButton_interpolation_onder_aan_uit = nullptr;  // bit 0, lower RPM
    RoundToggleButton *IBEAntialiasButton_interpolation_rechts_aan_uit = nullptr; // bit 1, higher load
    RoundToggleButton *IBEAntialiasButton_interpolation_boven_aan_uit = nullptr;  // bit 2, higher RPM
    RoundToggleButton *IBEAntialiasButton_interpolation_links_aan_uit = nullptr;  // bit 3, lower load
    QGroupBox *GroupBox_Overrun_fuel_cut = nullptr;
    QSpinBox *SpinEdit_Overrun_fuel_cut_rpm = nullptr;
    QDoubleSpinBox *AdvSpinEdit_Overrun_fuel_cut_tps = nullptr;
    QPushButton *Button_Ok_interpolation_to_limits = nullptr;
    QPushButton *Button_Cancel_interpolation_to_limits = nullptr;

    // ---- Remarks -----------------------------------------------------------------------------------------
    QGroupBox *GroupBox_Remarks = nullptr;
    QLineEdit *Edit_remarks_line1 = nullptr;
    QLineEdit *Edit_remarks_line2 = nullptr;
    QLineEdit *Edit_remarks_line3 = nullptr;
    QPushButton *Button_Ok_remarks = nullptr;
    QPushButton *Button_Cancel_remarks = nullptr;

    // ---- Communication port ------------------------------------------------------------------------------
    QGroupBox *GroupBox_set_communicationport = nullptr;
    QComboBox *ComComboBox_set_communicationport = nullptr;
    QPushButton *Button_Save_set_communicationport = nullptr;
    QPushButton *Button_Cancel_set_communicationport = nullptr;
    QPushButton *Button_detect_communicationport = nullptr;

    // Every sub-panel group box, in menu order (the calibration prompt and RPM range are nested, not listed).
    QList<QGroupBox *> subPanels() const;

protected:
    AppContext &ctx_;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Enter that no control used presses the default button "&Ok" while it is shown.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void connectControlEvents();
    void connectFrameEvents();
    void connectPlainSubPanels();
    void openSubPanel(QGroupBox *panel, QPushButton *cancel);
    void closeSubPanel(QGroupBox *panel);
    void restoreRpmGroup();
    void restoreEngineLoadGroup(bool fromWindowCancel);
    void restoreThrottlePumpGroup();
    void restoreCorrectionTableGroup();
    void restoreStartupGroup();
    void restoreAux1Group();
    void restoreSecondStageOldGroup();
    void restoreRpmLimiterGroup();
    void restoreInterpolationGroup();
    void restoreRemarksGroup();
    void setCalibrationPrompt(int sensor, bool maximumStep);

    OptionsSnapshot snapshot_;
    std::unique_ptr<OptionsCalibrationPart> calibrationPart_;
    QComboBox *aux1KindList(int mode, int channel) const;
    void buildHeader(QGridLayout *top);
    void buildMenuColumn();
    void buildRpmGroup();
    void buildEngineLoadGroup();
    void buildThrottlePumpGroup();
    void buildCorrectionTableGroup();
    void buildStartupGroup();
    void buildAuxGroups();
    void buildRpmLimiterGroup();
    void buildInterpolationGroup();
    void buildRemarksGroup();
    void buildCommunicationPortGroup();

    QGridLayout *body_ = nullptr; // menu column and all sub-panels share cell (0, 0)
};
