#include "app/AppLinkEnvironment.h"

#include "app/AppContext.h"
#include "core/Encoding.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

bool AppLinkEnvironment::isOnline() const {
    return ctx_.form1 && ctx_.form1->IsOnline();
}

QString AppLinkEnvironment::currentVersion() const {
    if (ctx_.form3)
        return ctx_.form3->currentVersion();
    return QStringLiteral("3FA1AD1AA");
}

int AppLinkEnvironment::accessBits() const {
    if (!ctx_.form1)
        return 0;
    return AccessModeBits(ctx_.form1->CheckBox_ECU_readonly->isChecked(),
                          ctx_.form1->CheckBox_Display_dashboard_only->isChecked(),
                          ctx_.form1->CheckBox_No_access_to_ECU->isChecked());
}

QString AppLinkEnvironment::passwordText() const {
    return ctx_.form1 ? ctx_.form1->MaskEdit_Password->text() : QString();
}

int AppLinkEnvironment::calSensor() const {
    return ctx_.CalSensor;
}
