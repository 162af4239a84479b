// Pictures of the options window, for looking at the layout:
//   options-screens <folder>
// writes one PNG per sub-panel, and for two firmware generations the panels as their own buttons open them.
#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "windows/options/OptionsWindow.h"

#include <QApplication>
#include <QDir>
#include <functional>

namespace {
void grab(TForm3 &w, const QString &folder, const QString &name) {
    w.show();
    QApplication::processEvents();
    w.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

void showOnly(TForm3 &w, QGroupBox *panel) {
    w.menuColumn->setVisible(panel == nullptr);
    for (QGroupBox *p : w.subPanels())
        p->setVisible(p == panel);
}
// The menu and the sub-panels reached through the window's own buttons, per firmware.
void grabButtonFlow(AppContext &ctx, const QString &folder) {
    TForm3 w(ctx);
    struct Panel {
        const char *name;
        std::function<void()> open;
        std::function<void()> close;
    };
    const Panel panels[] = {
        {"calibration_",
         [&] {
             w.Button_Engine_load_sensorClick();
             w.Button_automatic_cal2Click();
         },
         [&] { w.Button_Cancel_Engine_load_sensorClick(); }},
        {"pickup_", [&] { w.Button_RPM_pickupClick(); }, [&] { w.Button_Cancel_RPM_pickupClick(); }},
        {"aux_", [&] { w.Button_Second_stageClick(); },
         [&] {
             w.Button_Cancel_Second_stageClick();
             w.Button_Cancel_Second_stage_oudClick();
         }},
        {"interpolation_", [&] { w.Button_interpolation_to_limitsClick(); },
         [&] { w.Button_Cancel_interpolation_to_limitsClick(); }},
    };
    for (const QString version : {QStringLiteral("3FA1AD1AA"), QStringLiteral("2FA1AA1AA")}) {
        w.StaticText_version_info->setText(version);
        grab(w, folder, QStringLiteral("menu_") + version);
        for (const Panel &panel : panels) {
            panel.open();
            grab(w, folder, QLatin1String(panel.name) + version);
            panel.close();
        }
        w.Button_Cancel_Options_menuClick();
    }
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);
    AppContext ctx;
    Dialogs dialogs;
    ctx.dialogs = &dialogs;
    grabButtonFlow(ctx, folder);
    TForm3 w(ctx);

    showOnly(w, nullptr);
    grab(w, folder, QStringLiteral("menu"));
    for (QGroupBox *panel : w.subPanels()) {
        showOnly(w, panel);
        grab(w, folder, panel->objectName());
    }

    showOnly(w, w.GroupBox_RPM_pickup);
    w.GroupBox_RPM_Range->show();
    w.GroupBox_RPM_Range->raise();
    grab(w, folder, QStringLiteral("RPM_Range"));
    w.GroupBox_RPM_Range->hide();

    showOnly(w, w.GroupBox_engine_load_sensor);
    w.SetAirPressureMode(true);
    grab(w, folder, QStringLiteral("engine_load_air_pressure"));
    w.SetAirPressureMode(false);
    w.GroupBox_set_engineloadsensor_to_minmax->show();
    w.GroupBox_set_engineloadsensor_to_minmax->raise();
    grab(w, folder, QStringLiteral("calibration_prompt"));
    w.GroupBox_set_engineloadsensor_to_minmax->move(20, 170);
    grab(w, folder, QStringLiteral("calibration_prompt2"));
    w.GroupBox_set_engineloadsensor_to_minmax->hide();

    showOnly(w, w.GroupBox_Second_stage);
    w.SetAux1Mode0ChannelKind(1, 1);
    w.SetAux1Mode0ChannelKind(2, 4);
    w.SetAux1Mode1ChannelKind(1, 2);
    w.SetAux1Mode1ChannelKind(2, 3);
    grab(w, folder, QStringLiteral("aux1_kinds"));
    w.SetAux1ModeCode(3);
    grab(w, folder, QStringLiteral("aux1_mode1"));

    showOnly(w, w.GroupBox_interpolation_to_limits);
    w.UnpackInterpolationFlags(5);
    grab(w, folder, QStringLiteral("interpolation_5"));

    w.StaticText_version_info->setText(QStringLiteral("2FA1AA1AA"));
    w.ApplyThrottlePumpTypesForVersion();
    showOnly(w, w.GroupBox_Throttle_pump_effect);
    grab(w, folder, QStringLiteral("throttle_pump_old"));
    return 0;
}
