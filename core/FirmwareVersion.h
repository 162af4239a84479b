#pragma once
// Firmware version strings ("3FA1AD1AA") and the one comparison every feature gate uses.
// All functions read the text as bytes; a short text compares as if padded with NUL.
#include <QString>

// True when `version` is at or above `threshold` (9 characters; a space in the threshold matches anything,
// so "3FA" is a prefix test).
bool VersionAtLeast(const QString &version, const QString &threshold);
// Characters 7..9 of the version compared byte by byte with the program's own sub-version.
bool EcuIsNewer(const QString &version, const QString &softwareSubVersion = QStringLiteral("1AA"));
// "1FA", "1FB", "2FA", "3FA".
bool IsRecognisedFamily(const QString &version);
// Not a recognised family, but a fuel-injection system ("F" as second character).
bool IsUnsupportedFuelVersion(const QString &version);

// Texts of the boxes shown for unsupported and foreign systems.
QString UnsupportedVersionText(const QString &version, const QString &serialNumber);
QString ForeignSystemText(const QString &version);
// "ECU is newer then the PC software" ...
QString EcuNewerText();

// Which of the three outcomes the version check has: a family this program serves, a fuel-injection
// system it does not know, or another kind of system altogether.
enum class VersionKind { Recognised, UnsupportedFuel, Foreign };
VersionKind ClassifyVersion(const QString &version);
// The warning text for the version (empty for a recognised family).
QString VersionWarningText(const QString &version, const QString &serialNumber);

// Words of the calibration image for the version: 1089 from "3FA" on, 511 below.
int ImageWordCount(const QString &version);
