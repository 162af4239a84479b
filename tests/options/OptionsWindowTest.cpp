// The options window's controls (names, lists, ranges, defaults, layout) and the operations other parts of
// the program call on it, alone and together with the main and correction-table windows.
#include "windows/options/OptionsWindow.h"
#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QTest>

namespace {
const QString Degrees = QString::fromUtf8("\xC2\xB0"
                                          "C");

QStringList items(const QComboBox *list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

QColor captionColor(const QGroupBox *box) {
    return box->property("captionColor").value<QColor>();
}

// Shows the window with one sub-panel open, laid out and ready for clicks.
void showPanel(TForm3 *w, QGroupBox *panel) {
    w->show();
    w->menuColumn->hide();
    for (QGroupBox *p : w->subPanels())
        p->setVisible(p == panel);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QApplication::processEvents();
}

// Clicks the indicator of a check box or radio button (the blank space beside its text does not count).
void clickIndicator(QAbstractButton *b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}
} // namespace

class OptionsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window_starts_in_the_menu_with_every_sub_panel_hidden();
    void every_control_is_found_by_its_name();
    void lists_hold_their_exact_entries();
    void fields_start_at_their_defaults();
    void fields_clamp_to_their_ranges();
    void no_control_is_clipped_in_any_sub_panel();
    void load_mode_flags_follow_the_version_caption_read_afresh();
    void unpacking_load_mode_flags_sets_lists_and_correction_boxes();
    void air_pressure_mode_swaps_the_input_2_controls_and_the_dashboard_caption();
    void interpolation_switches_toggle_by_click_and_unpack_from_flags();
    void throttle_pump_boxes_drive_enabling_and_type_code();
    void older_firmware_offers_only_throttle_pump_type_1();
    void aux1_kind_sets_range_value_and_unit_of_each_channel_field();
    void aux1_mode_code_chooses_mode_inversion_and_greying();
    void rpm_range_labels_both_map_grids();
    void older_firmware_resets_the_rpm_rows_before_labelling();
    void correction_headers_and_dashboard_labels_follow_the_correction_table_settings();
    void first_show_defaults_reset_lists_aux_fields_and_fix_the_correction_table();
    void first_show_defaults_leave_the_correction_table_alone_on_older_firmware();
    void air_pressure_is_refused_below_3FA1AB_with_a_warning();
    void main_load_list_warns_when_typed_into_and_enables_the_factor_for_item_3();
    void kind_list_change_resets_the_channel_unless_boost_meets_air_pressure();
    void kind_list_typed_into_warns_on_change_and_on_leaving();
    void ntc_switch_fixes_range_and_unit_only_when_the_user_checks_it();
    void sign_keys_flip_the_correction_table_range();
    void com_ini_write_error_is_a_plain_message();

private:
    // The other windows are made once, when a test first needs them, and live as long as the program
    // (as they do in the program itself); each test gets a fresh options window.
    TForm1 *mainWindow();
    TForm2 *correctionWindow();

    AppContext *ctx = nullptr;
    Dialogs *dialogs = nullptr;
    TForm3 *w = nullptr;
};

void OptionsWindowTest::initTestCase() {
    ctx = new AppContext;
    dialogs = new Dialogs;
    ctx->dialogs = dialogs;
}

TForm1 *OptionsWindowTest::mainWindow() {
    if (!ctx->form1)
        new TForm1(*ctx);
    return ctx->form1;
}

TForm2 *OptionsWindowTest::correctionWindow() {
    if (!ctx->form2)
        ctx->form2 = new TForm2(*ctx);
    return ctx->form2;
}

void OptionsWindowTest::init() {
    dialogs->clearShown();
    w = new TForm3(*ctx);
}

void OptionsWindowTest::cleanup() {
    delete w;
    QCOMPARE(ctx->form3, nullptr);
}

