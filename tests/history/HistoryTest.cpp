// The calibration history and verified writes against the simulated ECU: snapshots kept on disk, the
// controls saved before an up-load replaces unsaved edits, a write read back and compared, and fields
// copied from the compare window into the controls and the ECU.
#include "tests/support/EcuFixture.h"
#include "tests/support/RepresentableImage.h"

#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/CalibrationFiles.h"
#include "app/CalibrationTransfer.h"
#include "history/SnapshotStore.h"
#include "windows/compare/CompareWindow.h"
#include "windows/history/CalibrationHistory.h"
#include "windows/history/HistoryWindow.h"

namespace {
const QString Version = QStringLiteral("3FA1AD1AA");
constexpr int Row8Column8 = 7 * 16 + 7; // fuel map word of row 8, column 8

int wordAt(const QByteArray &frame, int offset) {
    return (std::uint8_t(frame.at(offset)) << 8) | std::uint8_t(frame.at(offset + 1));
}
} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
    EcuFixture f;
    std::unique_ptr<QTemporaryDir> folder;

    CalibrationHistory &history() { return *f.program->history(); }
    QVector<SnapshotEntry> entries() { return history().store()->entries(); }

    void connectTo(const EcuSimConfig &config = EcuSimConfig()) {
        EcuSimConfig c = config;
        c.version = Version;
        c.image = representableImage(Version);
        QVERIFY(f.start(c));
        history().setFolder(folder->path());
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone() && f.count('Z') == 1, 5000);
    }
    void download() {
        f.main()->SpeedButton_up_down_loadClick();
        QTest::mouseClick(f.main()->SpeedButton_Download, Qt::LeftButton);
    }
    QString lastBox() const {
        return f.dialogs().shown().isEmpty() ? QString() : f.dialogs().shown().last().text;
    }

