// The image <-> controls codec against the real windows.
#include <QtTest>
#include <functional>

#include "app/DataSetCodec.h"
#include "tests/support/RepresentableImage.h"
#include "tests/support/WindowsFixture.h"

namespace {
QString firstDifference(const QVector<std::uint16_t> &expected, const QVector<std::uint16_t> &actual) {
    if (expected.size() != actual.size())
        return QString("size %1 instead of %2").arg(actual.size()).arg(expected.size());
    for (int w = 0; w < expected.size(); ++w)
        if (expected[w] != actual[w])
            return QString("word %1: %2 instead of %3").arg(w).arg(actual[w]).arg(expected[w]);
    return {};
}
} // namespace

class DataSetCodecTest : public QObject {
    Q_OBJECT
private slots:
    void aRepresentableImageSurvivesTheControls_data() {
        QTest::addColumn<QString>("version");
        for (const char *version :
             {"3FA1AD1AA", "3FA1AC1AA", "3FA1AB1AA", "3FA1AA1AA", "2FA1AD1AA", "1FA1AD1AA"})
            QTest::newRow(version) << QString(version);
    }
    void aRepresentableImageSurvivesTheControls() {
        QFETCH(QString, version);
        WindowsFixture windows(version);
        const QVector<std::uint16_t> image = representableImage(version);
        DecodeImage(windows.ctx, image);
        const QVector<std::uint16_t> again = EncodeImage(windows.ctx);
        const QString difference = firstDifference(image, again);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void decodingFillsTheNamedControls() {
        WindowsFixture windows("3FA1AD1AA");
        DecodeImage(windows.ctx, representableImage("3FA1AD1AA"));
        TForm3 &f = *windows.form3;
        QCOMPARE(windows.form1->AdvStringGrid_fuel->cellText(16, 25), QString("655.35"));
        QCOMPARE(windows.form2->AdvStringGrid_Watertemp->cellText(1, 1), QString("-5.0"));
        QCOMPARE(windows.form2->AdvStringGrid_battery->cellText(2, 1), QString("0.62"));
        QCOMPARE(f.ComboBox_number_of_cylinders->currentIndex(), 3);
        QVERIFY(f.RadioButton_RPM_pickup_from_Hallsensor->isChecked());
        QCOMPARE(f.SpinEdit_RPM_Range_Row25->value(), 12600);
        QCOMPARE(windows.form1->AdvStringGrid_fuel->cellText(0, 25), QString("12600"));
        QCOMPARE(f.Edit_remarks_line1->text(), QString("Remark line one, spaces follow  "));
        QCOMPARE(f.ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex(), 3);
        QCOMPARE(f.AdvSpinEdit_Boost_correction_factor->value(), 1.5);
        QCOMPARE(f.AdvSpinEdit_Air_pressure_sensor_adjustment->value(), -12.3);
        QVERIFY(f.RadioButton_Engine_load_Air_pressure->isChecked());
        QCOMPARE(f.SpinEdit_second_stage_rpm->value(), 12500);
        QCOMPARE(f.SpinEdit_AUX1_Channel2_off->value(), -5);
        QCOMPARE(f.AdvSpinEdit_mode1_AUX1_hyst_channel1->value(), 0.5);
        QVERIFY(f.CheckBox_AUX1_output_inverted->isChecked());
        QVERIFY(f.RadioButton_mode1_AUX1->isChecked());
        QCOMPARE(f.AdvSpinEdit_Crank_turns_80_kolom_4_nr->value(), 65535.0);
        QCOMPARE(f.AdvSpinEditStartup_enrichment_correction_table_kolom_1->value(), -20.0);
        QVERIFY(f.CheckBox_enable_type1->isChecked());
        QVERIFY(f.CheckBox_enable_type2->isChecked());
    }

    // Untouched, what the controls cannot show goes back word for word; not on another firmware.
    void wordsTheControlsCannotShowComeBackUntouched() {
        {
            WindowsFixture windows("3FA1AD1AA");
            const QVector<std::uint16_t> image = unrepresentableImage();
            DecodeImage(windows.ctx, image);
            QCOMPARE(windows.form2->AdvStringGrid_battery->cellText(0, 1), QString("1.23"));
            const QString difference = firstDifference(image, EncodeImage(windows.ctx));
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
            QCOMPARE(EncodeWords(windows.ctx, 570, 10), image.mid(570, 10));

            windows.setVersion("3FA1AD1AB");
            const QVector<std::uint16_t> fresh = EncodeImage(windows.ctx);
            QCOMPARE(fresh[436], textWord('W', 'a'));
            QCOMPARE(fresh[444], std::uint16_t(1));
            QCOMPARE(fresh[446], std::uint16_t(135));
            QCOMPARE(fresh[456], std::uint16_t(19));
            QCOMPARE(fresh[457], std::uint16_t(0));
            QCOMPARE(fresh[510], std::uint16_t(0));
            QCOMPARE(fresh[578], std::uint16_t(1230));
            QCOMPARE(fresh[640], std::uint16_t(0));
            QCOMPARE(fresh[644], std::uint16_t(135));
            QCOMPARE(fresh[656], std::uint16_t(1 << 8));
        }
        {
            // Generation "1" has no pickup choice: the high byte is kept, not shown.
            WindowsFixture windows("1FA1AD1AA");
            QVector<std::uint16_t> image = representableImage("1FA1AD1AA");
            image[432] = 0x0100 | 24;
            image[510] = 9;
            DecodeImage(windows.ctx, image);
            QCOMPARE(windows.form3->ComboBox_number_of_cylinders->currentIndex(), 4);
            QCOMPARE(EncodeImage(windows.ctx), image);
        }
    }

    // A word is taken from the controls again once any control it depends on changes.
    void changingOneControlChangesOnlyItsOwnWords() {
        struct Change {
            const char *what;
            std::function<void(WindowsFixture &)> change;
            QList<QPair<int, int>> words; // address, new word
        };
        const QList<Change> changes{
            {"battery cell",
             [](WindowsFixture &w) { w.form2->AdvStringGrid_battery->setCellValue(0, 1, 0.5); },
             {{578, 500}}},
            {"low byte of a pair",
             [](WindowsFixture &w) { w.form3->SpinEdit_acc_amplifier->setValue(20); },
             {{570, 95 << 8 | 20}}},
            {"air pressure off takes the shown factor too",
             [](WindowsFixture &w) { w.form3->RadioButton_Engine_load_MAP->setChecked(true); },
             {{656, 0}}},
            {"water temperature below zero",
             [](WindowsFixture &w) { w.form3->SpinEdit_AUX1_Channel2_off->setValue(-20); },
             {{645, 0x8014}}},
            {"kind of a channel and its thresholds",
             [](WindowsFixture &w) { w.form3->SetAux1Mode0ChannelKind(1, 2); },
             {{640, 2}, {641, 15}, {642, 15}}},
            {"mode code",
             [](WindowsFixture &w) { w.form3->CheckBox_AUX1_output_inverted->setChecked(true); },
             {{646, 3}}},
            {"remark line",
             [](WindowsFixture &w) { w.form3->Edit_remarks_line2->setText(QString(32, 'x')); },
             {{474, textWord('x', 'x')}, {489, textWord('x', 'x')}}},
        };
        for (const Change &c : changes) {
            WindowsFixture windows("3FA1AD1AA");
            QVector<std::uint16_t> expected = unrepresentableImage();
            DecodeImage(windows.ctx, expected);
            c.change(windows);
            if (QString(c.what) == "remark line")
                std::fill(expected.begin() + 474, expected.begin() + 490, textWord('x', 'x'));
            for (const auto &[address, word] : c.words)
                expected[address] = std::uint16_t(word);
            const QString difference = firstDifference(expected, EncodeImage(windows.ctx));
            QVERIFY2(difference.isEmpty(), qPrintable(QString(c.what) + ": " + difference));
        }
    }

    void pickupTravelsInTheHighByteFromGenerationTwo() {
        QCOMPARE(EncodeCylindersAndPickup("2FA1AD1AA", 3, true), std::uint16_t(0x0112));
        QCOMPARE(EncodeCylindersAndPickup("3FA1AD1AA", 3, true), std::uint16_t(0x0112));
        QCOMPARE(EncodeCylindersAndPickup("3FA1AD1AA", 3, false), std::uint16_t(0x0012));
        QCOMPARE(EncodeCylindersAndPickup("1FA1AD1AA", 3, true), std::uint16_t(0x0012));
        QCOMPARE(EncodeCylindersAndPickup("3FA1AD1AA", 0, true), std::uint16_t(0x0100));

        const CylindersAndPickup three = DecodeCylindersAndPickup("3FA1AD1AA", 0x0112);
        QCOMPARE(three.cylinderIndex, 3);
        QCOMPARE(three.hallSensor, std::optional<bool>(true));
        QCOMPARE(DecodeCylindersAndPickup("2FA1AD1AA", 0x0012).hallSensor, std::optional<bool>(false));
        const CylindersAndPickup one = DecodeCylindersAndPickup("1FA1AD1AA", 0x0112);
        QCOMPARE(one.cylinderIndex, 3);
        QVERIFY(!one.hallSensor);
        QCOMPARE(DecodeCylindersAndPickup("3FA1AD1AA", 5).cylinderIndex, 0); // not a multiple of 6

        // Through the controls: coil on "2" firmware gives high byte 0, Hall gives 1.
        WindowsFixture windows("2FA1AD1AA");
        windows.form3->RadioButton_RPM_pickup_from_coil->setChecked(true);
        QCOMPARE(EncodeImage(windows.ctx)[432] >> 8, 0);
        windows.form3->RadioButton_RPM_pickup_from_Hallsensor->setChecked(true);
        QCOMPARE(EncodeImage(windows.ctx)[432] >> 8, 1);
    }

    void olderFirmwareGetsTheFixedRpmScale() {
        WindowsFixture windows("3FA1AD1AA");
        DecodeImage(windows.ctx, representableImage("3FA1AD1AA"));
        QCOMPARE(windows.form3->SpinEdit_RPM_Range_Row1->value(), 600);
        windows.setVersion("2FA1AD1AA");
        DecodeImage(windows.ctx, representableImage("2FA1AD1AA"));
        QCOMPARE(windows.form3->SpinEdit_RPM_Range_Row1->value(), 500);
        QCOMPARE(windows.form3->SpinEdit_RPM_Range_Row25->value(), 12500);
        QCOMPARE(windows.form1->AdvStringGrid_fuel->cellText(0, 13), QString("6500"));
        QCOMPARE(windows.form1->AdvStringGrid_injection_boost_correction->cellText(0, 13), QString("6500"));
        // The sections of newer firmware stay out of an older image.
        const QVector<std::uint16_t> image = EncodeImage(windows.ctx);
        QCOMPARE(image.size(), 511);
        QCOMPARE(image[506], std::uint16_t(0));
        QCOMPARE(image[509], std::uint16_t(0));
    }

    void unusedSectionsOfAFirmwareEncodeAsZero() {
        WindowsFixture windows("3FA1AD1AA");
        DecodeImage(windows.ctx, representableImage("3FA1AD1AA"));
        windows.setVersion("3FA1AA1AA");
        const QVector<std::uint16_t> image = EncodeImage(windows.ctx);
        QCOMPARE(image.size(), 1089);
        for (int w = 655; w < 1089; ++w)
            QCOMPARE(image[w], std::uint16_t(0));
        windows.setVersion("3FA1AC1AA");
        QCOMPARE(EncodeImage(windows.ctx)[656], std::uint16_t(1 << 8)); // no factor below "3FA1AD"
    }

    void blocksAreSlicesOfTheImage() {
        WindowsFixture windows("3FA1AD1AA");
        DecodeImage(windows.ctx, representableImage("3FA1AD1AA"));
        const QVector<std::uint16_t> image = EncodeImage(windows.ctx);
        QCOMPARE(EncodeWords(windows.ctx, 432, 26), image.mid(432, 26));
        QCOMPARE(EncodeWords(windows.ctx, 1080, 20).mid(0, 9), image.mid(1080, 9));
        QCOMPARE(EncodeWords(windows.ctx, 1080, 20).mid(9), QVector<std::uint16_t>(11, 0));
        QCOMPARE(EncodeWords(windows.ctx, -2, 3), (QVector<std::uint16_t>{0, 0, image[0]}));
        // Older firmware still encodes the words of a block it is asked for.
        windows.setVersion("2FA1AD1AA");
        QCOMPARE(EncodeWords(windows.ctx, 400, 32), image.mid(400, 32));
    }

    void aShortImageChangesOnlyWhatItHolds() {
        WindowsFixture windows("3FA1AD1AA");
        windows.form2->AdvStringGrid_luchttemp->setCellValue(5, 1, 12.5);
        QVector<std::uint16_t> image = representableImage("3FA1AD1AA");
        image.resize(600); // a newer version's image cut short: only the first sections are used
        DecodeImage(windows.ctx, image);
        QCOMPARE(windows.form2->AdvStringGrid_Watertemp->cellText(1, 1), QString("-5.0"));
        QCOMPARE(windows.form2->AdvStringGrid_luchttemp->cellText(5, 1), QString("12.5"));
        DecodeImage(windows.ctx, {}); // nothing at all: nothing happens
    }
};

QTEST_MAIN(DataSetCodecTest)
#include "DataSetCodecTest.moc"