void OptionsWindowTest::window_starts_in_the_menu_with_every_sub_panel_hidden() {
    QCOMPARE(ctx->form3, w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Options"));
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(w->StaticText_version_info->text(), QStringLiteral("3FA1AD1AA"));
    QCOMPARE(w->StaticText_Serial_number->text(), QStringLiteral("000000"));
    QCOMPARE(w->currentVersion(), QStringLiteral("3FA1AD1AA"));
    w->StaticText_version_info->setText(QStringLiteral("2FA1AA1AA"));
    QCOMPARE(w->currentVersion(), QStringLiteral("2FA1AA1AA"));
    // Showing lays the menu out for the firmware; back to the design-time version for the checks below.
    w->StaticText_version_info->setText(QStringLiteral("3FA1AD1AA"));

    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(w->menuColumn->isVisible());
    for (QGroupBox *panel : w->subPanels())
        QVERIFY2(!panel->isVisible(), qPrintable(panel->objectName()));
    for (QWidget *hidden :
         std::initializer_list<QWidget *>{w->GroupBox_RPM_Range, w->GroupBox_Air_pressure_sensor,
                                          w->GroupBox_set_engineloadsensor_to_minmax})
        QVERIFY(hidden->isHidden());
    // Design-time firmware is "3FA" and later: no correction-table button, an RPM limiter instead.
    QVERIFY(!w->Button_Correction_table->isVisible());
    QVERIFY(w->Button_RPM_limiters_and_powershift->isVisible());
    QVERIFY(w->Button_ok_Options_menu->isDefault());
    QCOMPARE(w->Button_Second_stage->text(), QStringLiteral("AUX 1"));
    QCOMPARE(w->Button_set_communicationport->text(), QStringLiteral("Communicationport"));
}

void OptionsWindowTest::every_control_is_found_by_its_name() {
    const char *names[] = {"Label9",
                           "StaticText_version_info",
                           "Label1",
                           "StaticText_Serial_number",
                           "Button_RPM_pickup",
                           "Button_Engine_load_sensor",
                           "Button_Throttle_pump_effect",
                           "Button_Correction_table",
                           "Button_Startup",
                           "Button_Second_stage",
                           "Button_RPM_limiters_and_powershift",
                           "Button_interpolation_to_limits",
                           "Button_remarks",
                           "Button_set_communicationport",
                           "Button_ok_Options_menu",
                           "Button_Cancel_Options_menu",
                           "ComboBox_number_of_cylinders",
                           "RadioButton_RPM_pickup_from_coil",
                           "ComboBox_coil_input_voltage",
                           "RadioButton_RPM_pickup_from_Hallsensor",
                           "ComboBox_inj_stroke_mode",
                           "Button_RPM_Range",
                           "SpinEdit_RPM_Range_Row17",
                           "SpinEdit_RPM_Range_Row25",
                           "Button_RPM_Range_Ok",
                           "ComboBox_Engine_load_sensor_type",
                           "ComboBox_Engineloadsensor_Throttle_or_Map",
                           "ImagePicker_Respons_type",
                           "SpinEdit_min_engineload2",
                           "RadioButton_Engine_load_Air_pressure",
                           "SpinEdit_Pressure_at_MAP_output_375V",
                           "AdvSpinEdit_Air_pressure_sensor_adjustment",
                           "AdvSpinEdit_Boost_correction_factor",
                           "Button_cancel_set_engineloadsensor_to_minmax",
                           "SpinEdit_Throttle_pump_effect_sustain_4000plus",
                           "SpinEdit_acc_60",
                           "SpinEdit_initial_burst_amplifier",
                           "Edit_Correction_table_eenheid",
                           "CheckBox_NTC_sensor_aktief",
                           "CheckBox_Battery_correction_on_off",
                           "AdvSpinEditStartup_enrichment_correction_table_kolom_4",
                           "AdvSpinEdit_Crank_turns_80_kolom_4",
                           "AdvSpinEdit_Crank_turns_60_kolom_3_nr",
                           "AdvSpinEdit_startup_injection_puls_temp4",
                           "SpinEdit_second_stage_rpm_oud",
                           "CheckBox_AUX1_output_inverted",
                           "SpinEdit_second_stage_engineload",
                           "Label_AUX1_Channel2_off_eenheid",
                           "AdvSpinEdit_mode1_AUX1_hyst_channel2",
                           "Label_mode1_AUX1_hyst_channel2_eenheid",
                           "SpinEdit_soft_limit",
                           "IBEAntialiasButton_interpolation_links_aan_uit",
                           "Panel_midden",
                           "SpinEdit_Overrun_fuel_cut_rpm",
                           "AdvSpinEdit_Overrun_fuel_cut_tps",
                           "Edit_remarks_line3",
                           "ComComboBox_set_communicationport",
                           "Button_Save_set_communicationport"};
    for (const char *name : names)
        QVERIFY2(w->findChild<QWidget *>(QString::fromLatin1(name)), name);
    // Members and object names agree, and each has the class its name promises.
    QCOMPARE(w->findChild<QSpinBox *>(QStringLiteral("SpinEdit_RPM_Range_Row13")),
             w->SpinEdit_RPM_Range_Row13);
    QCOMPARE(w->findChild<QDoubleSpinBox *>(QStringLiteral("AdvSpinEdit_Crank_turns_40_kolom_2")),
             w->crankTurnsPercent(2, 2));
    QCOMPARE(w->findChild<QDoubleSpinBox *>(QStringLiteral("AdvSpinEdit_Crank_turns_40_kolom_2_nr")),
             w->crankTurnsCount(2, 2));
    QCOMPARE(w->findChild<QDoubleSpinBox *>(
                 QStringLiteral("AdvSpinEditStartup_enrichment_correction_table_kolom_3")),
             w->startupTemperature(3));
    QCOMPARE(w->findChild<QDoubleSpinBox *>(QStringLiteral("AdvSpinEdit_startup_injection_puls_temp1")),
             w->startupPulse(1));
    QCOMPARE(
        w->findChild<RoundToggleButton *>(QStringLiteral("IBEAntialiasButton_interpolation_onder_aan_uit")),
        w->IBEAntialiasButton_interpolation_onder_aan_uit);
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Label_RPM_Range_Row17"))->text(),
             QStringLiteral("Row 17:"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Label_RPM_Range_Row3"))->text(),
             QStringLiteral("Row  3 :"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Label_RPM_Range_Row18"))->text(),
             QStringLiteral("Row 18 :"));
    QVERIFY(w->Panel_midden->autoFillBackground());
    QCOMPARE(w->Panel_midden->text(), QStringLiteral("2,57"));
    QCOMPARE(w->Label_min_engineload2->text(), QStringLiteral("Min.  value Engine load 2:"));
    QCOMPARE(w->SpinEdit_Pressure_at_MAP_output_125V->toolTip(), QStringLiteral("0 - 9999 kpa"));
    QCOMPARE(w->IBEAntialiasButton_interpolation_rechts_aan_uit->toolTip(),
             QStringLiteral("Interpolation to higher Engine-load limit"));
    QCOMPARE(w->crankTurnsPercent(5, 1), nullptr);
}

void OptionsWindowTest::lists_hold_their_exact_entries() {
    QCOMPARE(items(w->ComboBox_number_of_cylinders),
             QStringList({"0,5", "1,0", "1,5", "2,0", "2,5", "3,0", "4,0", "5,0"}));
    QCOMPARE(items(w->ComboBox_coil_input_voltage), QStringList({"low", "medium", "high"}));
    QCOMPARE(items(w->ComboBox_inj_stroke_mode), QStringList({"2", "4", "1"}));
    QCOMPARE(items(w->ComboBox_Engine_load_sensor_type),
             QStringList({"Throttle position sensor", "Internal pressure sensor (Turbo)"}));
    QCOMPARE(items(w->ComboBox_Engineloadsensor_Throttle_or_Map),
             QStringList({"Engine load 1 (Throttle Position Sensor)", "Engine load 2 (MAP)",
                          "Engine load 1 (TPS) + Engine Load 2 as Boost correction table",
                          "Engine load 1 (TPS) + Engine Load 2 as Boost correction factor"}));
    QCOMPARE(items(w->ImagePicker_Respons_type), QStringList({"Lineaire", "Logaritmic", "E-log"}));
    QVERIFY(!w->ImagePicker_Respons_type->itemIcon(2).isNull());
    const QStringList kinds{"None", "Enginespeed", "TPS", "Boost pressure", "Water-temp.", "Air-temp."};
    for (QComboBox *list : {w->ComboBox_AUX1_Channel1_type, w->ComboBox_AUX1_Channel2_type,
                            w->ComboBox_mode1_AUX1_Channel1_type, w->ComboBox_mode1_AUX1_Channel2_type}) {
        QCOMPARE(items(list), kinds);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(list->maxVisibleItems(), 11);
        // The user can type into a kind list; the window then reports it has no selected entry.
        QVERIFY(list->isEditable());
        QVERIFY(TForm3::HasSelectedEntry(list));
        list->setEditText(QStringLiteral("Enginesp"));
        QVERIFY(!TForm3::HasSelectedEntry(list));
    }
    QCOMPARE(w->ComComboBox_set_communicationport->itemText(0), QStringLiteral("COM1"));
}

void OptionsWindowTest::fields_start_at_their_defaults() {
    const auto rows = w->rpmRangeRows();
    for (int k = 1; k <= 25; ++k)
        QCOMPARE(rows[k - 1]->value(), 500 * k);
    QVERIFY(w->RadioButton_RPM_pickup_from_coil->isChecked());
    QVERIFY(w->RadioButton_Engine_load_MAP->isChecked());
    QCOMPARE(w->SpinEdit_max_engineload->value(), 255);
    QCOMPARE(w->SpinEdit_max_engineload2->value(), 255);
    QCOMPARE(w->AdvSpinEdit_Boost_correction_factor->value(), 1.00);
    QCOMPARE(w->AdvSpinEdit_Boost_correction_factor->decimals(), 2);
    QVERIFY(!w->CheckBox_enable_type1->isChecked());
    QVERIFY(w->CheckBox_enable_type2->isChecked());
    QCOMPARE(w->SpinEdit_acc_sensitivity->value(), 10);
    QCOMPARE(w->SpinEdit_initial_burst_sensitivity->value(), 10);
    QCOMPARE(w->Edit_correction_table_name->text(), QStringLiteral("Water-temp"));
    QCOMPARE(w->Edit_Correction_table_eenheid->text(), Degrees);
    QCOMPARE(w->AdvSpinEdit_Max_Correction_table->value(), 100.0);
    QVERIFY(!w->CheckBox_NTC_sensor_aktief->isChecked());
    for (int column = 1; column <= 4; ++column) {
        for (int row = 1; row <= 4; ++row) {
            QCOMPARE(w->crankTurnsCount(row, column)->value(), 20.0 * row);
            QCOMPARE(w->crankTurnsPercent(row, column)->value(), row == 1 && column == 1 ? 100.0 : 0.0);
        }
    }
    QCOMPARE(w->SpinEdit_second_stage_rpm_oud->value(), 13000);
    QCOMPARE(w->SpinEdit_soft_limit->value(), 12500);
    QVERIFY(w->RadioButton_mode0_AUX1->isChecked());
    QCOMPARE(w->SpinEdit_Overrun_fuel_cut_rpm->value(), 500);
    for (QLineEdit *line : {w->Edit_remarks_line1, w->Edit_remarks_line2, w->Edit_remarks_line3}) {
        QCOMPARE(line->text(), QStringLiteral("................................"));
        QCOMPARE(line->maxLength(), 32);
    }
    for (RoundToggleButton *b : {w->IBEAntialiasButton_interpolation_onder_aan_uit,
                                 w->IBEAntialiasButton_interpolation_rechts_aan_uit,
                                 w->IBEAntialiasButton_interpolation_boven_aan_uit,
                                 w->IBEAntialiasButton_interpolation_links_aan_uit}) {
        QCOMPARE(b->text(), QStringLiteral("OFF"));
        QCOMPARE(b->restingColor(), QColor(255, 0, 0));
    }
}

void OptionsWindowTest::fields_clamp_to_their_ranges() {
    // The overrun engine speed shares a word with the TPS limit: speed / 50 must fit one byte.
    w->SpinEdit_Overrun_fuel_cut_rpm->setValue(20000);
    QCOMPARE(w->SpinEdit_Overrun_fuel_cut_rpm->value(), 12750);
    w->SpinEdit_Overrun_fuel_cut_rpm->setValue(100);
    QCOMPARE(w->SpinEdit_Overrun_fuel_cut_rpm->value(), 500);

    const struct {
        QSpinBox *field;
        int typed, held;
    } whole[] = {{w->SpinEdit_RPM_Range_Row1, 100, 500},
                 {w->SpinEdit_RPM_Range_Row25, 25000, 20000},
                 {w->SpinEdit_soft_limit, 1000, 2000},
                 {w->SpinEdit_soft_limit, 30000, 20000},
                 {w->SpinEdit_Throttle_pump_effect_sustain_0_2000, 150, 100},
                 {w->SpinEdit_Throttle_pump_effect_amount_0_2000, 250, 200},
                 {w->SpinEdit_acc_sensitivity, 5, 10},
                 {w->SpinEdit_acc_amplifier, 30, 25},
                 {w->SpinEdit_min_engineload, 300, 255},
                 {w->SpinEdit_Pressure_at_MAP_output_125V, 12000, 9999},
                 {w->SpinEdit_second_stage_rpm_oud, 500, 1000},
                 {w->SpinEdit_second_stage_engineload_oud, 16, 15}};
    for (const auto &c : whole) {
        c.field->setValue(c.typed);
        QVERIFY2(c.field->value() == c.held, qPrintable(c.field->objectName()));
    }
    const struct {
        QDoubleSpinBox *field;
        double typed, held;
    } decimal[] = {{w->AdvSpinEdit_Overrun_fuel_cut_tps, 16.5, 15.8},
                   {w->AdvSpinEdit_Air_pressure_sensor_adjustment, -25, -20},
                   {w->AdvSpinEdit_Boost_correction_factor, 2.5, 1.99},
                   {w->AdvSpinEdit_startup_injection_puls, 50, 40.47},
                   {w->AdvSpinEdit_startup_injection_puls_temp2, -1, 0},
                   {w->AdvSpinEdit_Max_Correction_table, 20000, 9999},
                   {w->AdvSpinEdit_Min_Correction_table, -200000, -99999},
                   {w->crankTurnsPercent(3, 2), 600, 500},
                   {w->startupTemperature(1), -40, -20},
                   {w->startupTemperature(4), 140, 135},
                   // A crank-turn count is stored in one word.
                   {w->crankTurnsCount(1, 1), 70000, 65535}};
    for (const auto &c : decimal) {
        c.field->setValue(c.typed);
        QVERIFY2(qFuzzyCompare(c.field->value(), c.held), qPrintable(c.field->objectName()));
    }
    // Typing is held back by the field as well.
    w->SpinEdit_Overrun_fuel_cut_rpm->selectAll();
    QTest::keyClicks(w->SpinEdit_Overrun_fuel_cut_rpm, QStringLiteral("13000"));
    w->SpinEdit_Overrun_fuel_cut_rpm->interpretText();
    QVERIFY(w->SpinEdit_Overrun_fuel_cut_rpm->value() <= 12750);
}

void OptionsWindowTest::no_control_is_clipped_in_any_sub_panel() {
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QSize fixed = w->size();
    auto check = [&](QWidget *panel) {
        QApplication::processEvents();
        QCOMPARE(w->size(), fixed); // one window size for every panel
        const QRect inside = w->rect();
        for (QWidget *c : panel->findChildren<QWidget *>()) {
            // Parts of spin boxes and lists are the business of their owner.
            if (!c->isVisibleTo(w) || c->parent()->inherits("QAbstractSpinBox") ||
                c->parent()->inherits("QComboBox"))
                continue;
            if (!(c->inherits("QLabel") || c->inherits("QAbstractButton") || c->inherits("QComboBox") ||
                  c->inherits("QAbstractSpinBox") || c->inherits("QLineEdit")))
                continue;
            const QString what = panel->objectName() + QLatin1Char('/') + c->objectName() + QLatin1Char(' ') +
                                 QLatin1String(c->metaObject()->className()) + QLatin1Char(' ') +
                                 QString::number(c->width()) + QLatin1Char('x') +
                                 QString::number(c->height());
            const QSize need = c->minimumSizeHint();
            QVERIFY2(c->width() >= need.width() && c->height() >= need.height(), qPrintable(what));
            const QRect where(c->mapTo(w, QPoint(0, 0)), c->size());
            QVERIFY2(inside.contains(where), qPrintable(what));
        }
    };
    check(w->menuColumn);
    for (QGroupBox *panel : w->subPanels()) {
        w->menuColumn->hide();
        for (QGroupBox *p : w->subPanels())
            p->setVisible(p == panel);
        check(panel);
    }
    // The RPM range is laid over the pickup panel and must fit inside it.
    w->GroupBox_RPM_Range->show();
    w->GroupBox_RPM_pickup->show();
    QVERIFY(w->GroupBox_RPM_pickup->rect().contains(w->GroupBox_RPM_Range->geometry()));
    check(w->GroupBox_RPM_Range);
}

void OptionsWindowTest::load_mode_flags_follow_the_version_caption_read_afresh() {
    w->CheckBox_Battery_correction_on_off->setChecked(false);
    w->CheckBox_inlet_temp_correction_on_off->setChecked(false);
    w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(3);
    QCOMPARE(w->PackLoadModeFlags(), 19);
    w->StaticText_version_info->setText(QStringLiteral("3FA1AC1AA"));
    QCOMPARE(w->PackLoadModeFlags(), 3);
    w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(2);
    QCOMPARE(w->PackLoadModeFlags(), 11);
    w->StaticText_version_info->setText(QStringLiteral("2FB1AA1AA"));
    w->ComboBox_Engine_load_sensor_type->setCurrentIndex(1);
    w->CheckBox_Battery_correction_on_off->setChecked(true);
    QCOMPARE(w->PackLoadModeFlags(), 5);
    w->StaticText_version_info->setText(QStringLiteral("2FA1AA1AA"));
    QCOMPARE(w->PackLoadModeFlags(), 1);
}

void OptionsWindowTest::unpacking_load_mode_flags_sets_lists_and_correction_boxes() {
    w->UnpackLoadModeFlags(16);
    QCOMPARE(w->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex(), 3);
    QVERIFY(w->CheckBox_inlet_temp_correction_on_off->isChecked());
    QVERIFY(w->CheckBox_Battery_correction_on_off->isChecked());

    w->StaticText_version_info->setText(QStringLiteral("3FA1AB1AA"));
    w->UnpackLoadModeFlags(8);
    QCOMPARE(w->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex(), 0);

    w->StaticText_version_info->setText(QStringLiteral("2FB1AA1AA"));
    w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(1);
    w->UnpackLoadModeFlags(6);
    QCOMPARE(w->ComboBox_Engine_load_sensor_type->currentIndex(), 1);
    QCOMPARE(w->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex(), 1); // not touched below "3FA"
    QVERIFY(w->CheckBox_inlet_temp_correction_on_off->isChecked());
    QVERIFY(!w->CheckBox_Battery_correction_on_off->isChecked());
    QCOMPARE(w->PackLoadModeFlags(), 6);
}

void OptionsWindowTest::air_pressure_mode_swaps_the_input_2_controls_and_the_dashboard_caption() {
    TForm1 *main = mainWindow();
    QVERIFY(main->Label_boostpressure_txt2);
    showPanel(w, w->GroupBox_engine_load_sensor);

    w->SetAirPressureMode(true);
    QVERIFY(w->RadioButton_Engine_load_Air_pressure->isChecked());
    QVERIFY(!w->RadioButton_Engine_load_MAP->isChecked());
    QVERIFY(!w->GroupBox_Pressure_at_MAP_output->isVisible());
    QVERIFY(w->GroupBox_Air_pressure_sensor->isVisible());
    QVERIFY(w->AdvSpinEdit_Air_pressure_sensor_adjustment->isEnabled());
    for (QWidget *off :
         std::initializer_list<QWidget *>{w->SpinEdit_min_engineload2, w->SpinEdit_max_engineload2,
                                          w->Button_automatic_cal2, w->Label_max_engineload2})
        QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
    QCOMPARE(main->Label_boostpressure_txt2->text(), QStringLiteral("Air pressure"));
    QCOMPARE(main->Label_boostpressure_eenheid2->text(), QStringLiteral("mbar"));
    QVERIFY(w->airPressureChosen());

    w->SetAirPressureMode(false);
    QVERIFY(w->RadioButton_Engine_load_MAP->isChecked());
    QVERIFY(w->GroupBox_Pressure_at_MAP_output->isVisible());
    QVERIFY(!w->GroupBox_Air_pressure_sensor->isVisible());
    QVERIFY(w->SpinEdit_min_engineload2->isEnabled());
    QVERIFY(w->SpinEdit_Pressure_at_MAP_output_375V->isEnabled());
    QCOMPARE(main->Label_boostpressure_txt2->text(), QStringLiteral("Boost pressure"));
    QCOMPARE(main->Label_boostpressure_eenheid2->text(), QStringLiteral("kpa"));
}

void OptionsWindowTest::interpolation_switches_toggle_by_click_and_unpack_from_flags() {
    RoundToggleButton *lowerRpm = w->IBEAntialiasButton_interpolation_onder_aan_uit;
    showPanel(w, w->GroupBox_interpolation_to_limits);
    QTest::mouseClick(lowerRpm, Qt::LeftButton);
    QCOMPARE(lowerRpm->text(), QStringLiteral("ON"));
    QCOMPARE(lowerRpm->restingColor(), QColor(0, 255, 0));
    QCOMPARE(w->PackInterpolationFlags(), 1);
    QTest::mouseClick(lowerRpm, Qt::LeftButton);
    QCOMPARE(lowerRpm->text(), QStringLiteral("OFF"));
    QCOMPARE(lowerRpm->restingColor(), QColor(255, 0, 0));

    w->UnpackInterpolationFlags(5);
    QCOMPARE(w->IBEAntialiasButton_interpolation_onder_aan_uit->text(), QStringLiteral("ON"));
    QCOMPARE(w->IBEAntialiasButton_interpolation_boven_aan_uit->text(), QStringLiteral("ON"));
    QCOMPARE(w->IBEAntialiasButton_interpolation_rechts_aan_uit->text(), QStringLiteral("OFF"));
    QCOMPARE(w->IBEAntialiasButton_interpolation_links_aan_uit->text(), QStringLiteral("OFF"));
    QCOMPARE(w->IBEAntialiasButton_interpolation_boven_aan_uit->restingColor(), QColor(0, 255, 0));
    QCOMPARE(w->PackInterpolationFlags(), 5);
    w->UnpackInterpolationFlags(10);
    QCOMPARE(w->PackInterpolationFlags(), 10);
    QCOMPARE(w->IBEAntialiasButton_interpolation_onder_aan_uit->restingColor(), QColor(255, 0, 0));
    // A caption set from outside counts: on exactly when it reads "ON".
    w->IBEAntialiasButton_interpolation_onder_aan_uit->setText(QStringLiteral("ON"));
    QCOMPARE(w->PackInterpolationFlags(), 11);
}

void OptionsWindowTest::throttle_pump_boxes_drive_enabling_and_type_code() {
    showPanel(w, w->GroupBox_Throttle_pump_effect);
    const QColor navy(0, 0, 128), grey(128, 128, 128);
    // Start: type 1 off, type 2 on.
    QCOMPARE(w->ThrottlePumpTypeCode(), 3);
    QVERIFY(!w->SpinEdit_Throttle_pump_effect_amount_0_2000->isEnabled());
    QVERIFY(w->SpinEdit_acc_60->isEnabled());
    QCOMPARE(captionColor(w->GroupBox_type1), grey);

    clickIndicator(w->CheckBox_enable_type1);
    QCOMPARE(w->ThrottlePumpTypeCode(), 2);
    QVERIFY(w->SpinEdit_Throttle_pump_effect_amount_0_2000->isEnabled());
    QVERIFY(w->Label_sustain->isEnabled());
    QCOMPARE(captionColor(w->GroupBox_type1), navy);
    QVERIFY(w->CheckBox_enable_type1->isEnabled());

    clickIndicator(w->CheckBox_enable_type2);
    QCOMPARE(w->ThrottlePumpTypeCode(), 0);
    QVERIFY(!w->SpinEdit_acc_sensitivity->isEnabled());
    QVERIFY(!w->SpinEdit_initial_burst_amplifier->isEnabled());
    QVERIFY(!w->Label_acc_30->isEnabled());
    QVERIFY(w->CheckBox_enable_type2->isEnabled());
    for (QGroupBox *g : {w->GroupBox_type2, w->GroupBox3, w->GroupBox_initial_burst})
        QCOMPARE(captionColor(g), grey);

    clickIndicator(w->CheckBox_enable_type1);
    QCOMPARE(w->ThrottlePumpTypeCode(), 1); // neither is 1, not 0

    w->SetThrottlePumpTypeCode(3);
    QVERIFY(!w->CheckBox_enable_type1->isChecked());
    QVERIFY(w->CheckBox_enable_type2->isChecked());
    QVERIFY(w->SpinEdit_acc_crank_rotations->isEnabled());
    QVERIFY(!w->SpinEdit_Throttle_pump_effect_sustain_4000plus->isEnabled());
    w->SetThrottlePumpTypeCode(7); // unknown: nothing changes
    QCOMPARE(w->ThrottlePumpTypeCode(), 3);
}

void OptionsWindowTest::older_firmware_offers_only_throttle_pump_type_1() {
    w->StaticText_version_info->setText(QStringLiteral("2FA1AA1AA"));
    w->ApplyThrottlePumpTypesForVersion();
    QCOMPARE(w->GroupBox_type1->title(), QString());
    QVERIFY(w->CheckBox_enable_type1->isChecked());
    QVERIFY(w->SpinEdit_Throttle_pump_effect_amount_4000plus->isEnabled());
    QVERIFY(w->CheckBox_enable_type1->isHidden());
    QVERIFY(w->GroupBox_type2->isHidden());

    w->StaticText_version_info->setText(QStringLiteral("3FA1AA1AA"));
    w->ApplyThrottlePumpTypesForVersion();
    QCOMPARE(w->GroupBox_type1->title(), QStringLiteral("Type 1"));
    QVERIFY(!w->CheckBox_enable_type1->isHidden());
    QVERIFY(!w->GroupBox_type2->isHidden());
}

void OptionsWindowTest::aux1_kind_sets_range_value_and_unit_of_each_channel_field() {
    w->SetAux1Mode0ChannelKind(1, 1);
    QCOMPARE(w->ComboBox_AUX1_Channel1_type->currentIndex(), 1);
    for (QSpinBox *f : {w->SpinEdit_second_stage_rpm, w->SpinEdit_AUX1_Channel1_off}) {
        QCOMPARE(f->value(), 12500);
        QCOMPARE(f->minimum(), 500);
        QCOMPARE(f->maximum(), 20000);
        QCOMPARE(f->singleStep(), 100);
    }
    QCOMPARE(w->Label_second_stage_2->text(), QStringLiteral("RPM"));
    QCOMPARE(w->Label_AUX1_Channel1_off_eenheid->text(), QStringLiteral("RPM"));
    // Channel 2 untouched.
    QCOMPARE(w->SpinEdit_second_stage_engineload->value(), 0);
    QCOMPARE(w->Label_second_stage_4->text(), QString());

    w->SetAux1Mode0ChannelKind(2, 5);
    QCOMPARE(w->SpinEdit_AUX1_Channel2_off->minimum(), -20);
    QCOMPARE(w->SpinEdit_second_stage_engineload->value(), 135);
    QCOMPARE(w->Label_AUX1_Channel2_off_eenheid->text(), Degrees);

    w->SetAux1Mode0ChannelKind(1, 0);
    QCOMPARE(w->SpinEdit_second_stage_rpm->value(), 0);
    QCOMPARE(w->SpinEdit_second_stage_rpm->maximum(), 0);
    QCOMPARE(w->Label_second_stage_2->text(), QString());

    // An unknown kind leaves the fields as they are.
    w->SetAux1Mode0ChannelKind(2, 9);
    QCOMPARE(w->SpinEdit_second_stage_engineload->value(), 135);

    // Mode 1: the hysteresis of engine speed may go to 0, the "on at >" field not below 500.
    w->SetAux1Mode1ChannelKind(1, 1);
    w->AdvSpinEdit_mode1_AUX1_hyst_channel1->setValue(0);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_hyst_channel1->value(), 0.0);
    w->AdvSpinEdit_mode1_AUX1_Channel1_on->setValue(0);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel1_on->value(), 500.0);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel1_off->singleStep(), 10.0);
    QCOMPARE(w->Label_mode1_AUX1_hyst_channel1_eenheid->text(), QStringLiteral("RPM"));

    w->SetAux1Mode1ChannelKind(2, 2);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel2_on->decimals(), 1);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel2_on->value(), 16.0);
    w->AdvSpinEdit_mode1_AUX1_Channel2_off->setValue(7.45);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel2_off->value(), 7.5); // one decimal, half up at display
    QCOMPARE(w->Label_mode1_AUX1_Channel2_off_eenheid->text(), QStringLiteral("TPS"));

    w->SetAux1Mode1ChannelKind(2, 4);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_hyst_channel2->minimum(), 0.0);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel2_on->minimum(), -20.0);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel2_on->decimals(), 0);
}

