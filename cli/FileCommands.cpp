// diff and convert, and the calibration files the ECU commands read and write.
#include "cli/CliFiles.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "core/FirmwareVersion.h"
#include "core/ImageCompare.h"
#include "datalog/LogConvert.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

std::optional<CalibrationFileContents> ReadCalibration(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot be read (%1)").arg(file.errorString());
        return std::nullopt;
    }
    // No version needs more; a larger file is not a calibration.
    const QByteArray bytes = file.read(CalibrationFileLayout::MaxFileBytes + 1);
    std::optional<CalibrationFileContents> contents = DecodeCalibrationFile(bytes);
    if (!contents) {
        *error = QStringLiteral("is not a calibration file (too short for the version in its header)");
        return std::nullopt;
    }
    if (ClassifyVersion(contents->version) != VersionKind::Recognised) {
        *error =
            QStringLiteral("holds version \"%1\", which this program does not serve").arg(contents->version);
        return std::nullopt;
    }
    return contents;
}

bool WriteCalibration(const QString &path, const QString &version, const QVector<std::uint16_t> &image,
                      QString *error) {
    QSaveFile file(path);
    const QByteArray bytes = EncodeCalibrationFile(version, image);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("cannot be written (%1)").arg(file.errorString());
        return false;
    }
    return true;
}

QString CalibrationSuffix(const QString &version) {
    return VersionAtLeast(version, QStringLiteral("3FA")) ? QStringLiteral(".f03") : QStringLiteral(".f00");
}

QStringList DifferenceLines(const QString &version, const QVector<std::uint16_t> &first,
                            const QVector<std::uint16_t> &second) {
    QStringList lines;
    for (const FieldDifference &d : CompareImages(version, first, second)) {
        const QString unit = d.field.unit.isEmpty() ? QString() : QLatin1Char(' ') + d.field.unit;
        lines << QStringLiteral("%1: %2 -> %3%4").arg(d.field.name, d.first, d.second, unit);
    }
    return lines;
}

int RunDiff(const CliCall &call) {
    std::optional<CalibrationFileContents> files[2];
    for (int i = 0; i < 2; ++i) {
        QString error;
        files[i] = ReadCalibration(call.arguments[i], &error);
        if (!files[i]) {
            PrintError(QStringLiteral("diff: %1: %2").arg(call.arguments[i], error));
            return Exit::FileError;
        }
    }
    QStringList lines;
    if (files[0]->version != files[1]->version)
        lines << QStringLiteral("Firmware version: %1 -> %2").arg(files[0]->version, files[1]->version);
    lines << DifferenceLines(files[0]->version, files[0]->image, files[1]->image);
    if (lines.isEmpty())
        return Exit::Done;
    PrintOut(lines.join(QLatin1Char('\n')));
    return Exit::UsageOrDifference;
}

int RunConvert(const CliCall &call) {
    const QString from = call.arguments[0];
    const QString to = call.arguments[1];
    for (const QString &path : {from, to})
        if (Datalog::FormatForPath(path) == Datalog::LogFormat::Unknown) {
            PrintError(QStringLiteral("convert: %1: the extension must be .csv or .mlg").arg(path));
            return Exit::UsageOrDifference;
        }
    Datalog::LogInfo info;
    info.program = QStringLiteral("qvr-cli " QVR_VERSION);
    QString error;
    bool endedEarly = false;
    if (!Datalog::ConvertLog(from, to, info, &error, &endedEarly)) {
        PrintError(QStringLiteral("convert: %1 -> %2: %3").arg(from, to, error));
        return Exit::FileError;
    }
    if (endedEarly)
        PrintNote(QStringLiteral("%1 ends inside a record: converted as far as it reads").arg(from));
    return Exit::Done;
}
