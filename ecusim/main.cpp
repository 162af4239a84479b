// qvr-ecusim: a simulated ECU on a pseudo-terminal. Prints the line's path, then serves until stopped.
#include "ecusim/DemoCalibration.h"
#include "ecusim/EcuCalibrationFile.h"
#include "ecusim/EcuSim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

int Fail(const QString &text) {
    std::fprintf(stderr, "qvr-ecusim: %s\n", qPrintable(text));
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qvr-ecusim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QVR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated fuel-injection ECU on a pseudo-terminal. The first line printed is the path of the line;\n"
        "open it as the program's serial port. Runs until interrupted (SIGINT or SIGTERM)."));
    parser.addHelpOption();
    // "--version" is the program's own; the firmware version the ECU reports is "--version-string".
    parser.addVersionOption();
    const QCommandLineOption versionOpt(
        QStringLiteral("version-string"),
        QStringLiteral("Firmware version reported by \"V\" (default 3FA1AD1AA)."), QStringLiteral("text"),
        QStringLiteral("3FA1AD1AA"));
    const QCommandLineOption serialOpt(QStringLiteral("serial"),
                                       QStringLiteral("Serial number reported by \"S\" (default 123456)."),
                                       QStringLiteral("text"), QStringLiteral("123456"));
    const QCommandLineOption accessOpt(
        QStringLiteral("access"),
        QStringLiteral("Access bits: 0 full, 4 settings read-only, 8 dashboard only (+4), 16 no access."),
        QStringLiteral("bits"), QStringLiteral("0"));
    const QCommandLineOption passwordOpt(
        QStringLiteral("password"),
        QStringLiteral("Password the ECU checks, padded with \"0\" to 10 characters (default 0000000000)."),
        QStringLiteral("text"), QStringLiteral("0000000000"));
    const QCommandLineOption fileOpt(
        QStringLiteral("file"),
        QStringLiteral("Initial calibration (.f03 or .f00); its header also sets the "
                       "version unless --version-string is given."),
        QStringLiteral("path"));
    const QCommandLineOption demoOpt(QStringLiteral("demo-image"),
                                     QStringLiteral("Start with a plausible calibration instead of zeros."));
    const QCommandLineOption pacedOpt(QStringLiteral("paced"),
                                      QStringLiteral("Send replies at the speed of a 9600-baud line."));
    const QCommandLineOption faultOpt(
        QStringLiteral("fault"),
        QStringLiteral(
            "Faults, comma-separated: silent=N (ignore N requests), badsum=N (N bad checksums),\n"
            "split=PIECES:GAPMS[:N], stray=BYTE[:GAPMS[:N]], delay=MS[:N|all],\n"
            "close=N[:BYTES] (hang up instead of answering request N+1, after BYTES of its reply),\n"
            "badstore=N[:ADDRESS] (N stored words altered), letter=L (faults only on requests L),\n"
            "random=PERMILLE[:SEED] (random faults for soaking)."),
        QStringLiteral("plan"));
    const QCommandLineOption seedOpt(QStringLiteral("seed"),
                                     QStringLiteral("Seed of the engine model (default 1)."),
                                     QStringLiteral("number"), QStringLiteral("1"));
    const QCommandLineOption verboseOpt(QStringLiteral("verbose"),
                                        QStringLiteral("Print every request received on standard error."));
    parser.addOptions({versionOpt, serialOpt, accessOpt, passwordOpt, fileOpt, demoOpt, pacedOpt, faultOpt,
                       seedOpt, verboseOpt});
    parser.process(app);

    EcuSimConfig config;
    if (parser.isSet(demoOpt))
        config.image = DemoCalibrationImage();
    if (parser.isSet(fileOpt)) {
        EcuCalibrationFile file;
        QString error;
        if (!ReadEcuCalibrationFile(parser.value(fileOpt), &file, &error))
            return Fail(error);
        config.version = file.version;
        config.image = file.image;
    }
    if (parser.isSet(versionOpt) || !parser.isSet(fileOpt))
        config.version = parser.value(versionOpt);
    config.serial = parser.value(serialOpt).toLatin1();
    bool ok = false;
    config.accessBits = parser.value(accessOpt).toInt(&ok);
    if (!ok || config.accessBits < 0 || (config.accessBits & ~28) != 0)
        return Fail(QStringLiteral("--access takes a sum of 4, 8 and 16"));
    const QByteArray password = parser.value(passwordOpt).toLatin1();
    if (password.isEmpty() || password.size() > 10)
        return Fail(QStringLiteral("--password takes 1 to 10 characters"));
    config.password = password + QByteArray(10 - password.size(), '0');
    config.seed = parser.value(seedOpt).toULongLong(&ok);
    if (!ok)
        return Fail(QStringLiteral("--seed takes a number"));
    config.paced = parser.isSet(pacedOpt);
    if (parser.isSet(faultOpt)) {
        QString error;
        if (!ParseFaultPlan(parser.value(faultOpt), &config.faults, &error))
            return Fail(error);
    }

    if (::pipe(g_signalPipe) != 0)
        return Fail(QStringLiteral("cannot create a pipe"));
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    QSocketNotifier stopNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    EcuSim sim;
    QString error;
    if (!sim.open(config, &error))
        return Fail(error);
    if (parser.isSet(verboseOpt))
        QObject::connect(&sim, &EcuSim::requestReceived, &app,
                         [](char letter) { std::fprintf(stderr, "request %c\n", letter); });
    QObject::connect(&sim, &EcuSim::lineClosed, &app,
                     [] { std::fprintf(stderr, "qvr-ecusim: line closed\n"); });

    std::printf("%s\n", qPrintable(sim.slavePath()));
    std::fflush(stdout);
    return app.exec();
}