void OptionsWindowTest::aux1_mode_code_chooses_mode_inversion_and_greying() {
    const QColor navy(0, 0, 128), grey(128, 128, 128), blue(0, 0, 255), white(255, 255, 255);
    QCOMPARE(w->Aux1ModeCode(), 0);
    QVERIFY(w->GroupBox_AUX1_mode0->isEnabled());
    QVERIFY(!w->GroupBox_AUX1_mode1->isEnabled());

    w->SetAux1ModeCode(2);
    QVERIFY(w->RadioButton_mode1_AUX1->isChecked());
    QVERIFY(!w->CheckBox_AUX1_output_inverted->isChecked());
    QVERIFY(w->AdvSpinEdit_mode1_AUX1_hyst_channel2->isEnabled());
    QVERIFY(!w->SpinEdit_AUX1_Channel1_off->isEnabled());
    QCOMPARE(captionColor(w->GroupBox_AUX1_mode1), navy);
    QCOMPARE(captionColor(w->GroupBox_AUX1_mode0), grey);
    QCOMPARE(w->ComboBox_mode1_AUX1_Channel1_type->palette().color(QPalette::Base), blue);
    QCOMPARE(w->ComboBox_AUX1_Channel2_type->palette().color(QPalette::Base), white);
    QCOMPARE(w->Aux1ModeCode(), 2);

    w->SetAux1ModeCode(1);
    QVERIFY(w->RadioButton_mode0_AUX1->isChecked());
    QVERIFY(w->CheckBox_AUX1_output_inverted->isChecked());
    QVERIFY(w->SpinEdit_second_stage_rpm->isEnabled());
    QCOMPARE(w->Aux1ModeCode(), 1);

    // Choosing the mode with its radio button greys the other mode too.
    showPanel(w, w->GroupBox_Second_stage);
    clickIndicator(w->RadioButton_mode1_AUX1);
    QVERIFY(!w->GroupBox_AUX1_mode0->isEnabled());
    QVERIFY(w->GroupBox_AUX1_mode1->isEnabled());
    QCOMPARE(w->Aux1ModeCode(), 3);
}

