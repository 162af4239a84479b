// The frame around the option groups: showing the window, the menu column, leaving with Ok (which
// writes the options to the ECU while online) or Cancel (which puts the snapshot back), and F1.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/opening/Manual.h"
#include "windows/options/AutoCalibration.h"
#include "windows/options/OptionsWindow.h"

#include <QShortcut>
#include <QShowEvent>

void TForm3::connectFrameEvents() {
    auto on = [this](QPushButton *b, void (TForm3::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    on(Button_ok_Options_menu, &TForm3::Button_ok_Options_menuClick);
    on(Button_Cancel_Options_menu, &TForm3::Button_Cancel_Options_menuClick);

    on(Button_RPM_pickup, &TForm3::Button_RPM_pickupClick);
    on(Button_Cancel_RPM_pickup, &TForm3::Button_Cancel_RPM_pickupClick);
    on(Button_RPM_Range, &TForm3::Button_RPM_RangeClick);
    on(Button_RPM_Range_Ok, &TForm3::Button_RPM_Range_OkClick);
    on(Button_Engine_load_sensor, &TForm3::Button_Engine_load_sensorClick);
    on(Button_Ok_Engine_load_sensor, &TForm3::Button_Ok_Engine_load_sensorClick);
    on(Button_Cancel_Engine_load_sensor, &TForm3::Button_Cancel_Engine_load_sensorClick);
    on(Button_Startup, &TForm3::Button_StartupClick);
    on(Button_Ok_Startup, &TForm3::Button_Ok_StartupClick);
    on(Button_Second_stage, &TForm3::Button_Second_stageClick);
    on(Button_Ok_Second_stage, &TForm3::Button_Ok_Second_stageClick);
    on(Button_Cancel_Second_stage, &TForm3::Button_Cancel_Second_stageClick);
    on(Button_Cancel_Second_stage_oud, &TForm3::Button_Cancel_Second_stage_oudClick);
    on(Button_interpolation_to_limits, &TForm3::Button_interpolation_to_limitsClick);
    on(Button_Cancel_interpolation_to_limits, &TForm3::Button_Cancel_interpolation_to_limitsClick);
    connectPlainSubPanels();
    on(Button_set_communicationport, &TForm3::Button_set_communicationportClick);
    on(Button_Save_set_communicationport, &TForm3::Button_Save_set_communicationportClick);
    on(Button_Cancel_set_communicationport, &TForm3::Button_Cancel_set_communicationportClick);

    on(Button_automatic_cal, &TForm3::Button_automatic_calClick);
    on(Button_automatic_cal2, &TForm3::Button_automatic_cal2Click);
    on(Button_Ok_set_engineloadsensor_to_minmax, &TForm3::Button_Ok_set_engineloadsensor_to_minmaxClick);
    on(Button_cancel_set_engineloadsensor_to_minmax,
       &TForm3::Button_cancel_set_engineloadsensor_to_minmaxClick);

    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] { OpenHelp(); });

    // The calibration replies reach this window through the link's answers.
    calibrationPart_ = std::make_unique<OptionsCalibrationPart>(ctx_, this);
}

// What the sub-panels without rules of their own do: the menu button opens the panel (Cancel takes the
// focus), Ok closes it and Cancel puts back only that group before closing. A null button is one whose
// panel has its own handler for it (SubPanels.cpp).
void TForm3::connectPlainSubPanels() {
    struct PlainPanel {
        QGroupBox *panel;
        QPushButton *open, *ok, *cancel;
        void (TForm3::*restore)();
    };
    const PlainPanel plain[] = {
        {GroupBox_Throttle_pump_effect, Button_Throttle_pump_effect, Button_Ok_Throttle_pump_effect,
         Button_Cancel_Throttle_pump_effect, &TForm3::restoreThrottlePumpGroup},
        {GroupBox_Correction_table, Button_Correction_table, Button_Ok_Correction_table,
         Button_Cancel_Correction_table, &TForm3::restoreCorrectionTableGroup},
        {GroupBox_RPM_limiter_and_powershift, Button_RPM_limiters_and_powershift, Button_Ok_RPM_limiter,
         Button_Cancel_RPM_limiter, &TForm3::restoreRpmLimiterGroup},
        {GroupBox_Remarks, Button_remarks, Button_Ok_remarks, Button_Cancel_remarks,
         &TForm3::restoreRemarksGroup},
        {GroupBox_RPM_pickup, nullptr, Button_Ok_RPM_pickup, nullptr, nullptr},
        {GroupBox_Startup, nullptr, nullptr, Button_Cancel_Startup, &TForm3::restoreStartupGroup},
        {GroupBox_Second_stage_oud, nullptr, Button_Ok_Second_stage_oud, nullptr, nullptr},
        {GroupBox_interpolation_to_limits, nullptr, Button_Ok_interpolation_to_limits, nullptr, nullptr},
    };
    for (const PlainPanel &p : plain) {
        if (p.open)
            connect(p.open, &QPushButton::clicked, this, [this, p] { openSubPanel(p.panel, p.cancel); });
        if (p.ok)
            connect(p.ok, &QPushButton::clicked, this, [this, p] { closeSubPanel(p.panel); });
        if (p.cancel && p.restore) {
            connect(p.cancel, &QPushButton::clicked, this, [this, p] {
                (this->*p.restore)();
                closeSubPanel(p.panel);
            });
        }
    }
}

