#include "rules/ManualChoice.h"

#include "core/FirmwareVersion.h"
#include "core/ProgramFiles.h"

#include <QFile>
#include <QtEndian>

QString ManualFileName(int languageValue, bool editionNames) {
    switch (languageValue) {
    case 1:
        return editionNames ? QStringLiteral("QVR Fuel English version 3_01.pdf")
                            : QStringLiteral("QVR Fuel English.pdf");
    case 2:
        return editionNames ? QStringLiteral("QVR Fuel Deutsch version 3_00.pdf")
                            : QStringLiteral("QVR Fuel Deutsch.pdf");
    case 3:
        return editionNames ? QStringLiteral("QVR Fuel Nederlands versie 3_00.pdf")
                            : QStringLiteral("QVR Fuel Nederlands.pdf");
    default:
        // An unknown value falls back to English, but to the older edition of the manual.
        return editionNames ? QStringLiteral("QVR Fuel English version 3_00.pdf")
                            : QStringLiteral("QVR Fuel English.pdf");
    }
}

std::optional<qint32> ReadLanguageValue(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray record = file.read(4);
    if (record.size() != 4)
        return std::nullopt;
    return qFromLittleEndian<qint32>(record.constData());
}

QString ProgramFilePath(const QString &programDirectory, const QString &name) {
    if (programDirectory.isEmpty() || programDirectory.endsWith(QLatin1Char('/')) ||
        programDirectory.endsWith(QLatin1Char('\\')))
        return programDirectory + name;
    return programDirectory + QLatin1Char('/') + name;
}

ManualChoice ChooseManualFile(const QString &programDirectory, const QString &version) {
    const std::optional<qint32> language = ReadLanguageValue(
        ProgramFiles::Locate(programDirectory).settingToRead(QStringLiteral("Language.ini")));
    if (!language)
        return {QStringLiteral("QVR Fuel English.pdf"), true};
    return {ManualFileName(*language, VersionAtLeast(version, QStringLiteral("3FA"))), false};
}