void OptionsWindowTest::rpm_range_labels_both_map_grids() {
    TForm1 *main = mainWindow();
    {
        // Without a main window there is nothing to label, and nothing breaks.
        const QScopedValueRollback<TForm1 *> absent(ctx->form1, nullptr);
        w->ApplyRpmRangeToGrids();
    }
    const auto rows = w->rpmRangeRows();
    for (int k = 1; k <= 25; ++k)
        rows[k - 1]->setValue(600 * k);
    w->ApplyRpmRangeToGrids();
    for (int k = 1; k <= 25; ++k) {
        QCOMPARE(main->AdvStringGrid_fuel->cellText(0, k), QString::number(600 * k));
        QCOMPARE(main->AdvStringGrid_injection_boost_correction->cellText(0, k), QString::number(600 * k));
    }
    QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 25), QStringLiteral("15000"));
    QVERIFY(main->AdvStringGrid_fuel->cellText(0, 0) != QStringLiteral("600"));
}

void OptionsWindowTest::older_firmware_resets_the_rpm_rows_before_labelling() {
    TForm1 *main = mainWindow();
    w->SpinEdit_RPM_Range_Row12->setValue(6100);
    w->StaticText_version_info->setText(QStringLiteral("2FA1AA1AA"));
    w->ApplyRpmRangeToGrids();
    QCOMPARE(w->SpinEdit_RPM_Range_Row12->value(), 6000);
    QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 12), QStringLiteral("6000"));
    QCOMPARE(main->AdvStringGrid_injection_boost_correction->cellText(0, 1), QStringLiteral("500"));
    QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 25), QStringLiteral("12500"));
}

