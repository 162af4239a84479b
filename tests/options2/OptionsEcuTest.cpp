// Against the simulated ECU: the options window's Ok while online writes the option words (and no map),
// and the automatic calibration of both load sensors reads the raw values the ECU reports.
#include "app/DataSetCodec.h"
#include "ecusim/EngineModel.h"
#include "tests/support/EcuFixture.h"
#include "tests/support/LinkTestAccess.h"

namespace {
QVector<std::uint16_t> startImage() {
    QVector<std::uint16_t> image(1089, 0);
    for (int i = 0; i < 400; ++i)
        image[i] = std::uint16_t(500 + i);
    for (int i = 0; i < 25; ++i)
        image[512 + i] = std::uint16_t(500 * (i + 1));
    return image;
}

// Image word addresses of the "E" blocks the ECU received.
QList<int> blockAddresses(const QList<EcuRequest> &log) {
    QList<int> addresses;
    for (const EcuRequest &r : log)
        if (r.valid && r.letter == 'E')
            addresses << ((std::uint8_t(r.bytes[3]) << 8) | std::uint8_t(r.bytes[4]));
    return addresses;
}
} // namespace

class OptionsEcuTest : public QObject {
    Q_OBJECT
    EcuFixture f;

    TForm3 *w() { return f.ctx().form3; }

    void calibrate(int sensor, int first, int second) {
        EngineSample sample;
        (sensor == 1 ? sample.load1Raw : sample.load2Raw) = first;
        f.ecu->freezeEngine(sample);
        f.dialogs().clearShown();
        QTest::mouseClick(sensor == 1 ? w()->Button_automatic_cal : w()->Button_automatic_cal2,
                          Qt::LeftButton);
        QVERIFY(w()->GroupBox_set_engineloadsensor_to_minmax->isVisible());
        QTest::mouseClick(w()->Button_Ok_set_engineloadsensor_to_minmax, Qt::LeftButton);
        QCOMPARE(w()->calibrationPromptColor(), QColor(0, 255, 0));
        QCOMPARE(w()->GroupBox_set_engineloadsensor_to_minmax->title(),
                 QStringLiteral("Max Value Engine load ") + QString::number(sensor));
        QCOMPARE(w()->Label_regel2_set_engineloadsensor_to_minmax->text(), QStringLiteral("to maximal "));
        QTRY_COMPARE_WITH_TIMEOUT(StateOf(f.link()).CalMin, first, 3000);
        (sensor == 1 ? sample.load1Raw : sample.load2Raw) = second;
        f.ecu->freezeEngine(sample);
        QTest::mouseClick(w()->Button_Ok_set_engineloadsensor_to_minmax, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w()->GroupBox_set_engineloadsensor_to_minmax->isVisible(), 3000);
    }

private slots:
    void init() {
        EcuSimConfig config;
        config.version = QStringLiteral("3FA1AD1AA");
        config.image = startImage();
        QVERIFY(f.start(config));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 8000);
    }
    void cleanup() { f.stop(); }

    void ok_while_online_writes_the_option_words_and_no_map() {
        TForm1 *main = f.main();
        main->Button_optionsClick();
        QVERIFY(w()->isVisible());
        QVERIFY(StateOf(f.link()).RxIgnore);
        f.ecu->clearRequestLog();

        QTest::mouseClick(w()->Button_RPM_limiters_and_powershift, Qt::LeftButton);
        w()->SpinEdit_soft_limit->setValue(9100);
        QTest::mouseClick(w()->Button_Ok_RPM_limiter, Qt::LeftButton);
        QTest::mouseClick(w()->Button_remarks, Qt::LeftButton);
        w()->Edit_remarks_line2->setText(QStringLiteral("written from the options"));
        QTest::mouseClick(w()->Button_Ok_remarks, Qt::LeftButton);
        w()->rpmRangeRows()[24]->setValue(14000);
        w()->UnpackInterpolationFlags(9);

        QTest::mouseClick(w()->Button_ok_Options_menu, Qt::LeftButton);
        QVERIFY(!w()->isVisible());
        QCOMPARE(main->GroupBox_gauge_up_down_loading->title(), QStringLiteral("Down_loading"));
        QVERIFY(main->GroupBox_gauge_up_down_loading->isVisible());
        QCOMPARE(main->Gauge_up_down_loading->maximum(), 1310);
        QVERIFY(!main->AdvStringGrid_fuel->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(main->AdvStringGrid_fuel->isEnabled(), 3000);
        QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 25), QStringLiteral("14000"));

        // Nothing below the option words went out: no fuel map, no water table.
        const QList<int> addresses = blockAddresses(f.ecu->requestLog());
        QVERIFY(!addresses.isEmpty());
        QCOMPARE(addresses.first(), 432);
        for (int a : addresses)
            QVERIFY2(a >= 432, qPrintable(QString::number(a)));
        QCOMPARE(f.count('V'), 0);

        // The ECU now holds what the controls say, and its fuel map is untouched.
        const QVector<std::uint16_t> ecu = f.ecu->image();
        const QVector<std::uint16_t> controls = EncodeImage(f.ctx());
        QCOMPARE(ecu.mid(0, 400), startImage().mid(0, 400));
        QCOMPARE(ecu.mid(432, 1089 - 432), controls.mid(432, 1089 - 432));
        QCOMPARE(int(ecu[536]), 1400); // RPM rows travel in tens
    }

    void automatic_calibration_judges_the_two_readings() {
        f.main()->Button_optionsClick();
        QTest::mouseClick(w()->Button_Engine_load_sensor, Qt::LeftButton);
        QVERIFY(w()->GroupBox_engine_load_sensor->isVisible());
        w()->SpinEdit_min_engineload->setValue(1);
        w()->SpinEdit_max_engineload->setValue(250);

        calibrate(1, 20, 200);
        QVERIFY(f.shownTexts().isEmpty());
        QCOMPARE(w()->SpinEdit_min_engineload->value(), 20);
        QCOMPARE(w()->SpinEdit_max_engineload->value(), 200);

        calibrate(1, 20, 120);
        QCOMPARE(f.shownTexts(),
                 QStringList{"The wiring from the Engine load 1 sensor is reversed !!\r\r\nCheck the "
                             "wiring and try Automatic cal. again"});
        QCOMPARE(w()->SpinEdit_max_engineload->value(), 200);

        calibrate(2, 100, 103);
        QCOMPARE(f.shownTexts(),
                 QStringList{"The Engine load 2 sensor is not connected !!\r\r\nCheck the wiring and "
                             "try Automatic cal. again"});

        calibrate(2, 100, 150);
        QCOMPARE(f.shownTexts(),
                 QStringList{"Range between minimal and maximal value is to small !!\r\r\nCheck the "
                             "Engine load 2 sensor and try Automatic cal. again"});

        calibrate(2, 30, 240);
        QVERIFY(f.shownTexts().isEmpty());
        QCOMPARE(w()->SpinEdit_min_engineload2->value(), 30);
        QCOMPARE(w()->SpinEdit_max_engineload2->value(), 240);
        QCOMPARE(w()->SpinEdit_min_engineload->value(), 20);

        // The sub-panel's Cancel takes the calibrated values back to the snapshot.
        QTest::mouseClick(w()->Button_Cancel_Engine_load_sensor, Qt::LeftButton);
        QVERIFY(w()->optionsSnapshot().min2 != 30);
        QCOMPARE(w()->SpinEdit_min_engineload2->value(), w()->optionsSnapshot().min2);
    }
};

QTEST_MAIN(OptionsEcuTest)
#include "OptionsEcuTest.moc"