private slots:
    void init() { folder = std::make_unique<QTemporaryDir>(); }
    void cleanup() { f.stop(); }

    void snapshotsAreStoredOnceAndReadBack() {
        SnapshotStore store(folder->path());
        QVector<std::uint16_t> image = representableImage(Version);
        const auto first = store.add(SnapshotSource::Read, Version, QStringLiteral("S1"), image);
        QVERIFY(first);
        QCOMPARE(store.add(SnapshotSource::Saved, Version, QStringLiteral("S1"), image)->id, first->id);
        QVERIFY(store.add(SnapshotSource::Read, Version, QStringLiteral("S2"), image));
        image[3] ^= 1;
        const auto changed = store.add(SnapshotSource::Written, Version, QStringLiteral("S1"), image);
        QVERIFY(changed && changed->id != first->id);
        QVERIFY(store.setNote(first->id, QStringLiteral("before the dyno")));

        SnapshotStore again(store.folder()); // a new start of the program
        const QVector<SnapshotEntry> list = again.entries();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.first().source, SnapshotSource::Written); // newest first
        QCOMPARE(again.load(changed->id)->words, image);
        QCOMPARE(again.load(first->id)->entry.note, QStringLiteral("before the dyno"));
        QVERIFY(again.holds(Version, image));
    }

    void unsavedEditsAreKeptBeforeAnUploadReplacesThem() {
        connectTo();
        QCOMPARE(entries().size(), 1);
        QCOMPARE(entries().first().source, SnapshotSource::Read);
        // Up-load again with nothing changed: nothing to keep.
        f.program->calibrationTransfer()->SpeedButton_UploadClick();
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone() && f.count('Z') == 2, 5000);
        QCOMPARE(entries().size(), 1);

        f.main()->Panel_dashbordClick(); // offline
        f.main()->AdvStringGrid_fuel->setCellValue(8, 8, 12.5);
        f.program->calibrationTransfer()->SpeedButton_UploadClick();
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone() && f.count('Z') == 3, 5000);
        QVERIFY(f.main()->AdvStringGrid_fuel->cellText(8, 8) != QStringLiteral("12.50"));
        const QVector<SnapshotEntry> list = entries();
        // Newest first: the read that replaced the edit, the edit itself, the first read.
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].source, SnapshotSource::Read);
        QCOMPARE(list[1].source, SnapshotSource::BeforeUpload);
        QCOMPARE(history().store()->load(list[1].id)->words[Row8Column8], 1250);

        QVERIFY(history().restore(list[1].id));
        QCOMPARE(f.main()->AdvStringGrid_fuel->cellText(8, 8), QStringLiteral("12.50"));
        QVERIFY(!f.main()->IsOnline());
        QVERIFY(f.main()->SpeedButton_Download->isVisible());
    }

    void filesSavedAndLoadedAreKept() {
        connectTo();
        f.main()->Panel_dashbordClick(); // offline
        f.main()->AdvStringGrid_fuel->setCellValue(8, 8, 12.5);
        CalibrationFiles &files = *f.program->calibrationFiles();
        const QString path = QDir(folder->path()).filePath(QStringLiteral("dyno.f03"));
        QVERIFY(files.SaveCalibrationFile(path));
        QCOMPARE(entries().first().source, SnapshotSource::Saved);
        QCOMPARE(entries().first().note, QStringLiteral("dyno.f03"));
        f.main()->AdvStringGrid_fuel->setCellValue(8, 8, 3.0);
        QVERIFY(files.LoadCalibrationFile(path));
        QCOMPARE(entries().first().source, SnapshotSource::Loaded);
        QCOMPARE(history().store()->load(entries().first().id)->words[Row8Column8], 1250);
    }

    void aVerifiedWriteReadsBackAndSaysSo_data() {
        QTest::addColumn<int>("spoiltWord");
        QTest::newRow("stored as written") << -1;
        QTest::newRow("one block stored wrongly") << Row8Column8;
    }
    void aVerifiedWriteReadsBackAndSaysSo() {
        QFETCH(int, spoiltWord);
        connectTo();
        f.program->calibrationTransfer()->setVerifyAfterWriting(true);
        if (spoiltWord >= 0) {
            EcuFaultPlan plan;
            plan.badStores = 1;
            plan.badStoreAddress = spoiltWord;
            f.ecu->setFaultPlan(plan);
        }
        f.ecu->clearRequestLog();
        f.dialogs().clearShown();
        download();
        QTRY_VERIFY_WITH_TIMEOUT(f.dialogs().shown().size() == 1, 10000);
        // The read-back follows the write as its own "Z".
        const QByteArray letters = f.lettersWithoutPolls();
        QCOMPARE(letters, QByteArray("V") + QByteArray(65, 'E') + QByteArray("RZ"));
        const SnapshotEntry written = entries().first();
        QCOMPARE(written.source, SnapshotSource::Written);
        if (spoiltWord < 0) {
            QVERIFY2(lastBox().contains(QStringLiteral("written and verified")), qPrintable(lastBox()));
            QCOMPARE(f.dialogs().shown().last().kind, DialogKind::Information);
            QCOMPARE(written.outcome, QStringLiteral("verified"));
        } else {
            QVERIFY2(lastBox().contains(QStringLiteral("FAILED verification")), qPrintable(lastBox()));
            QVERIFY(lastBox().contains(QStringLiteral("in 1 field(s)")));
            QVERIFY(lastBox().contains(QStringLiteral("Injection map, ")) &&
                    lastBox().contains(QStringLiteral(", load 7\n")));
            QVERIFY(written.outcome.startsWith(QStringLiteral("verify failed: Injection map, ")));
        }
        // Polling goes on afterwards.
        const int polls = f.count('d');
        QTRY_VERIFY_WITH_TIMEOUT(f.count('d') > polls, 2000);
    }

    void aSelectionCopiedFromASnapshotGoesToTheControlsAndTheEcu() {
        connectTo();
        const QString read = entries().first().id;
        f.main()->AdvStringGrid_fuel->setCellValue(8, 8, 12.5);
        f.main()->AdvStringGrid_fuel->setCellValue(9, 8, 13.5);
        CompareWindow *compare = f.program->compareWindow();
        compare->showComparison(QStringLiteral("controls"), QStringLiteral("snapshot:") + read);
        QVERIFY(compare->Label_compare_summary->text().startsWith(QStringLiteral("2 field(s) differ")));
        QTableWidget *grid = compare->Grid_compare_fuel;
        QVERIFY(grid->item(7, 7)->toolTip().contains(QStringLiteral("12.50 ms")));
        QVERIFY(grid->item(7, 7)->background().color() != QColor(Qt::white));
        QCOMPARE(grid->item(7, 9)->background().color(), QColor(Qt::white));

        f.ecu->clearRequestLog();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(7, 7)).center());
        QTest::mouseClick(compare->Button_copy_selection, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(f.count('C'), 1, 3000);
        QByteArray c;
        for (const EcuRequest &r : f.ecu->requestLog())
            if (r.letter == 'C')
                c = r.bytes;
        QCOMPARE(wordAt(c, 1), Row8Column8);
        QCOMPARE(wordAt(c, 3), int(representableImage(Version)[Row8Column8]));
        QVERIFY(f.main()->AdvStringGrid_fuel->cellText(8, 8) != QStringLiteral("12.50"));
        QTRY_VERIFY_WITH_TIMEOUT(
            compare->Label_compare_summary->text().startsWith(QStringLiteral("1 field(s)")), 3000);
        QCOMPARE(f.main()->AdvStringGrid_fuel->cellText(9, 8), QStringLiteral("13.50"));

        // Escape closes it as it closes a dialog; so does closing the main window, with the history.
        QTest::keyClick(compare->Grid_compare_fuel, Qt::Key_Escape);
        QVERIFY(compare->isHidden());
        f.program->historyWindow()->show();
        compare->show();
        f.main()->Panel_dashbordClick(); // offline: no question at the close
        QVERIFY(f.main()->close());
        QVERIFY(compare->isHidden());
        QVERIFY(f.program->historyWindow()->isHidden());
    }
};

QTEST_MAIN(HistoryTest)
#include "HistoryTest.moc"