void OptionsWindowTest::correction_headers_and_dashboard_labels_follow_the_correction_table_settings() {
    TForm1 *main = mainWindow();
    TForm2 *tables = correctionWindow();
    {
        // Without the other windows there is nothing to do, and nothing breaks.
        const QScopedValueRollback<TForm1 *> noMain(ctx->form1, nullptr);
        const QScopedValueRollback<TForm2 *> noTables(ctx->form2, nullptr);
        w->RebuildCorrectionHeaders();
        w->ShowCorrectionTableName();
        w->ShowCorrectionEnables();
    }
    w->Edit_correction_table_name->setText(QStringLiteral("Oil"));
    w->Edit_Correction_table_eenheid->setText(QStringLiteral("bar"));
    w->AdvSpinEdit_Min_Correction_table->setValue(0);
    w->AdvSpinEdit_Max_Correction_table->setValue(3100);
    w->RebuildCorrectionHeaders();
    QCOMPARE(tables->Label_watertemp_text->text(), QStringLiteral("Oil in bar"));
    QCOMPARE(tables->AdvStringGrid_Watertemp->cellText(0, 0), QStringLiteral("0"));
    QCOMPARE(tables->AdvStringGrid_Watertemp->cellText(9, 0), QStringLiteral("900"));
    QCOMPARE(tables->AdvStringGrid_Watertemp->cellText(10, 0), QStringLiteral("1000"));
    QCOMPARE(tables->AdvStringGrid_luchttemp->cellText(0, 0), QStringLiteral("-20"));
    QCOMPARE(tables->AdvStringGrid_luchttemp->cellText(31, 0), QStringLiteral("135"));
    QCOMPARE(tables->AdvStringGrid_battery->cellText(1, 0), QStringLiteral("8.250000"));
    QCOMPARE(tables->AdvStringGrid_Air_pressure->cellText(31, 0), QStringLiteral("1060"));
    QVERIFY(tables->AdvStringGrid_battery->item(0, 5)->font().bold());

    w->ShowCorrectionTableName();
    QCOMPARE(main->Label_correctionstep_text->text(), QStringLiteral("Oil"));
    QCOMPARE(main->Label_correctionstep_eenheid->text(), QStringLiteral("bar"));

    const QColor black(0, 0, 0), grey(128, 128, 128);
    w->CheckBox_inlet_temp_correction_on_off->setChecked(true);
    w->CheckBox_Battery_correction_on_off->setChecked(false);
    w->ShowCorrectionEnables();
    QCOMPARE(main->Label_inlettemp_text->palette().color(QPalette::WindowText), black);
    QCOMPARE(main->Label_inlettemp_eenheid->palette().color(QPalette::WindowText), black);
    QCOMPARE(main->Label_battery_text->palette().color(QPalette::WindowText), grey);
    QCOMPARE(main->Label_battery_eenheid->palette().color(QPalette::WindowText), grey);
    w->CheckBox_inlet_temp_correction_on_off->setChecked(false);
    w->CheckBox_Battery_correction_on_off->setChecked(true);
    w->ShowCorrectionEnables();
    QCOMPARE(main->Label_inlettemp_text->palette().color(QPalette::WindowText), grey);
    QCOMPARE(main->Label_battery_eenheid->palette().color(QPalette::WindowText), black);
}

