// Edit jobs against the simulated ECU over a pseudo-terminal: one "C" per cell in the job's order, each
// sent after the previous one's "Y", and the simulator's image ends equal to the grids. Offline nothing
// goes out although the line is open.
#include "tests/support/LinkTestAccess.h"
#include <QTest>

#include "EditFixture.h"
#include "ecusim/EcuSimRunner.h"
#include "tests/support/RequestLog.h"

namespace {

QList<QByteArray> WriteFrames(const EcuSimRunner &ecu) {
    return FramesWithLetters(ecu.requestLog(), "C");
}

QByteArray Frame(int address, int raw) {
    const std::uint16_t word = raw < 0 ? std::uint16_t(0x8000 | -raw) : std::uint16_t(raw);
    QByteArray f;
    f.append('C');
    f.append(char(address >> 8));
    f.append(char(address & 0xFF));
    f.append(char(word >> 8));
    f.append(char(word & 0xFF));
    int sum = 0;
    for (char c : f)
        sum += std::uint8_t(c);
    f.append(char(sum & 0xFF));
    return f;
}

} // namespace

class EditJobsEcuSimTest : public QObject {
    Q_OBJECT
    EditFixture f;
    EcuSimRunner ecu;

    void goOnline() {
        f.main()->SetOnline(true);
        QVERIFY(f.link()->OpenPortIfClosed());
        QVERIFY(f.main()->IsOnline());
    }

    // Every map cell of the grid against the simulator's words.
    void compareMapWithImage(int map) {
        const QVector<std::uint16_t> image = ecu.image();
        const int base = map == BoostMapGrid ? 689 : 0;
        const double scale = map == BoostMapGrid ? 10.0 : 100.0;
        for (int row = 1; row <= 25; ++row)
            for (int column = 1; column <= 16; ++column) {
                const int raw = qRound(f.main()->MapCell(map, column, row) * scale);
                const std::uint16_t word = raw < 0 ? std::uint16_t(0x8000 | -raw) : std::uint16_t(raw);
                QCOMPARE(image.at(base + (row - 1) * 16 + column - 1), word);
            }
    }

    // Presses the edit menu's OK; true when the job then ends.
    bool runJob(QWidget *ok) {
        QTest::mouseClick(ok, Qt::LeftButton);
        return f.waitForJobEnd();
    }

private slots:
    void init() {
        EcuSimConfig config;
        config.paced = false;
        QVERIFY(!ecu.start(config).isEmpty());
        f.start();
        StateOf(f.link()).PortName = ecu.slavePath();
        goOnline();
        ecu.clearRequestLog();
    }
    void cleanup() {
        f.stop();
        ecu.stop();
    }

    void horizontalInterpolationSendsFiveCellsLeftToRight() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        grid->setCellValue(2, 3, 2.0);
        grid->setCellValue(6, 3, 4.0);
        main->AdvStringGrid_fuelClickCell(3, 2);
        grid->selectRange({2, 3, 6, 3});
        main->RadioButton_hor_interpol->setChecked(true);
        main->ShowEditMenu(FuelMapGrid);
        QVERIFY(runJob(main->Button_ok_editmenu));

