// qvr-ecusim as a separate program: prints its line, answers on it, stops on SIGTERM.
#include "PtyClient.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class EcuSimProgramTest : public QObject {
    Q_OBJECT

private:
    // Starts the program and returns the path from its first line, or an empty text.
    static QString Launch(QProcess &process, const QStringList &arguments) {
        process.start(QStringLiteral(QVR_ECUSIM_PATH), arguments);
        if (!process.waitForStarted(5000))
            return QString();
        QElapsedTimer clock;
        clock.start();
        while (!process.canReadLine() && clock.elapsed() < 5000)
            process.waitForReadyRead(100);
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    static void Stop(QProcess &process) {
        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

private slots:
    void printsItsLineAndAnswersVersion() {
        QProcess process;
        const QString path = Launch(process, {"--version-string", "3FA1AC1AA", "--serial", "654321"});
        QVERIFY2(path.startsWith("/dev/"), qPrintable(path));
        {
            PtyClient line(path);
            QVERIFY(line.isOpen());
            QCOMPARE(line.ask("V"), QByteArray("V3FA1AC1AA") + char(0x78));
            QCOMPARE(line.ask("S"), Framed("S654321"));
        }
        Stop(process);
    }

    void loadsCalibrationFileAndKeepsItsOptions() {
        QTemporaryDir dir;
        const QString file = dir.filePath("start.f03");
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(QByteArray("F31ABAA1\0A\0\0", 12)); // 3FA1AB1AA
            for (int w = 0; w < 690; ++w) {               // words 0..688 and the trailer
                const int value = w == 689 ? 0 : 1000 + w;
                out.write(QByteArray(1, char(value & 0xFF)) + char(value >> 8));
            }
        }
        QProcess process;
        const QString path =
            Launch(process, {"--file", file, "--access", "4", "--fault", "silent=1", "--paced"});
        QVERIFY2(path.startsWith("/dev/"), qPrintable(path));
        {
            PtyClient line(path);
            QCOMPARE(line.ask("V"), QByteArray()); // the planned lost request
            QCOMPARE(line.ask("V", 300), Framed("V3FA1AB1AA"));
            // Words 400 and 401 are 1400 (0x0578) and 1401.
            QCOMPARE(line.ask(Framed(QByteArray("Z\x01\x90\x00\x02", 5)), 300),
                     Framed(QByteArray("Z\x05\x78\x05\x79", 5)));
            QCOMPARE(line.ask(Framed(QByteArray("C\x00\x00\x00\x01", 5)), 300), QByteArray("N")); // read-only
        }
        Stop(process);
    }

    void refusesBadOptions() {
        for (const QStringList &arguments :
             {QStringList{"--access", "3"}, QStringList{"--fault", "sometimes"},
              QStringList{"--password", "ELEVENCHARS"}, QStringList{"--file", "/nonexistent/file.f03"}}) {
            QProcess process;
            process.start(QStringLiteral(QVR_ECUSIM_PATH), arguments);
            QVERIFY(process.waitForFinished(5000));
            QCOMPARE(process.exitCode(), 2);
            QVERIFY(process.readAllStandardOutput().isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(EcuSimProgramTest)
#include "EcuSimProgramTest.moc"