void OptionsWindowTest::first_show_defaults_reset_lists_aux_fields_and_fix_the_correction_table() {
    for (QComboBox *list :
         {w->ComboBox_number_of_cylinders, w->ComboBox_inj_stroke_mode, w->ComboBox_coil_input_voltage,
          w->ComboBox_Engine_load_sensor_type, w->ComboBox_Engineloadsensor_Throttle_or_Map})
        list->setCurrentIndex(1);
    w->SetAux1Mode0ChannelKind(1, 1);
    w->SetAux1Mode0ChannelKind(2, 3);
    w->SetAux1Mode1ChannelKind(1, 2);
    w->SetAux1Mode1ChannelKind(2, 4);
    w->EnableThrottlePumpType1(true);
    w->EnableThrottlePumpType2(false);
    w->CheckBox_NTC_sensor_aktief->setChecked(false);
    w->Edit_correction_table_name->setText(QStringLiteral("Oil"));
    w->AdvSpinEdit_Max_Correction_table->setValue(50);

    w->ApplyFirstShowDefaults();

    for (QComboBox *list :
         {w->ComboBox_number_of_cylinders, w->ComboBox_inj_stroke_mode, w->ComboBox_coil_input_voltage,
          w->ComboBox_Engine_load_sensor_type, w->ComboBox_Engineloadsensor_Throttle_or_Map,
          w->ComboBox_AUX1_Channel1_type, w->ComboBox_AUX1_Channel2_type,
          w->ComboBox_mode1_AUX1_Channel1_type, w->ComboBox_mode1_AUX1_Channel2_type})
        QVERIFY2(list->currentIndex() == 0, qPrintable(list->objectName()));
    for (QSpinBox *f : {w->SpinEdit_second_stage_rpm, w->SpinEdit_second_stage_engineload,
                        w->SpinEdit_AUX1_Channel1_off, w->SpinEdit_AUX1_Channel2_off}) {
        QCOMPARE(f->value(), 0);
        QCOMPARE(f->maximum(), 0);
    }
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel1_on->value(), 0.0);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_hyst_channel2->maximum(), 0.0);
    for (QLabel *unit : {w->Label_second_stage_2, w->Label_second_stage_4, w->Label_AUX1_Channel1_off_eenheid,
                         w->Label_mode1_AUX1_Channel1_on_eenheid, w->Label_mode1_AUX1_hyst_channel2_eenheid})
        QVERIFY2(unit->text().isEmpty(), qPrintable(unit->objectName()));
    QVERIFY(!w->SpinEdit_Throttle_pump_effect_amount_0_2000->isEnabled());
    QVERIFY(w->SpinEdit_acc_20->isEnabled());

    QVERIFY(w->CheckBox_NTC_sensor_aktief->isChecked());
    QCOMPARE(w->AdvSpinEdit_Max_Correction_table->value(), 135.0);
    QCOMPARE(w->AdvSpinEdit_Min_Correction_table->value(), -20.0);
    QCOMPARE(w->Edit_correction_table_name->text(), QStringLiteral("Water-temp"));
    QCOMPARE(w->Edit_Correction_table_eenheid->text(), Degrees);
    QVERIFY(w->CheckBox_Battery_correction_on_off->isChecked());
    QVERIFY(w->CheckBox_inlet_temp_correction_on_off->isChecked());
}

