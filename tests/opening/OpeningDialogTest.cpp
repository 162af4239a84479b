#include "windows/opening/OpeningDialog.h"
#include "app/AppContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

class OpeningDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsNameVersionPictureAndOk() {
        AppContext ctx;
        TOKBottomDlg_openingsscherm dlg(ctx);
        QCOMPARE(dlg.objectName(), QStringLiteral("TOKBottomDlg_openingsscherm"));
        QCOMPARE(dlg.size(), QSize(617, 367));
        QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dlg.palette().color(QPalette::Window), QColor(192, 192, 192));

        auto *versie = dlg.findChild<QLabel *>(QStringLiteral("Label_versie"));
        QVERIFY(versie);
        QCOMPARE(versie->text(), QStringLiteral("3.05"));
        QCOMPARE(versie->font().family(), QStringLiteral("Arial"));
        QCOMPARE(versie->font().pixelSize(), 16);
        QVERIFY(versie->font().bold());
        QStringList texts;
        for (QLabel *l : dlg.findChildren<QLabel *>())
            texts << l->text();
        QVERIFY(texts.contains(QStringLiteral("QVR Fuel")));
        QVERIFY(texts.contains(QStringLiteral("Version: V")));

        QCOMPARE(dlg.Image1->pixmap().size(), QSize(617, 301));
        QVERIFY(!dlg.Image1->pixmap().toImage().allGray()); // something was drawn
        QCOMPARE(dlg.Panel_strip->palette().color(QPalette::Window), QColor(0, 0, 255));

        auto *ok = dlg.findChild<QPushButton *>(QStringLiteral("OKBtn"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());

        auto *timer = dlg.findChild<QTimer *>(QStringLiteral("Timer1"));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 10000);
        QVERIFY(!timer->isActive()); // counts from the showing, not from the creation
    }

    void captionsSitSideBySideBelowThePictureWithinTheDialog() {
        AppContext ctx;
        TOKBottomDlg_openingsscherm dlg(ctx);
        const QRect name = dlg.Label_QVR_Fuel->geometry();
        const QRect version = dlg.Label_version->geometry();
        const QRect versie = dlg.Label_versie->geometry();
        QVERIFY(name.right() < version.left());
        QVERIFY(version.right() < versie.left());
        for (const QRect &r : {name, version, versie, dlg.OKBtn->geometry()}) {
            QVERIFY(r.top() >= 301);
            QVERIFY(dlg.rect().contains(r));
            QVERIFY(!r.intersects(dlg.Panel_strip->geometry()));
        }
        QVERIFY(!versie.intersects(dlg.OKBtn->geometry()));
    }

    void okEnterAndEscapeAllCloseWithOk_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("click") << 0;
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("enter") << int(Qt::Key_Enter);
        QTest::newRow("escape") << int(Qt::Key_Escape);
    }
    void okEnterAndEscapeAllCloseWithOk() {
        QFETCH(int, how);
        AppContext ctx;
        TOKBottomDlg_openingsscherm dlg(ctx);
        QTimer::singleShot(0, &dlg, [&] {
            QVERIFY(dlg.Timer1->isActive());
            if (how == 0)
                QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
            else
                QTest::keyClick(&dlg, Qt::Key(how));
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QVERIFY(!dlg.Timer1->isActive());
    }

    void timerClosesTheDialogAsCancel() {
        AppContext ctx;
        TOKBottomDlg_openingsscherm dlg(ctx);
        dlg.Timer1->setInterval(40);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(clock.elapsed() >= 35);
        QVERIFY(!dlg.isVisible());
        QVERIFY(!dlg.Timer1->isActive());
    }

    void timerFiringAfterCloseDoesNothing() {
        AppContext ctx;
        TOKBottomDlg_openingsscherm dlg(ctx);
        QTimer::singleShot(0, &dlg, [&] { dlg.OKBtn->click(); });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        dlg.Timer1Timer(); // a late tick must not change the answer
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void startupHelperShowsTheDialogModallyAndReportsItsResult() {
        AppContext ctx;
        QTimer::singleShot(0, [] {
            auto *dlg = qobject_cast<TOKBottomDlg_openingsscherm *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->OKBtn->click();
        });
        QCOMPARE(ShowOpeningDialog(ctx), int(QDialog::Accepted));
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                !qobject_cast<TOKBottomDlg_openingsscherm *>(QApplication::activeModalWidget()));

        QTimer::singleShot(0, [] {
            auto *dlg = qobject_cast<TOKBottomDlg_openingsscherm *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->Timer1->start(20);
        });
        QCOMPARE(ShowOpeningDialog(ctx), int(QDialog::Rejected));
    }

    // The window manager shows a caption as the program sets it; nothing is appended to it. Checked on a
    // real X display, where the program's own start-up decides what the title bar gets.
    void theProgramsCaptionsReachTheScreenUnchanged() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
        if (xvfb.isEmpty() || xwininfo.isEmpty())
            QSKIP("needs Xvfb and xwininfo");
        QProcess server;
        server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 20000);
        const QString display = QLatin1Char(':') + QString::fromLatin1(server.readLine()).trimmed();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QVR_FUEL_PROGRAM), {"-O"});
        QVERIFY(program.waitForStarted());

        auto captions = [&] {
            QProcess info;
            info.setProcessEnvironment(env);
            info.start(xwininfo, {"-root", "-tree"});
            info.waitForFinished();
            QStringList names;
            static const QRegularExpression named(QStringLiteral("0x[0-9a-f]+ \"([^\"]+)\""));
            for (const auto &m : named.globalMatch(QString::fromUtf8(info.readAllStandardOutput())))
                names << m.captured(1);
            return names;
        };
        QStringList names;
        QTRY_VERIFY_WITH_TIMEOUT((names = captions()).filter("Injection-Map").size() == 1, 60000);
        program.kill();
        program.waitForFinished();
        server.kill();
        server.waitForFinished();

        const QString main = names.filter("Injection-Map").first();
        QVERIFY2(main.startsWith(QStringLiteral("QVR ")), qPrintable(main));
        for (const QString &name : names)
            QVERIFY2(!name.endsWith(QStringLiteral(" \u2014 QVR Fuel")), qPrintable(name));
    }
};

QTEST_MAIN(OpeningDialogTest)
#include "OpeningDialogTest.moc"
