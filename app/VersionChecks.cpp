#include "app/VersionChecks.h"

#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

namespace {
QString versionOf(AppContext &ctx) {
    return ctx.form3 ? ctx.form3->currentVersion() : QStringLiteral("3FA1AD1AA");
}
} // namespace

bool ApplyVersionLayout(AppContext &ctx) {
    const QString version = versionOf(ctx);
    if (ClassifyVersion(version) == VersionKind::Recognised)
        return true;
    if (ctx.link)
        ctx.link->StopLink();
    if (ctx.form1)
        ctx.form1->GroupBox_gauge_up_down_loading->hide();
    const QString serial = ctx.form3 ? ctx.form3->StaticText_Serial_number->text() : QString();
    if (ctx.dialogs)
        ctx.dialogs->warning(VersionWarningText(version, serial));
    return false;
}

bool ConfirmIfEcuNewer(AppContext &ctx) {
    if (!EcuIsNewer(versionOf(ctx), ctx.SoftwareSubVersion) || !ctx.dialogs)
        return true;
    return ctx.dialogs->show(DialogKind::Information, EcuNewerText(),
                             {DialogButton::Cancel, DialogButton::Ignore}) != DialogButton::Cancel;
}

bool ReportEcuNewer(AppContext &ctx) {
    if (!EcuIsNewer(versionOf(ctx), ctx.SoftwareSubVersion))
        return false;
    if (ctx.dialogs)
        ctx.dialogs->information(EcuNewerText());
    return true;
}

QString UnsupportedBeforeWriteText(const QString &ecuVersion) {
    return QStringLiteral("This Version nr : ") + ecuVersion + QStringLiteral("\r\r\n") +
           QStringLiteral("is not supported by this software ") + QStringLiteral("\r\r\n") +
           QStringLiteral("Call your Software supplier for information !!!");
}

QString ForeignBeforeWriteText(const QString &ecuVersion) {
    QString kind = QStringLiteral("correct");
    const QByteArray bytes = ecuVersion.toLatin1();
    const char second = bytes.size() > 1 ? bytes.at(1) : '\0';
    if (second == 'M')
        kind = QStringLiteral("Motormanagement");
    else if (second == 'I')
        kind = QStringLiteral("Ignition");
    return QStringLiteral(
               "This software is for Fuel systems only\r\r\nCall your Software supplier for the ") +
           kind + QStringLiteral(" version !!!");
}

QString FileMismatchText(const QString &fileVersion, const QString &ecuVersion) {
    return QStringLiteral("The file does not match the current system!!!\r\r\nFile version nr  : ") +
           fileVersion + QStringLiteral("\r\r\n") + QStringLiteral("System version nr: ") + ecuVersion;
}
