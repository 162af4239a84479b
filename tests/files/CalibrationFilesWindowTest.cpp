// Saving and loading calibration files through the windows, the toolbar and the keys.
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

#include "app/CalibrationFiles.h"
#include "app/DataSetCodec.h"
#include "files/CalibrationFile.h"
#include "tests/support/RepresentableImage.h"
#include "tests/support/WindowsFixture.h"

namespace {
QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::uint16_t fileWord(const QByteArray &file, int word) {
    const int at = 2 * (6 + word);
    return std::uint16_t(std::uint8_t(file[at]) | std::uint8_t(file[at + 1]) << 8);
}

// Writes a file with the windows of `version` holding the representable image of that version.
QByteArray fileFor(const QString &version, const QString &path) {
    WindowsFixture windows(version);
    DecodeImage(windows.ctx, representableImage(version));
    CalibrationFiles files(windows.ctx);
    if (!files.SaveCalibrationFile(path))
        return {};
    return readAll(path);
}
} // namespace

class CalibrationFilesWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void theStartUpVersionWritesAndReadsBackTheWholeCalibration() {
        WindowsFixture writer; // design-time "3FA1AD1AA"
        DecodeImage(writer.ctx, representableImage("3FA1AD1AA"));
        CalibrationFiles files(writer.ctx);
        QVERIFY(files.SaveCalibrationFile(path("full.f03")));
        const QByteArray bytes = readAll(path("full.f03"));
        QCOMPARE(bytes.size(), 2192);
        QCOMPARE(bytes.left(12), QByteArray("F31ADAA1\0A\0\0", 12));