        const QList<QByteArray> frames = WriteFrames(ecu);
        QCOMPARE(frames.size(), 5);
        QCOMPARE(frames[0], QByteArray::fromHex("43002100c82c"));
        const int raws[] = {200, 250, 300, 350, 400};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(frames[i], Frame(33 + i, raws[i]));
        QCOMPARE(grid->cellText(4, 3), QStringLiteral("3.00"));
        compareMapWithImage(FuelMapGrid);
        QVERIFY(!ecu.isLocked());
        // Polling comes back one delayed action later.
        QTRY_VERIFY(ecu.requestLetters().endsWith('d') || ecu.requestLetters().contains("Cd"));
    }

    void tenPercentOnFortyIsClampedAndSentAsTheLimit() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        for (int row = 24; row <= 25; ++row)
            for (int column = 15; column <= 16; ++column)
                grid->setCellValue(column, row, 40.0);
        main->AdvStringGrid_fuelClickCell(24, 15);
        grid->selectRange({15, 24, 16, 25});
        main->AdvSpinEdit_percentvalue->setValue(10.0);
        main->ShowEditMenu(FuelMapGrid);
        QVERIFY(runJob(main->Button_ok_editmenu));

        const QList<QByteArray> frames = WriteFrames(ecu);
        const QList<QByteArray> expected{Frame(382, 4095), Frame(383, 4095), Frame(398, 4095),
                                         Frame(399, 4095)};
        QCOMPARE(frames, expected);
        QCOMPARE(grid->cellText(16, 25), QStringLiteral("40.95"));
        compareMapWithImage(FuelMapGrid);
        // A percent job resumes polling at once.
        QTRY_VERIFY(ecu.requestLetters().contains('d'));
    }

    void boostSetValueSendsTheSignedWord() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_injection_boost_correction;
        main->AdvStringGrid_injection_boost_correctionClickCell(1, 1);
        grid->selectRange({1, 1, 3, 1});
        main->ShowEditMenu(BoostMapGrid);
        main->AdvSpinEdit_setvalue->setValue(-500.0);
        QVERIFY(runJob(main->Button_ok_editmenu));
        const QList<QByteArray> expected{Frame(689, -5000), Frame(690, -5000), Frame(691, -5000)};
        QCOMPARE(WriteFrames(ecu), expected);
        compareMapWithImage(BoostMapGrid);
        compareMapWithImage(FuelMapGrid); // the other map is untouched
    }

    void batterySetValueOfFiftyGoesOutAsTenThousand() {
        f.showTables();
        TForm2 *w = f.tables();
        DataGrid *battery = w->AdvStringGrid_battery;
        w->AdvStringGridClickCell(CorrectionTable::Battery, 1, 0);
        battery->selectRange({0, 1, 2, 1});
        w->AdvSpinEdit_setvalue->setValue(50.0);
        w->ShowEditMenu();
        QVERIFY(runJob(w->Button_ok_editmenu));
        const QList<QByteArray> expected{Frame(578, 10000), Frame(579, 10000), Frame(580, 10000)};
        QCOMPARE(WriteFrames(ecu), expected);
        QCOMPARE(WriteFrames(ecu)[0], QByteArray::fromHex("4302422710be"));
        const QVector<std::uint16_t> image = ecu.image();
        QCOMPARE(image.at(578), std::uint16_t(10000));
        QCOMPARE(image.at(580), std::uint16_t(10000));
        QCOMPARE(image.at(581), std::uint16_t(0));
        QTRY_VERIFY(ecu.requestLetters().contains('d'));
    }

    void waterTableInterpolationFollowsTheColumns() {
        f.showTables();
        TForm2 *w = f.tables();
        DataGrid *water = w->AdvStringGrid_Watertemp;
        water->setCellValue(10, 1, -10.0);
        water->setCellValue(13, 1, 20.0);
        w->AdvStringGridClickCell(CorrectionTable::Water, 1, 10);
        water->selectRange({10, 1, 13, 1});
        w->RadioButton_hor_interpol->setChecked(true);
        w->ShowEditMenu();
        QVERIFY(runJob(w->Button_ok_editmenu));
        const QList<QByteArray> expected{Frame(410, -100), Frame(411, 0), Frame(412, 100), Frame(413, 200)};
        QCOMPARE(WriteFrames(ecu), expected);
        QCOMPARE(ecu.image().at(410), std::uint16_t(0x8064));
    }

    void offlineJobsChangeTheCellsAndSendNothing() {
        f.main()->SetOnline(false);
        QVERIFY(f.link()->OpenPortIfClosed()); // the line is open, the program is not online
        ecu.clearRequestLog();
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        main->AdvStringGrid_fuelClickCell(5, 5);
        grid->selectRange({5, 5, 8, 6});
        main->AdvSpinEdit_setvalue->setValue(7.5);
        main->ShowEditMenu(FuelMapGrid);
        QVERIFY(runJob(main->Button_ok_editmenu));
        for (int row = 5; row <= 6; ++row)
            for (int column = 5; column <= 8; ++column)
                QCOMPARE(grid->cellText(column, row), QStringLiteral("7.50"));

        f.showTables();
        TForm2 *w = f.tables();
        w->AdvStringGridClickCell(CorrectionTable::Air, 1, 3);
        w->AdvStringGrid_luchttemp->selectRange({3, 1, 6, 1});
        w->AdvSpinEdit_setvalue->setValue(-30.0);
        w->ShowEditMenu();
        QVERIFY(runJob(w->Button_ok_editmenu));
        QCOMPARE(w->AdvStringGrid_luchttemp->cellText(6, 1), QStringLiteral("-30.0"));

        QTest::qWait(100);
        QVERIFY(WriteFrames(ecu).isEmpty());
        QVERIFY(ecu.requestLog().isEmpty());
        QCOMPARE(ecu.image().at(5 * 16 - 16 + 4), std::uint16_t(0));
    }
};

QTEST_MAIN(EditJobsEcuSimTest)
#include "EditJobsEcuSimTest.moc"