void OptionsWindowTest::first_show_defaults_leave_the_correction_table_alone_on_older_firmware() {
    w->StaticText_version_info->setText(QStringLiteral("2FA1AA1AA"));
    w->Edit_correction_table_name->setText(QStringLiteral("Oil"));
    w->AdvSpinEdit_Max_Correction_table->setValue(50);
    w->ApplyFirstShowDefaults();
    QCOMPARE(w->Edit_correction_table_name->text(), QStringLiteral("Oil"));
    QCOMPARE(w->AdvSpinEdit_Max_Correction_table->value(), 50.0);
    QVERIFY(!w->CheckBox_NTC_sensor_aktief->isChecked());
    QVERIFY(!w->CheckBox_Battery_correction_on_off->isChecked());
}

void OptionsWindowTest::air_pressure_is_refused_below_3FA1AB_with_a_warning() {
    TForm1 *main = mainWindow();
    showPanel(w, w->GroupBox_engine_load_sensor);
    w->StaticText_version_info->setText(QStringLiteral("3FA1AA1AA"));
    clickIndicator(w->RadioButton_Engine_load_Air_pressure);
    QCOMPARE(dialogs->shown().size(), 1);
    QCOMPARE(dialogs->shown().first().kind, DialogKind::Warning);
    QCOMPARE(dialogs->shown().first().text,
             QStringLiteral("Air pressure sensor is only possible from version 3FA1AB1AA!!!"));
    QVERIFY(w->RadioButton_Engine_load_MAP->isChecked());
    QVERIFY(w->GroupBox_Pressure_at_MAP_output->isVisible());
    QCOMPARE(main->Label_boostpressure_txt2->text(), QStringLiteral("Boost pressure"));
    QCOMPARE(main->Label_boostpressure_eenheid2->text(), QStringLiteral("kpa"));

    dialogs->clearShown();
    w->StaticText_version_info->setText(QStringLiteral("3FA1AB1AA"));
    clickIndicator(w->RadioButton_Engine_load_Air_pressure);
    QVERIFY(dialogs->shown().isEmpty());
    QVERIFY(w->GroupBox_Air_pressure_sensor->isVisible());
    QCOMPARE(main->Label_boostpressure_txt2->text(), QStringLiteral("Air pressure"));
    clickIndicator(w->RadioButton_Engine_load_MAP);
    QVERIFY(!w->GroupBox_Air_pressure_sensor->isVisible());
    QCOMPARE(main->Label_boostpressure_eenheid2->text(), QStringLiteral("kpa"));
}

void OptionsWindowTest::main_load_list_warns_when_typed_into_and_enables_the_factor_for_item_3() {
    showPanel(w, w->GroupBox_engine_load_sensor);
    QComboBox *list = w->ComboBox_Engineloadsensor_Throttle_or_Map;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down); // a closed list steps to the next entry
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), 3);
    QVERIFY(w->AdvSpinEdit_Boost_correction_factor->isEnabled());
    QVERIFY(w->Label_Boost_correction_factor_note->isEnabled());
    QVERIFY(dialogs->shown().isEmpty());

    QTest::keyClick(list, Qt::Key_Up);
    QVERIFY(!w->AdvSpinEdit_Boost_correction_factor->isEnabled());

    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), QStringLiteral("x"));
    QVERIFY(!dialogs->shown().isEmpty());
    QCOMPARE(dialogs->shown().first().text, QStringLiteral("Do not edit\r\nuse pulldown menu !!!"));
    QCOMPARE(dialogs->shown().first().kind, DialogKind::Warning);
    QVERIFY(!w->AdvSpinEdit_Boost_correction_factor->isEnabled());
}

