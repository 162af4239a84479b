#pragma once
// Which PDF manual the help command opens: chosen from "Language.ini" and the firmware version.
// No widgets and no message boxes here; Manual.h shows the messages and asks the system to open the file.
#include <QString>
#include <optional>

// Value of "Language.ini": 1 English, 2 German, 3 Dutch, anything else English.
// `editionNames` is VersionAtLeast(version, "3FA"): the names that carry an edition number.
QString ManualFileName(int languageValue, bool editionNames);

// First 4 bytes of the file as a 32-bit little-endian integer; nothing when the file is missing,
// unreadable or shorter than 4 bytes.
std::optional<qint32> ReadLanguageValue(const QString &path);

struct ManualChoice {
    QString fileName;
    bool languageFileMissing = false; // then the old English name is used
};

// Reads "Language.ini" (beside the program, or the user's copy of an installed program, see
// core/ProgramFiles.h) and picks the name for the version.
ManualChoice ChooseManualFile(const QString &programDirectory, const QString &version);

// programDirectory + name, whether or not the directory ends in a separator.
QString ProgramFilePath(const QString &programDirectory, const QString &name);
