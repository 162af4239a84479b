// Not a test: pictures of the options window reached through its own buttons, per firmware:
//   options2-screens <folder>
#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "windows/options/OptionsWindow.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);
    AppContext ctx;
    Dialogs dialogs;
    ctx.dialogs = &dialogs;
    TForm3 w(ctx);
    auto grab = [&](const QString &name) {
        QApplication::processEvents();
        w.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    };
    for (const QString version : {QStringLiteral("3FA1AD1AA"), QStringLiteral("2FA1AA1AA")}) {
        w.StaticText_version_info->setText(version);
        w.show();
        grab(QStringLiteral("menu_") + version);
        w.Button_Engine_load_sensorClick();
        w.Button_automatic_cal2Click();
        grab(QStringLiteral("calibration_") + version);
        w.Button_Cancel_Engine_load_sensorClick();
        w.Button_RPM_pickupClick();
        grab(QStringLiteral("pickup_") + version);
        w.Button_Cancel_RPM_pickupClick();
        w.Button_Second_stageClick();
        grab(QStringLiteral("aux_") + version);
        w.Button_Cancel_Second_stageClick();
        w.Button_Cancel_Second_stage_oudClick();
        w.Button_interpolation_to_limitsClick();
        grab(QStringLiteral("interpolation_") + version);
        w.Button_Cancel_interpolation_to_limitsClick();
        w.Button_Cancel_Options_menuClick();
    }
    return 0;
}
