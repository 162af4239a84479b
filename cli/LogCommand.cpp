// log: the live data into a CSV or binary log, as the window program records it.
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/EcuConnection.h"
#include "core/FirmwareVersion.h"
#include "core/ResponseCurves.h"
#include "datalog/LogWriter.h"
#include "session/LiveRecord.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <csignal>

namespace {
volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
}

bool NumberOption(const CliCall &call, const QString &name, double minimum, double maximum, double *value) {
    if (!call.has(name))
        return true;
    bool ok = false;
    *value = call.value(name).toDouble(&ok);
    if (ok && *value >= minimum && *value <= maximum)
        return true;
    PrintError(QStringLiteral("log: --%1 takes a number from %2 to %3").arg(name).arg(minimum).arg(maximum));
    return false;
}
} // namespace

int RunLog(const CliCall &call) {
    const QString path = call.arguments[1];
    const Datalog::LogFormat format = Datalog::FormatForPath(path);
    if (format == Datalog::LogFormat::Unknown) {
        PrintError(QStringLiteral("log: %1: the extension must be .csv or .mlg").arg(path));
        return Exit::UsageOrDifference;
    }
    double seconds = 0;
    double pollMs = 100;
    if (!NumberOption(call, QStringLiteral("duration"), 0, 1e7, &seconds) ||
        !NumberOption(call, QStringLiteral("poll-ms"), 10, 100, &pollMs))
        return Exit::UsageOrDifference;

    EcuConnection ecu(call);
    if (!ecu.open(call.has(QStringLiteral("force"))))
        return Exit::LineOrEcu;
    const QString version = ecu.identity().version;
    const int bits = ecu.identity().accessBits.value_or(0);
    // The loads and the map cell are decoded with the calibration's settings, as the options window holds
    // them; an ECU that shows only its dashboard keeps them to itself.
    const bool readCalibration = AccessAllowsReading(bits) || call.has(QStringLiteral("password"));
    if (!ecu.permit(readCalibration ? AccessAllowsReading : AccessAllowsLiveData,
                    QStringLiteral("live data")))
        return Exit::LineOrEcu;
    LiveRecordSettings settings = LiveRecordSettingsFromImage(version, {});
    if (readCalibration) {
        QVector<std::uint16_t> image;
        if (!ecu.session().readImage(&image)) {
            const int status = ecu.failed();
            ecu.restore();
            return status;
        }
        settings = LiveRecordSettingsFromImage(version, image);
    } else {
        PrintNote(QStringLiteral("the access mode (%1) keeps the calibration hidden: loads and map cell are "
                                 "decoded with the start-up settings")
                      .arg(AccessModeText(bits)));
    }

    const bool longFrames = VersionAtLeast(version, QStringLiteral("3FA"));
    const QList<Datalog::LiveChannel> channels =
        Datalog::LiveChannels(longFrames ? Datalog::LiveFrameKind::Long : Datalog::LiveFrameKind::Short);
    std::unique_ptr<Datalog::LogWriter> writer = Datalog::MakeLogWriter(format);
    Datalog::LogInfo info;
    info.program = QStringLiteral("qvr-cli " QVR_VERSION);
    info.ecuVersion = version;
    info.ecuSerial = ecu.identity().serial;
    info.start = QDateTime::currentDateTime();
    if (!writer->open(path, Datalog::ChannelsOf(channels), info)) {
        PrintError(QStringLiteral("log: %1: %2").arg(path, writer->errorString()));
        ecu.restore();
        return Exit::FileError;
    }

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const ResponseCurves curves;
    QElapsedTimer clock;
    QElapsedTimer sinceFlush;
    clock.start();
    sinceFlush.start();
    int records = 0;
    bool fileFailed = false;
    ecu.session().setPollInterval(int(pollMs));
    const bool polled = ecu.session().poll(
        [&](const QByteArray &frame) {
            // A frame of the other kind does not fit the columns.
            if (fileFailed || frame.isEmpty() || (frame.at(0) == 'd') != longFrames)
                return;
            Datalog::Record record;
            record.time = clock.elapsed() / 1000.0;
            record.values = LiveRecordValues(channels, frame, settings, curves);
            fileFailed = !writer->append(record);
            ++records;
            // At most a second of records is lost when the program is killed.
            if (!fileFailed && sinceFlush.elapsed() >= 1000) {
                fileFailed = !writer->flush();
                sinceFlush.restart();
            }
        },
        [&] { return !g_interrupted && !fileFailed && (seconds <= 0 || clock.elapsed() < seconds * 1000); });
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    const bool closed = writer->close();
    int status = Exit::Done;
    if (fileFailed || !closed) {
        PrintError(QStringLiteral("log: %1: %2").arg(path, writer->errorString()));
        status = Exit::FileError;
    } else if (!polled) {
        status = ecu.failed();
    }
    ecu.restore();
    PrintOut(QStringLiteral("%1: %2 records in %3 s")
                 .arg(path)
                 .arg(records)
                 .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    return status;
}