void OptionsWindowTest::kind_list_change_resets_the_channel_unless_boost_meets_air_pressure() {
    showPanel(w, w->GroupBox_Second_stage);
    QComboBox *list = w->ComboBox_AUX1_Channel1_type;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), 1);
    QCOMPARE(w->SpinEdit_second_stage_rpm->value(), 12500);
    QCOMPARE(w->SpinEdit_AUX1_Channel1_off->minimum(), 500);
    QCOMPARE(w->Label_AUX1_Channel1_off_eenheid->text(), QStringLiteral("RPM"));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(w->Label_AUX1_Channel1_off_eenheid->text(), QStringLiteral("TPS"));
    w->SpinEdit_AUX1_Channel1_off->setValue(7);

    // Boost pressure while input 2 measures air pressure: warned at once, the fields stay as they were.
    w->SetAirPressureMode(true);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), 3);
    QCOMPARE(dialogs->shown().size(), 1);
    QCOMPARE(dialogs->shown().first().text,
             QStringLiteral("Boost pressure is not possible \r\nwhen Air pressure is used !!!"));
    QCOMPARE(w->SpinEdit_AUX1_Channel1_off->value(), 7);
    QCOMPARE(w->Label_AUX1_Channel1_off_eenheid->text(), QStringLiteral("TPS"));

    // Mode 1 resets all three fields of its channel.
    w->SetAirPressureMode(false);
    w->SetAux1ModeCode(2);
    QComboBox *mode1 = w->ComboBox_mode1_AUX1_Channel2_type;
    mode1->setFocus();
    QTest::keyClick(mode1, Qt::Key_Down);
    QTest::keyClick(mode1, Qt::Key_Down);
    QTest::keyClick(mode1, Qt::Key_Down);
    QCOMPARE(mode1->currentIndex(), 3);
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_hyst_channel2->value(), 9999.0);
    QCOMPARE(w->Label_mode1_AUX1_Channel2_on_eenheid->text(), QStringLiteral("kpa"));
    QCOMPARE(w->AdvSpinEdit_mode1_AUX1_Channel1_on->value(), 0.0); // the other channel untouched
}

void OptionsWindowTest::kind_list_typed_into_warns_on_change_and_on_leaving() {
    showPanel(w, w->GroupBox_Second_stage);
    QComboBox *list = w->ComboBox_AUX1_Channel2_type;
    w->SetAux1Mode0ChannelKind(2, 2);
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), QStringLiteral("T"));
    QCOMPARE(dialogs->shown().size(), 1);
    QCOMPARE(dialogs->shown().first().text, QStringLiteral("Do not edit\r\nuse pulldown menu !!!"));
    QCOMPARE(w->SpinEdit_second_stage_engineload->value(), 15); // nothing else happens

    dialogs->clearShown();
    w->ComboBox_AUX1_Channel1_type->setFocus();
    QApplication::processEvents();
    w->Aux1KindListExit(0, 2);
    QCOMPARE(dialogs->shown().size(), 2); // once on the real leave, once called directly
    w->SetAux1Mode0ChannelKind(2, 2);
    dialogs->clearShown();
    w->Aux1KindListExit(0, 2);
    QVERIFY(dialogs->shown().isEmpty());
}

void OptionsWindowTest::ntc_switch_fixes_range_and_unit_only_when_the_user_checks_it() {
    w->Edit_Correction_table_eenheid->setText(QStringLiteral("bar"));
    w->CheckBox_NTC_sensor_aktief->setChecked(true); // window hidden: a decoded data set, left alone
    QCOMPARE(w->Edit_Correction_table_eenheid->text(), QStringLiteral("bar"));
    QCOMPARE(w->AdvSpinEdit_Max_Correction_table->value(), 100.0);

    w->CheckBox_NTC_sensor_aktief->setChecked(false);
    showPanel(w, w->GroupBox_Correction_table);
    clickIndicator(w->CheckBox_NTC_sensor_aktief);
    QVERIFY(w->CheckBox_NTC_sensor_aktief->isChecked());
    QCOMPARE(w->AdvSpinEdit_Max_Correction_table->value(), 135.0);
    QCOMPARE(w->AdvSpinEdit_Min_Correction_table->value(), -20.0);
    QCOMPARE(w->Edit_Correction_table_eenheid->text(), Degrees);

    w->AdvSpinEdit_Max_Correction_table->setValue(120);
    clickIndicator(w->CheckBox_NTC_sensor_aktief); // clearing changes nothing
    QCOMPARE(w->AdvSpinEdit_Max_Correction_table->value(), 120.0);
}

void OptionsWindowTest::sign_keys_flip_the_correction_table_range() {
    showPanel(w, w->GroupBox_Correction_table);
    QDoubleSpinBox *max = w->AdvSpinEdit_Max_Correction_table;
    QDoubleSpinBox *min = w->AdvSpinEdit_Min_Correction_table;
    max->setValue(12.5);
    max->setFocus();
    QTest::keyClick(max, Qt::Key_Minus);
    QCOMPARE(max->value(), -12.5);
    QTest::keyClick(max, Qt::Key_Minus);
    QCOMPARE(max->value(), -12.5);
    QTest::keyClick(max, Qt::Key_Equal);
    QCOMPARE(max->value(), 12.5);
    // The keypad's minus is not a sign key (it is typed like any other character).
    QVERIFY(!TForm3::SignKey(max, Qt::Key_Minus, Qt::KeypadModifier));
    QCOMPARE(max->value(), 12.5);

    min->setValue(0);
    min->setFocus();
    QTest::keyClick(min, Qt::Key_Minus);
    QCOMPARE(min->value(), 0.0);
    min->setValue(-40);
    QTest::keyClick(min, Qt::Key_Plus, Qt::ShiftModifier);
    QCOMPARE(min->value(), 40.0);
}

void OptionsWindowTest::com_ini_write_error_is_a_plain_message() {
    QScopedValueRollback<QString> folder(ctx->ProgramDirectory, QStringLiteral("/nonexistent-folder/"));
    w->Button_set_communicationportClick();
    w->Button_Save_set_communicationportClick();
    QCOMPARE(dialogs->shown().size(), 1);
    QCOMPARE(dialogs->shown().first().text, QStringLiteral("Write Error File: com.ini"));
    QCOMPARE(dialogs->shown().first().kind, DialogKind::Plain);
}

QTEST_MAIN(OptionsWindowTest)
#include "OptionsWindowTest.moc"
