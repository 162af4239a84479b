#include "windows/opening/Manual.h"
#include "app/AppContext.h"
#include "app/MessageBoxPresenter.h"
#include "core/Dialogs.h"
#include "core/ProgramFiles.h"
#include "link/Link.h"
#include "rules/ManualChoice.h"
#include "windows/options/OptionsWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
void writeLanguage(const QString &dir, const QByteArray &bytes) {
    QFile f(dir + QStringLiteral("/Language.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
// A program folder of the kind named: a build's, a package's "usr/bin" beside "usr/share/qvr-fuel/manuals",
// a folder the user cannot write, or one that is gone.
QString programFolder(const QString &root, const QString &kind) {
    if (kind == QLatin1String("missing"))
        return root + QStringLiteral("/gone/");
    const QString bin = root + (kind == QLatin1String("installed") ? "/usr/bin/" : "/bin/");
    QDir().mkpath(bin);
    if (kind == QLatin1String("installed"))
        QDir().mkpath(root + QStringLiteral("/usr/share/qvr-fuel/manuals"));
    if (kind == QLatin1String("read-only"))
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner);
    return bin;
}
QByteArray le32(qint32 v) {
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF) + char((v >> 16) & 0xFF) +
           char((v >> 24) & 0xFF);
}
// A program in a temporary folder, with an opener that notes each manual it is asked to show.
struct ManualProgram {
    QTemporaryDir dir;
    Dialogs dialogs;
    AppContext ctx;
    QStringList opened;
    ManualProgram() {
        ctx.dialogs = &dialogs;
        ctx.ProgramDirectory = dir.path() + QLatin1Char('/');
    }
    void open() {
        OpenManual(ctx, [this](const QString &path) { return opened << path, true; });
    }
};
} // namespace

