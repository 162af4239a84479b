#pragma once
// The checks run before identification ends, before reading and before writing: is this a firmware the
// program serves, and is the ECU newer than the program.
#include <QString>

struct AppContext;

// Looks at the version caption now. A family the program serves gives true. Anything else stops the link,
// hides the progress box, shows the warning for that version and gives false.
bool ApplyVersionLayout(AppContext &ctx);

// "ECU is newer ..." when the ECU's sub-version is above the program's. Before a write the user chooses
// Cancel (false) or Ignore (true); no box at all gives true.
bool ConfirmIfEcuNewer(AppContext &ctx);

// At identification the same text comes with OK only; true when the ECU is newer (the box was shown).
bool ReportEcuNewer(AppContext &ctx);

// The two warnings of the version read made before a write, for an ECU version the program does not serve.
QString UnsupportedBeforeWriteText(const QString &ecuVersion);
QString ForeignBeforeWriteText(const QString &ecuVersion);
// The warning shown when the ECU's version differs from the calibration's.
QString FileMismatchText(const QString &fileVersion, const QString &ecuVersion);
