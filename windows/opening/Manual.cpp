#include "windows/opening/Manual.h"

#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "core/ProgramFiles.h"
#include "rules/ManualChoice.h"
#include "windows/options/OptionsWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
QString currentVersion(const AppContext &ctx) {
    return ctx.form3 ? ctx.form3->currentVersion() : QStringLiteral("3FA1AD1AA");
}

void tell(AppContext &ctx, const QString &text) {
    if (ctx.dialogs)
        ctx.dialogs->plain(text);
}
} // namespace

bool OpenWithSystemViewer(const QString &path) {
    // openUrl happily "opens" a missing file on some desktops; look first so the user hears about it.
    if (!QFileInfo(path).isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString ChooseManual(AppContext &ctx) {
    const ManualChoice choice = ChooseManualFile(ctx.ProgramDirectory, currentVersion(ctx));
    if (choice.languageFileMissing)
        tell(ctx, QStringLiteral("Can't find: Language.ini"));
    return choice.fileName;
}

void OpenManual(AppContext &ctx, const DocumentOpener &opener) {
    const QString name = ChooseManual(ctx);
    const QString path = ProgramFiles::Locate(ctx.ProgramDirectory).manualPath(name);
    const bool opened = opener ? opener(path) : OpenWithSystemViewer(path);
    if (!opened)
        tell(ctx, QStringLiteral("Can't find:  ") + name);
}
