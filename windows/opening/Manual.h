#pragma once
// The help command (F1 in every window, "Help  F1" on the main window): opens the manual in the
// language of "Language.ini" for the current firmware version.
#include <QString>
#include <functional>

struct AppContext;

// Opens a document with the system's viewer; false when the file is not there or nothing could open it.
using DocumentOpener = std::function<bool(const QString &path)>;
bool OpenWithSystemViewer(const QString &path);

// Picks the manual for the current version (the options window's caption, or the design-time
// "3FA1AD1AA" while there is none); tells the user when "Language.ini" cannot be read.
QString ChooseManual(AppContext &ctx);

// ChooseManual, then opens the manual of that name: beside the program, or for an installed program in
// the package's data folder. Tells the user when it cannot be found.
// Without an opener the system viewer is used.
void OpenManual(AppContext &ctx, const DocumentOpener &opener = {});