        WindowsFixture reader("2FA1AD1AA");
        CalibrationFiles readerFiles(reader.ctx);
        QVERIFY(readerFiles.LoadCalibrationFile(path("full.f03")));
        QCOMPARE(reader.version(), QString("3FA1AD1AA"));
        QCOMPARE(EncodeImage(reader.ctx), representableImage("3FA1AD1AA"));
        QVERIFY(reader.dialogs.shown().isEmpty());
    }

    void aLoadedFileIsSavedBackByteForByteUnlessTheUserChangesIt() {
        const QByteArray bytes = EncodeCalibrationFile("3FA1AD1AA", unrepresentableImage());
        writeAll(path("other-tool.f03"), bytes);
        WindowsFixture windows("2FA1AD1AA");
        CalibrationFiles files(windows.ctx);
        QVERIFY(files.LoadCalibrationFile(path("other-tool.f03")));
        QVERIFY(files.SaveCalibrationFile(path("again.f03")));
        QCOMPARE(readAll(path("again.f03")), bytes);

        windows.form2->AdvStringGrid_battery->setCellValue(0, 1, 1.24);
        QVERIFY(files.SaveCalibrationFile(path("changed.f03")));
        const QByteArray changed = readAll(path("changed.f03"));
        QCOMPARE(fileWord(changed, 578), std::uint16_t(1240));
        QCOMPARE(changed.left(2 * (6 + 578)), bytes.left(2 * (6 + 578)));
        QCOMPARE(changed.mid(2 * (6 + 579)), bytes.mid(2 * (6 + 579)));
    }

    void recordCountsFollowTheVersionCaption_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("bytes");
        QTest::newRow("1FA") << "1FA1AD1AA" << 1032;
        QTest::newRow("3FA1AA") << "3FA1AA1AA" << 2 * 662;
        QTest::newRow("3FA1AB") << "3FA1AB1AA" << 2 * 696;
        QTest::newRow("3FA1AC") << "3FA1AC1AA" << 2192;
    }
    void recordCountsFollowTheVersionCaption() {
        QFETCH(QString, version);
        QFETCH(int, bytes);
        const QByteArray file = fileFor(version, path("count.f0x"));
        QCOMPARE(file.size(), bytes);

        WindowsFixture reader("3FA1AD1AA");
        CalibrationFiles files(reader.ctx);
        QVERIFY(files.LoadCalibrationFile(path("count.f0x")));
        QCOMPARE(reader.version(), version);
        QCOMPARE(EncodeImage(reader.ctx), representableImage(version));
    }

    void anOldFileSetsTheFixedRpmRows() {
        QVERIFY(!fileFor("1FA1AD1AA", path("old.f00")).isEmpty());
        WindowsFixture reader("3FA1AD1AA");
        DecodeImage(reader.ctx, representableImage("3FA1AD1AA")); // rows 600 .. 12600
        CalibrationFiles files(reader.ctx);
        QVERIFY(files.LoadCalibrationFile(path("old.f00")));
        const auto rows = reader.form3->rpmRangeRows();
        for (int k = 0; k < 25; ++k)
            QCOMPARE(rows[k]->value(), 500 * (k + 1));
        QCOMPARE(reader.form1->AdvStringGrid_fuel->cellText(0, 1), QString("500"));
        QCOMPARE(reader.form1->AdvStringGrid_fuel->cellText(0, 25), QString("12500"));
    }

    void remarksKeepTrailingSpacesAndOldTableLimitsSurvive() {
        WindowsFixture writer("2FA1AD1AA");
        writer.form3->Edit_remarks_line2->setText("ends in three   ");
        writer.form3->AdvSpinEdit_Max_Correction_table->setValue(700.0);
        writer.form3->AdvSpinEdit_Min_Correction_table->setValue(-0.5);
        CalibrationFiles files(writer.ctx);
        QVERIFY(files.SaveCalibrationFile(path("limits.f00")));
        const QByteArray bytes = readAll(path("limits.f00"));
        QCOMPARE(fileWord(bytes, 445), std::uint16_t(1));
        QCOMPARE(fileWord(bytes, 446), std::uint16_t(4464));
        QCOMPARE(fileWord(bytes, 447), std::uint16_t(0x8000));
        QCOMPARE(fileWord(bytes, 448), std::uint16_t(50));

        WindowsFixture reader("2FA1AD1AA");
        CalibrationFiles readerFiles(reader.ctx);
        QVERIFY(readerFiles.LoadCalibrationFile(path("limits.f00")));
        QCOMPARE(reader.form3->Edit_remarks_line2->text(), QString("ends in three                   "));
        QCOMPARE(reader.form3->AdvSpinEdit_Max_Correction_table->value(), 700.0);
        QCOMPARE(reader.form3->AdvSpinEdit_Min_Correction_table->value(), -0.5);
    }

    void thePickupFlagIsSavedFromGenerationTwo_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("hallWord");
        QTest::newRow("1FA") << "1FA1AD1AA" << 6;
        QTest::newRow("2FA") << "2FA1AD1AA" << 256 + 6;
        QTest::newRow("3FA") << "3FA1AD1AA" << 256 + 6;
    }
    void thePickupFlagIsSavedFromGenerationTwo() {
        QFETCH(QString, version);
        QFETCH(int, hallWord);
        WindowsFixture writer(version);
        writer.form3->ComboBox_number_of_cylinders->setCurrentIndex(1);
        writer.form3->RadioButton_RPM_pickup_from_Hallsensor->setChecked(true);
        CalibrationFiles files(writer.ctx);
        QVERIFY(files.SaveCalibrationFile(path("pickup.f0x")));
        QCOMPARE(fileWord(readAll(path("pickup.f0x")), 432), std::uint16_t(hallWord));

        WindowsFixture reader(version);
        reader.form3->RadioButton_RPM_pickup_from_coil->setChecked(true);
        CalibrationFiles readerFiles(reader.ctx);
        QVERIFY(readerFiles.LoadCalibrationFile(path("pickup.f0x")));
        QCOMPARE(reader.form3->ComboBox_number_of_cylinders->currentIndex(), 1);
        // Generation "1" has no pickup choice, so the file leaves it alone.
        QCOMPARE(reader.form3->RadioButton_RPM_pickup_from_Hallsensor->isChecked(), hallWord > 255);
    }

    void aFailedSaveKeepsTheOldFile() {
        WindowsFixture writer;
        CalibrationFiles files(writer.ctx);
        writeAll(path("keep.f03"), "old contents");

        // Any file larger than 100 bytes fails to be written, root or not.
        struct rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        struct rlimit small = saved;
        small.rlim_cur = 100;
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved1 = files.SaveCalibrationFile(path("keep.f03"));
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(!saved1);
        QCOMPARE(readAll(path("keep.f03")), QByteArray("old contents"));
        QCOMPARE(writer.shownTexts(), QStringList{"fout bij het schrijven"});
        QCOMPARE(writer.dialogs.shown().first().kind, DialogKind::Plain);
        QCOMPARE(QDir(dir.path()).entryList({"keep*"}, QDir::Files), QStringList{"keep.f03"});

        writer.dialogs.clearShown();
        QVERIFY(!files.SaveCalibrationFile(path("no such folder/x.f03")));
        QCOMPARE(writer.shownTexts(), QStringList{"fout bij het schrijven"});
    }

    void aShortOrMissingFileChangesNothing() {
        const QByteArray good = fileFor("3FA1AD1AA", path("good.f03"));
        writeAll(path("short.f03"), good.left(2 * 300));
        writeAll(path("nearly.f03"), good.left(2 * 1095 - 1));
        writeAll(path("empty.f03"), QByteArray());

        WindowsFixture reader("2FA1AD1AA");
        reader.form1->AdvStringGrid_fuel->setCellValue(1, 1, 1.23);
        reader.form3->Edit_remarks_line1->setText("untouched");
        const QVector<std::uint16_t> before = EncodeImage(reader.ctx);
        CalibrationFiles files(reader.ctx);
        for (const QString name : {"short.f03", "nearly.f03", "empty.f03", "missing.f03"}) {
            reader.dialogs.clearShown();
            QVERIFY(!files.LoadCalibrationFile(path(name)));
            QCOMPARE(reader.shownTexts(), QStringList{"fout bij lezen bestand"});
            QCOMPARE(reader.dialogs.shown().first().kind, DialogKind::Plain);
            QCOMPARE(reader.version(), QString("2FA1AD1AA"));
            QCOMPARE(EncodeImage(reader.ctx), before);
        }
        // A folder or a device is no calibration file either, even one that never runs dry.
        for (const QString &other : {dir.path(), QString("/dev/zero")}) {
            reader.dialogs.clearShown();
            QVERIFY(!files.LoadCalibrationFile(other));
            QCOMPARE(reader.shownTexts(), QStringList{"fout bij lezen bestand"});
        }
        // Bytes past the image are not looked at.
        writeAll(path("long.f03"), good + QByteArray(100000, '\x7F'));
        QVERIFY(files.LoadCalibrationFile(path("long.f03")));
        QCOMPARE(EncodeImage(reader.ctx), representableImage("3FA1AD1AA"));
    }

    void aNewerEcuFileAsksFirstAndCancelChangesNothing() {
        QByteArray bytes = fileFor("3FA1AD1AA", path("newer.f03"));
        bytes[9] = 'B'; // sub-version "1AA" -> "1AB": the ninth character sits at byte 9
        writeAll(path("newer.f03"), bytes);

        WindowsFixture reader("3FA1AC1AA");
        CalibrationFiles files(reader.ctx);
        reader.answer = DialogButton::Cancel;
        QVERIFY(!files.LoadCalibrationFile(path("newer.f03")));
        QCOMPARE(reader.dialogs.shown().size(), 1);
        QCOMPARE(reader.dialogs.shown().first().buttons,
                 (QList<DialogButton>{DialogButton::Cancel, DialogButton::Ignore}));
        QCOMPARE(reader.dialogs.shown().first().text,
                 QString("ECU is newer then the PC software\n\rPlease download newer QVR PC software"));
        QCOMPARE(reader.version(), QString("3FA1AC1AA"));

        reader.answer = DialogButton::Ignore;
        QVERIFY(files.LoadCalibrationFile(path("newer.f03")));
        QCOMPARE(reader.version(), QString("3FA1AD1AB"));

        // Saving on such a version asks too; Cancel writes nothing.
        reader.answer = DialogButton::Cancel;
        QVERIFY(!files.SaveCalibrationFile(path("not-written.f03")));
        QVERIFY(!QFile::exists(path("not-written.f03")));
    }

    void anUnknownVersionWarnsAndStillLoads() {
        QByteArray bytes = fileFor("3FA1AD1AA", path("unknown.f03"));
        bytes[3] = 'C'; // "3FC1AD1AA": a fuel system this program does not know
        writeAll(path("unknown.f03"), bytes);
        WindowsFixture reader("3FA1AD1AA");
        reader.form3->StaticText_Serial_number->setText("123456");
        CalibrationFiles files(reader.ctx);
        QVERIFY(files.LoadCalibrationFile(path("unknown.f03")));
        QCOMPARE(reader.dialogs.shown().size(), 1);
        QCOMPARE(reader.dialogs.shown().first().kind, DialogKind::Warning);
        QVERIFY(reader.dialogs.shown().first().text.contains("3FC1AD1AA"));
        QVERIFY(reader.dialogs.shown().first().text.contains("is not supported by this software "));
        QCOMPARE(reader.version(), QString("3FC1AD1AA"));
    }

    void theOpenButtonLeavesTheProgramOfflineWithTheTransferMenu() {
        QVERIFY(!fileFor("3FA1AC1AA", path("menu.f03")).isEmpty());
        WindowsFixture windows;
        windows.ctx.ProgramDirectory = dir.path() + "/";
        windows.form1->EnableMainControls(true);
        windows.form1->EnableMapGrids(true);
        CalibrationFiles files(windows.ctx);
        QList<FileDialogRequest> requests;
        files.setFileDialog([&](const FileDialogRequest &request) {
            requests << request;
            return path("menu.f03");
        });
        windows.form1->SpeedButton_openfile->click(); // the toolbar reaches the file operations

        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].title, QString("Open"));
        QCOMPARE(requests[0].directory, dir.path() + "/");
        QCOMPARE(requests[0].defaultSuffix, QString("f02"));
        QCOMPARE(requests[0].filters,
                 (QStringList{"Fuel map (*.f03)", "Fuel map (*.f00)", "Fuel map (*.f0*)"}));
        QCOMPARE(windows.version(), QString("3FA1AC1AA"));
        QVERIFY(!windows.form1->IsOnline());
        QVERIFY(!windows.form1->GroupBox_up_download_menu->isHidden());
        QVERIFY(!windows.form1->Button_stay_offline->isHidden());
        QVERIFY(windows.form1->Button_cancel_Up_download_menu->isHidden());
        QVERIFY(!windows.form1->SpeedButton_lock_unlock->isHidden());
        QVERIFY(!windows.form1->SpeedButton_openfile->isEnabled());
        QVERIFY(!windows.form1->AdvStringGrid_fuel->isEnabled());
        QVERIFY(!windows.form1->AdvStringGrid_injection_boost_correction->isEnabled());
    }

    void aCancelledOrFailedOpenLeavesTheWindowsAsTheyWere() {
        WindowsFixture windows;
        windows.form1->EnableMainControls(true);
        CalibrationFiles files(windows.ctx);
        QString answer;
        files.setFileDialog([&](const FileDialogRequest &) { return answer; });
        files.SpeedButton_openfileClick();
        answer = path("missing.f03");
        files.SpeedButton_openfileClick();
        QVERIFY(windows.form1->GroupBox_up_download_menu->isHidden());
        QVERIFY(windows.form1->SpeedButton_openfile->isEnabled());
        QCOMPARE(windows.shownTexts(), QStringList{"fout bij lezen bestand"});
    }

    void theSaveDialogFollowsTheFirmware() {
        WindowsFixture windows;
        CalibrationFiles files(windows.ctx);
        FileDialogRequest request = files.saveDialogRequest();
        QCOMPARE(request.title, QString("Save as"));
        QCOMPARE(request.fileName, QString("noname.f03"));
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(request.defaultSuffix, QString("f03"));
        windows.setVersion("2FA1AD1AA");
        request = files.saveDialogRequest();
        QCOMPARE(request.fileName, QString("noname.f00"));
        QCOMPARE(request.filterIndex, 3);
        QCOMPARE(request.defaultSuffix, QString("f00"));

        // A chosen name is proposed again, whatever the firmware.
        files.setFileDialog([&](const FileDialogRequest &) { return path("mine.f00"); });
        files.SpeedButton_savefileClick();
        QVERIFY(QFile::exists(path("mine.f00")));
        windows.setVersion("3FA1AD1AA");
        QCOMPARE(files.saveDialogRequest().fileName, path("mine.f00"));
    }

    void theKeysWorkOnlyWhileTheirButtonsAreEnabled() {
        WindowsFixture windows;
        CalibrationFiles files(windows.ctx);
        int asked = 0;
        files.setFileDialog([&](const FileDialogRequest &) {
            ++asked;
            return QString();
        });
        windows.form1->EnableMainControls(false);
        files.OpenFileKey();
        files.SaveFileKey();
        QCOMPARE(asked, 0);
        windows.form1->EnableMainControls(true);
        files.OpenFileKey();
        files.SaveFileKey();
        QCOMPARE(asked, 2);
    }
};

QTEST_MAIN(CalibrationFilesWindowTest)
#include "CalibrationFilesWindowTest.moc"
