// The state switches of the main window that every part of the program calls: online/offline,
// greying the dashboard values, idle texts, and enabling the toolbar and the map grids.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/widgets/ControlFactory.h"

namespace {
const QString OfflineCaption = QStringLiteral("communication is offline");
}

bool TForm1::IsOnline() const {
    return PanelColor(Panel_dashbord) == Colors::Silver;
}

bool TForm1::DataNotLocked() const {
    return AdvStringGrid_fuel->fixedColor() == Colors::Yellow;
}

QList<QLabel *> TForm1::valueLabels() const {
    return {Label_Enginespeed_waarde,      Label_injectiontime_waarde,   Label_engineload_waarde,
            Label_correction_waarde,       Label_correctionstep_waarde,  Label_inlettemp_waarde,
            Label_potmeter_waarde,         Label_battery_waarde,         Label_Enginespeed_waarde3,
            Label_injectiontime_waarde2,   Label_engineload_waarde2,     Label_engineload2_waarde2,
            Label_correction_waarde_fuel2, Label_correctionstep_waarde2, Label_inlettemp_waarde2,
            Label_Battery_Voltage_waarde2, Label_boostpressure_waarde2};
}

QList<QWidget *> TForm1::onlineOnlyWidgets() const {
    return {
        Panel_Enginespeed,        Panel_injectiontime,     Panel_engineload,      Panel_correction,
        Panel_correctionstep,     Panel_inlettemp,         Panel_battery,         Panel_potmeter,
        Panel_Second_stage_led,   Label_Second_stage_text, Panel_Enginespeed3,    Panel_injectiontime2,
        Panel_engineload_tps2,    Panel_engineload_map2,   Panel_watertemp2,      Panel_airtemp2,
        Panel_battery2,           Panel_correction_fuel2,  Panel_boostpressure2,  Panel_Launch_led2,
        Panel_Second_stage_led2,  Panel_Boost_led2,        Panel_Fuel_pump_led2,  Label_Launch_text2,
        Label_Second_stage_text2, Label_Boost_text2,       Label_Fuel_pump_text2, SpeedButton_up_down_load};
}

void TForm1::ShowDashboardFor(bool online) {
    const bool large = VersionAtLeast(CurrentVersion(), QStringLiteral("3FA"));
    Panel_dashbord->setVisible(!large);
    Panel_dashbord2->setVisible(large);
    for (QWidget *widget : onlineOnlyWidgets())
        widget->setVisible(online);
    Label_press_F10->setVisible(!online);
    Label_press_F10_2->setVisible(!online);
    Panel_spare1->hide();
    Panel_spare2->hide();
}

void TForm1::SetOnline(bool on) {
    ShowDashboardFor(on);
    if (on) {
        SetPanelColor(Panel_dashbord, Colors::Silver);
        SetPanelColor(Panel_dashbord2, Colors::Silver);
        Panel_dashbord->clear();
        Panel_dashbord2->clear();
        return;
    }
    // The link's way offline paints this window through wentOffline.
    if (ctx_.link)
        ctx_.link->GoOffline(OfflineCause::User);
    else
        PaintOffline();
}

void TForm1::PaintOffline() {
    ShowDashboardFor(false);
    EnableValueLabels(false);
    ResetValueLabels();
    SetPanelColor(Panel_dashbord, Colors::Red);
    SetPanelColor(Panel_dashbord2, Colors::Red);
    Panel_dashbord->setText(OfflineCaption);
    Panel_dashbord2->setText(OfflineCaption);
    GroupBox_gauge_up_down_loading->hide();
    AdvStringGrid_fuel->setEnabled(false);
    AdvStringGrid_injection_boost_correction->setEnabled(false);
}

void TForm1::EnableValueLabels(bool on) {
    for (QLabel *label : valueLabels())
        label->setEnabled(on);
    const QColor lamp = on ? Colors::Black : Colors::Grey;
    SetPanelColor(Panel_Second_stage_led, lamp);
    SetPanelColor(Panel_Second_stage_led2, lamp);
    SetPanelColor(Panel_Fuel_pump_led2, lamp);
}

void TForm1::ResetValueLabels() {
    const QString zero = QStringLiteral("0");
    const QString zeroDecimal = QStringLiteral("0,0");
    Label_Enginespeed_waarde->setText(zero);
    Label_correction_waarde->setText(zero);
    Label_potmeter_waarde->setText(zero);
    Label_Enginespeed_waarde3->setText(zero);
    Label_boostpressure_waarde2->setText(zero);

    Label_injectiontime_waarde->setText(zeroDecimal);
    Label_engineload_waarde->setText(zeroDecimal);
    Label_correctionstep_waarde->setText(zeroDecimal);
    Label_inlettemp_waarde->setText(zeroDecimal);
    Label_battery_waarde->setText(zeroDecimal);
    Label_injectiontime_waarde2->setText(zeroDecimal);
    Label_engineload_waarde2->setText(zeroDecimal);
    Label_engineload2_waarde2->setText(zeroDecimal);
    Label_correction_waarde_fuel2->setText(zeroDecimal);
    Label_correctionstep_waarde2->setText(zeroDecimal);
    Label_inlettemp_waarde2->setText(zeroDecimal);
    Label_Battery_Voltage_waarde2->setText(zeroDecimal);
    ctx_.LiveRow = 0;
}

bool TForm1::LineBusy() const {
    return ctx_.link && ctx_.link->busy();
}

void TForm1::EnableMainControls(bool on) {
    for (QToolButton *button : {SpeedButton_openfile, SpeedButton_savefile, SpeedButton_options,
                                SpeedButton_correctiontable, SpeedButton_up_down_load})
        button->setEnabled(on);
}

void TForm1::EnableMapGrids(bool on) {
    AdvStringGrid_fuel->setEnabled(on);
    AdvStringGrid_injection_boost_correction->setEnabled(
        on && VersionAtLeast(CurrentVersion(), QStringLiteral("3FA1AC")));
}
