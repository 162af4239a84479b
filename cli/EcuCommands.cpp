// info, read, write, verify and lock: one conversation with the ECU each.
#include "cli/CliFiles.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/EcuConnection.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"

#include <QFileInfo>

namespace {
const QString Force = QStringLiteral("force");

// A name without a calibration extension gets the firmware's; the other generation's is refused.
bool ChooseFileName(EcuConnection &ecu, const QString &given, QString *path) {
    const QString suffix = CalibrationSuffix(ecu.identity().version);
    const QString existing = QFileInfo(given).suffix().toLower();
    if (!existing.startsWith(QLatin1String("f0"))) {
        *path = given + suffix;
        return true;
    }
    if (QLatin1Char('.') + existing != suffix) {
        ecu.fail(Exit::UsageOrDifference, QStringLiteral("firmware %1 calls for a %2 file, not %3")
                                              .arg(ecu.identity().version, suffix, given));
        return false;
    }
    *path = given;
    return true;
}

// Below "3FA" each word goes out as one "C"; a fuel-map word from 0x7FFF on is what a live trim sends, and
// the ECU would store it less 0x7FFF.
int FirstWordTakenForATrim(const QString &version, const QVector<std::uint16_t> &image) {
    if (VersionAtLeast(version, QStringLiteral("3FA")))
        return -1;
    for (int w = 0; w < MapRows * MapColumns && w < image.size(); ++w)
        if (image[w] >= 0x7FFF)
            return w;
    return -1;
}

bool ReadEcu(EcuConnection &ecu, QVector<std::uint16_t> *image) {
    Progress progress(QStringLiteral("reading"));
    return ecu.session().readImage(image, [&](int done, int total) { progress.update(done, total); });
}

// Read back and compared with `image` by the fields of `version`; prints the differences.
int CompareWithEcu(EcuConnection &ecu, const QString &version, const QVector<std::uint16_t> &image,
                   const QString &what) {
    QVector<std::uint16_t> held;
    if (!ReadEcu(ecu, &held))
        return ecu.failed();
    QStringList lines;
    if (ecu.identity().version != version)
        lines << QStringLiteral("Firmware version: %1 -> %2").arg(version, ecu.identity().version);
    lines << DifferenceLines(version, image, held);
    if (lines.isEmpty()) {
        PrintOut(QStringLiteral("the ECU holds %1").arg(what));
        return Exit::Done;
    }
    PrintOut(lines.join(QLatin1Char('\n')));
    return ecu.fail(
        Exit::VerifyMismatch,
        QStringLiteral("the ECU's calibration differs from %1 in %2 field(s)").arg(what).arg(lines.size()));
}

// The calibration file named by the command's second argument; says why when it cannot be read.
std::optional<CalibrationFileContents> ReadCalibrationFor(const CliCall &call) {
    QString error;
    std::optional<CalibrationFileContents> file = ReadCalibration(call.arguments[1], &error);
    if (!file)
        PrintError(QStringLiteral("%1: %2: %3").arg(call.command, call.arguments[1], error));
    return file;
}

// Runs `work` once the ECU allows it, then sets back a lifted access mode.
int WithPermission(EcuConnection &ecu, bool (*allows)(int), const QString &what,
                   const std::function<int()> &work) {
    if (!ecu.permit(allows, what))
        return Exit::LineOrEcu;
    const int status = work();
    ecu.restore();
    return status;
}
} // namespace

int RunInfo(const CliCall &call) {
    EcuConnection ecu(call);
    if (!ecu.open(true))
        return Exit::LineOrEcu;
    const EcuIdentity &id = ecu.identity();
    QString access = QStringLiteral("none on firmware before 3FA1AC");
    if (id.accessBits)
        access = QStringLiteral("%1 (bits %2)").arg(AccessModeText(*id.accessBits)).arg(*id.accessBits);
    PrintOut(QStringLiteral("port     %1\nversion  %2\nserial   %3\naccess   %4")
                 .arg(ecu.port(), id.version, id.serial, access));
    if (EcuIsNewer(id.version))
        PrintNote(QStringLiteral("the firmware is newer than this program"));
    return Exit::Done;
}

int RunRead(const CliCall &call) {
    EcuConnection ecu(call);
    if (!ecu.open(call.has(Force)))
        return Exit::LineOrEcu;
    QString path;
    if (!ChooseFileName(ecu, call.arguments[1], &path))
        return Exit::UsageOrDifference;
    return WithPermission(ecu, AccessAllowsReading, QStringLiteral("reading the calibration"), [&] {
        QVector<std::uint16_t> image;
        if (!ReadEcu(ecu, &image))
            return ecu.failed();
        QString error;
        if (!WriteCalibration(path, ecu.identity().version, image, &error)) {
            PrintError(QStringLiteral("read: %1: %2").arg(path, error));
            return Exit::FileError;
        }
        PrintOut(QStringLiteral("%1: calibration of version %2 from %3")
                     .arg(path, ecu.identity().version, ecu.port()));
        return Exit::Done;
    });
}

int RunWrite(const CliCall &call) {
    const QString path = call.arguments[1];
    const std::optional<CalibrationFileContents> file = ReadCalibrationFor(call);
    if (!file)
        return Exit::FileError;
    const int trimWord = FirstWordTakenForATrim(file->version, file->image);
    if (trimWord >= 0) {
        PrintError(QStringLiteral("write: %1: fuel-map word %2 (%3) is beyond what firmware %4 can store")
                       .arg(path)
                       .arg(trimWord)
                       .arg(file->image[trimWord])
                       .arg(file->version));
        return Exit::FileError;
    }
    const bool force = call.has(Force);
    if (!force && EcuIsNewer(file->version)) {
        PrintError(
            QStringLiteral("write: %1: the calibration's firmware %2 is newer than this program (--force "
                           "writes it anyway)")
                .arg(path, file->version));
        return Exit::FileError;
    }
    EcuConnection ecu(call);
    if (!ecu.open(force))
        return Exit::LineOrEcu;
    return WithPermission(ecu, AccessAllowsWriting, QStringLiteral("writing the calibration"), [&] {
        Progress progress(QStringLiteral("writing"));
        if (!ecu.session().writeImage(file->version, file->image, force,
                                      [&](int done, int total) { progress.update(done, total); }))
            return ecu.failed();
        progress.finish();
        PrintOut(QStringLiteral("%1: written to %2 (not locked)").arg(path, ecu.port()));
        if (!call.has(QStringLiteral("verify")))
            return Exit::Done;
        return CompareWithEcu(ecu, file->version, file->image, path);
    });
}

int RunVerify(const CliCall &call) {
    const QString path = call.arguments[1];
    const std::optional<CalibrationFileContents> file = ReadCalibrationFor(call);
    if (!file)
        return Exit::FileError;
    EcuConnection ecu(call);
    if (!ecu.open(call.has(Force)))
        return Exit::LineOrEcu;
    return WithPermission(ecu, AccessAllowsReading, QStringLiteral("reading the calibration"),
                          [&] { return CompareWithEcu(ecu, file->version, file->image, path); });
}

int RunLock(const CliCall &call) {
    EcuConnection ecu(call);
    if (!ecu.open(true))
        return Exit::LineOrEcu;
    return WithPermission(ecu, AccessAllowsLocking, QStringLiteral("locking"), [&] {
        if (!ecu.session().lock())
            return ecu.failed();
        PrintOut(QStringLiteral("%1: locked").arg(ecu.port()));
        return Exit::Done;
    });
}