class ManualTest : public QObject {
    Q_OBJECT
private slots:
    void namesFollowLanguageAndEdition_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("edition");
        QTest::addColumn<QString>("name");
        QTest::newRow("1 new") << 1 << true << "QVR Fuel English version 3_01.pdf";
        QTest::newRow("1 old") << 1 << false << "QVR Fuel English.pdf";
        QTest::newRow("2 new") << 2 << true << "QVR Fuel Deutsch version 3_00.pdf";
        QTest::newRow("2 old") << 2 << false << "QVR Fuel Deutsch.pdf";
        QTest::newRow("3 new") << 3 << true << "QVR Fuel Nederlands versie 3_00.pdf";
        QTest::newRow("3 old") << 3 << false << "QVR Fuel Nederlands.pdf";
        QTest::newRow("7 new") << 7 << true << "QVR Fuel English version 3_00.pdf";
        QTest::newRow("0 new") << 0 << true << "QVR Fuel English version 3_00.pdf";
        QTest::newRow("-1 old") << -1 << false << "QVR Fuel English.pdf";
    }
    void namesFollowLanguageAndEdition() {
        QFETCH(int, language);
        QFETCH(bool, edition);
        QFETCH(QString, name);
        QCOMPARE(ManualFileName(language, edition), name);
    }

    void languageFileIsReadAsLittleEndianAndMustHoldFourBytes() {
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/Language.ini");
        QVERIFY(!ReadLanguageValue(path).has_value());
        writeLanguage(dir.path(), QByteArray("\x03\x00\x00\x00", 4));
        QCOMPARE(ReadLanguageValue(path), std::optional<qint32>(3));
        writeLanguage(dir.path(), QByteArray("\x02\x01\x00\x00\xFF", 5)); // 258, the rest ignored
        QCOMPARE(ReadLanguageValue(path), std::optional<qint32>(258));
        writeLanguage(dir.path(), QByteArray("\x02\x00\x00", 3));
        QVERIFY(!ReadLanguageValue(path).has_value());
        writeLanguage(dir.path(), QByteArray("\xFF\xFF\xFF\xFF", 4));
        QCOMPARE(ReadLanguageValue(path), std::optional<qint32>(-1));
    }

    void helpOpensTheManualForTheOptionsWindowVersion() {
        ManualProgram p;
        TForm3 options(p.ctx);
        p.ctx.form3 = &options;

        writeLanguage(p.dir.path(), le32(2));
        options.StaticText_version_info->setText(QStringLiteral("3FA1AD1AA"));
        p.open();
        options.StaticText_version_info->setText(QStringLiteral("2FA1AD1AA"));
        p.open();
        writeLanguage(p.dir.path(), le32(1));
        options.StaticText_version_info->setText(QStringLiteral("3FA1AA1AA"));
        p.open();
        writeLanguage(p.dir.path(), le32(7));
        p.open();

        QCOMPARE(p.opened, (QStringList{p.ctx.ProgramDirectory + "QVR Fuel Deutsch version 3_00.pdf",
                                        p.ctx.ProgramDirectory + "QVR Fuel Deutsch.pdf",
                                        p.ctx.ProgramDirectory + "QVR Fuel English version 3_01.pdf",
                                        p.ctx.ProgramDirectory + "QVR Fuel English version 3_00.pdf"}));
        QVERIFY(p.dialogs.shown().isEmpty());
    }

    void missingOrShortLanguageFileFallsBackToTheOldEnglishManual() {
        ManualProgram p;
        p.open(); // no file; no options window: the start-up version applies
        writeLanguage(p.dir.path(), QByteArray("\x03\x00", 2));
        p.open();

        QCOMPARE(p.opened, (QStringList{p.ctx.ProgramDirectory + "QVR Fuel English.pdf",
                                        p.ctx.ProgramDirectory + "QVR Fuel English.pdf"}));
        QCOMPARE(p.dialogs.shown().size(), 2);
        for (const DialogRequest &r : p.dialogs.shown()) {
            QCOMPARE(r.text, QStringLiteral("Can't find: Language.ini"));
            QCOMPARE(r.kind, DialogKind::Plain);
            QCOMPARE(r.buttons, QList<DialogButton>{DialogButton::Ok});
        }
    }

    void missingManualIsReportedByName() {
        ManualProgram p;
        AppContext &ctx = p.ctx;
        Dialogs &dialogs = p.dialogs;
        writeLanguage(p.dir.path(), le32(3));

        // The real opener: the file is not there, so no viewer is started.
        OpenManual(ctx);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().text,
                 QStringLiteral("Can't find:  QVR Fuel Nederlands versie 3_00.pdf"));

        QCOMPARE(dialogs.shown().first().kind, DialogKind::Plain);

        // A viewer that refuses counts the same.
        dialogs.clearShown();
        OpenManual(ctx, [](const QString &) { return false; });
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().text,
                 QStringLiteral("Can't find:  QVR Fuel Nederlands versie 3_00.pdf"));

        // On the screen a plain message is a box without an icon.
        dialogs.setPresenter(MessageBoxPresenter());
        QMessageBox::Icon icon = QMessageBox::Warning;
        QString text;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            icon = box->icon();
            text = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        OpenManual(ctx, [](const QString &) { return false; });
        QCOMPARE(text, QStringLiteral("Can't find:  QVR Fuel Nederlands versie 3_00.pdf"));
        QCOMPARE(icon, QMessageBox::NoIcon);
    }

    void settingsStayBesideAWritableProgramAndGoToTheUserOtherwise_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("besideProgram");
        QTest::newRow("build") << "build" << true;
        QTest::newRow("installed") << "installed" << false;
        QTest::newRow("read-only") << "read-only" << false;
        QTest::newRow("missing: the save reports it") << "missing" << true;
    }
    void settingsStayBesideAWritableProgramAndGoToTheUserOtherwise() {
        QFETCH(QString, kind);
        QFETCH(bool, besideProgram);
        QTemporaryDir root;
        const QString bin = programFolder(root.path(), kind);
        if (kind == QLatin1String("read-only") && QFileInfo(bin).isWritable())
            QSKIP("this user writes read-only folders (root)");
        qputenv("XDG_CONFIG_HOME", (root.path() + QStringLiteral("/config")).toLocal8Bit());
        const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        const QString home = besideProgram ? bin : user + QLatin1Char('/');

        // The options window saves the port there, and the next start reads it back from there.
        Dialogs dialogs;
        AppContext ctx;
        ctx.dialogs = &dialogs;
        ctx.ProgramDirectory = bin;
        TForm3 options(ctx);
        options.ComComboBox_set_communicationport->addItem(QStringLiteral("/dev/ttyUSB0"));
        options.ComComboBox_set_communicationport->setCurrentText(QStringLiteral("/dev/ttyUSB0"));
        options.Button_Save_set_communicationportClick();
        Link link(nullptr, &dialogs, nullptr);
        link.ChoosePort(bin, {QStringLiteral("-3")});
        if (kind == QLatin1String("missing")) {
            QCOMPARE(dialogs.shown().value(0).text, QStringLiteral("Write Error File: com.ini"));
            QCOMPARE(link.portName(), QStringLiteral("COM3"));
            return;
        }
        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(QFileInfo(home + "com.ini").size(), 21);
        QCOMPARE(link.portName(), QStringLiteral("/dev/ttyUSB0"));

        // An installed program writes "Language.ini" once, from the system's language; a build never does.
        const ProgramFiles files = ProgramFiles::Locate(bin);
        QCOMPARE(files.writeLanguageAtFirstStart(QLocale::Dutch), !besideProgram);
        QCOMPARE(files.writeLanguageAtFirstStart(QLocale::German), false);
        QCOMPARE(ReadLanguageValue(home + "Language.ini"), besideProgram ? std::nullopt : std::optional(3));
        // The file dialogs start beside a build, in the documents folder of an installed program.
        QCOMPARE(files.calibrationDirectory(),
                 besideProgram ? bin : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        if (kind != QLatin1String("installed"))
            return;
        // The user's copy is read before one beside the program; F1 finds the package's manual.
        writeLanguage(bin, le32(2));
        QCOMPARE(ChooseManualFile(bin, QStringLiteral("2FA1AD1AA")).fileName,
                 QStringLiteral("QVR Fuel Nederlands.pdf"));
        const QString manual =
            root.path() + QStringLiteral("/usr/share/qvr-fuel/manuals/QVR Fuel Nederlands.pdf");
        QVERIFY(QFile(manual).open(QIODevice::WriteOnly));
        options.StaticText_version_info->setText(QStringLiteral("2FA1AD1AA"));
        ctx.form3 = &options;
        QStringList opened;
        OpenManual(ctx, [&](const QString &path) { return opened << path, true; });
        QCOMPARE(opened, QStringList{manual});
    }

    void programDirectoryWithoutSeparatorStillFindsTheFiles() {
        QTemporaryDir dir;
        writeLanguage(dir.path(), le32(2));
        const ManualChoice choice = ChooseManualFile(dir.path(), QStringLiteral("2FA1AD1AA"));
        QVERIFY(!choice.languageFileMissing);
        QCOMPARE(choice.fileName, QStringLiteral("QVR Fuel Deutsch.pdf"));
        QCOMPARE(ProgramFilePath(QStringLiteral("/opt/qvr"), QStringLiteral("a.pdf")),
                 QStringLiteral("/opt/qvr/a.pdf"));
        QCOMPARE(ProgramFilePath(QStringLiteral("/opt/qvr/"), QStringLiteral("a.pdf")),
                 QStringLiteral("/opt/qvr/a.pdf"));
    }
};

QTEST_MAIN(ManualTest)
#include "ManualTest.moc"