void TForm3::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        OnShowOptions();
}

void TForm3::OnShowOptions() {
    move(150, 30);
    TakeOptionsSnapshot();
    ShowMenuButtons(true);
    Button_interpolation_to_limits->setText(VersionAtLeast(currentVersion(), QStringLiteral("3FA"))
                                                ? QStringLiteral("Interpol. to limits and Fuel cut")
                                                : QStringLiteral("Interpolation to limits"));
    Button_RPM_pickup->setFocus();
}

void TForm3::ShowMenuButtons(bool visible) {
    menuColumn->setVisible(visible);
    for (QPushButton *b :
         {Button_RPM_pickup, Button_Engine_load_sensor, Button_Throttle_pump_effect, Button_Startup,
          Button_Second_stage, Button_interpolation_to_limits, Button_remarks, Button_set_communicationport,
          Button_ok_Options_menu, Button_Cancel_Options_menu})
        b->setVisible(visible);
    // "RPM Limiter" (from "3FA") and "Correction-table" (older) take turns in the place above "Remarks";
    // the column's layout puts "Remarks" and "Communicationport" right below whichever is shown.
    const bool full = VersionAtLeast(currentVersion(), QStringLiteral("3FA"));
    Button_Correction_table->setVisible(!full && visible);
    Button_RPM_limiters_and_powershift->setVisible(full && visible);
}

void TForm3::openSubPanel(QGroupBox *panel, QPushButton *cancel) {
    ShowMenuButtons(false);
    panel->show();
    if (cancel && cancel->isVisibleTo(panel))
        cancel->setFocus();
}

void TForm3::closeSubPanel(QGroupBox *panel) {
    panel->hide();
    ShowMenuButtons(true);
}

void TForm3::Button_Cancel_Options_menuClick() {
    RestoreOptionsSnapshot();
    TForm1 *main = ctx_.form1;
    if (main) {
        main->AdvStringGrid_fuel->setEnabled(true);
        if (VersionAtLeast(currentVersion(), QStringLiteral("3FA1AC")))
            main->AdvStringGrid_injection_boost_correction->setEnabled(true);
        main->EnableMainControls(true);
    }
    hide();
    if (ctx_.link) {
        ctx_.link->ResumeReception();
        ctx_.link->RequestLiveData(); // only sends, and restarts the poll, while online
    }
}

void TForm3::Button_ok_Options_menuClick() {
    // While another conversation has the line, Ok waits for the user to try again: nothing changes.
    if (ctx_.link && ctx_.link->busy())
        return;
    // The NTC table only makes sense with its fixed range and unit. A unit read from the ECU or a file
    // comes padded to its six characters.
    QString unit = Edit_Correction_table_eenheid->text();
    while (unit.endsWith(QLatin1Char(' ')) || unit.endsWith(QChar(0)))
        unit.chop(1);
    if (CheckBox_NTC_sensor_aktief->isChecked() &&
        (unit != QStringLiteral("\u00B0C") || AdvSpinEdit_Max_Correction_table->value() != 135 ||
         AdvSpinEdit_Min_Correction_table->value() != -20)) {
        const QSignalBlocker quiet(CheckBox_NTC_sensor_aktief);
        CheckBox_NTC_sensor_aktief->setChecked(false);
    }

    const QString version = currentVersion();
    const bool boostMap = VersionAtLeast(version, QStringLiteral("3FA1AC"));
    TForm1 *main = ctx_.form1;
    const bool online = main && main->IsOnline() && ctx_.link && writeOptions;
    if (online) {
        const int maximum = !VersionAtLeast(version, QStringLiteral("3FA")) ? 224 : boostMap ? 1310 : 510;
        // The calibration write from its option words on; the maps are not written.
        writeOptions(maximum);
    } else if (main) {
        main->EnableMainControls(true);
        RebuildCorrectionHeaders();
        ShowCorrectionTableName();
        ShowCorrectionEnables();
        main->AdvStringGrid_fuel->setEnabled(true);
        if (boostMap)
            main->AdvStringGrid_injection_boost_correction->setEnabled(true);
    } else {
        RebuildCorrectionHeaders();
    }
    ApplyRpmRangeToGrids();
    if (main)
        main->ApplyBoostTabVisibility();
    hide();
}

void TForm3::OpenHelp() {
    if (manualOpener)
        OpenManual(ctx_, manualOpener);
    else
        OpenManual(ctx_);
}
