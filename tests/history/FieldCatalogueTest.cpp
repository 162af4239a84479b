// The field catalogue and the image comparison: every written word has a named field, values read as
// the windows show them, and a comparison lists exactly the fields that differ.
#include <QSet>
#include <QTest>

#include "app/DataSetCodec.h"
#include "core/FieldCatalogue.h"
#include "core/ImageCompare.h"
#include "link/TransferPlan.h"
#include "tests/support/AppFixture.h"
#include "tests/support/RepresentableImage.h"
#include "windows/correction/CorrectionWindow.h"

class FieldCatalogueTest : public QObject {
    Q_OBJECT
    AppFixture app;

    const CalibrationField *find(const QVector<CalibrationField> &fields, const QString &name) {
        for (const CalibrationField &f : fields)
            if (f.name == name)
                return &f;
        return nullptr;
    }

private slots:
    void everyWrittenWordBelongsToAFieldInAddressOrder_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("imageWords");
        for (const char *v : {"1FA1AA1AA", "2FA1AD1AA", "3FA1AA1AA", "3FA1AB1AA", "3FA1AC1AA", "3FA1AD1AA"})
            QTest::newRow(v) << QString::fromLatin1(v) << (QByteArray(v).startsWith("3") ? 1089 : 511);
    }
    void everyWrittenWordBelongsToAFieldInAddressOrder() {
        QFETCH(QString, version);
        QFETCH(int, imageWords);
        const QVector<CalibrationField> fields = CalibrationFields(version);
        QSet<int> covered;
        QSet<QString> names;
        int last = -1;
        for (const CalibrationField &f : fields) {
            QVERIFY2(f.words.first() >= last, qPrintable(f.name));
            last = f.words.first();
            for (int w : f.words) {
                QVERIFY2(w >= 0 && w < imageWords, qPrintable(f.name));
                covered.insert(w);
            }
            QVERIFY2(!names.contains(f.name), qPrintable(f.name));
            names.insert(f.name);
        }
        for (const WritePlanStep &step : CalibrationWritePlan(version))
            for (const WriteBlock &block : step.blocks)
                for (int w = block.address; w < block.address + block.words; ++w)
                    QVERIFY2(covered.contains(w), qPrintable(QString::number(w)));
    }

    // What the catalogue reads must be what the controls show after the codec decoded the same image.
    void valuesReadAsTheWindowsShowThem() {
        app.start(QStringLiteral("3FA1AD1AA"));
        QVector<std::uint16_t> image = representableImage(QStringLiteral("3FA1AD1AA"));
        DecodeImage(app.ctx(), image);
        const QVector<CalibrationField> fields = CalibrationFields(QStringLiteral("3FA1AD1AA"), image);
        TForm2 *tables = app.ctx().form2;
        const QHash<QString, DataGrid *> grids{
            {FieldSection::InjectionMap, app.main()->AdvStringGrid_fuel},
            {FieldSection::BoostMap, app.main()->AdvStringGrid_injection_boost_correction},
            {FieldSection::WaterTemp, tables->AdvStringGrid_Watertemp},
            {FieldSection::AirTemp, tables->AdvStringGrid_luchttemp},
            {FieldSection::Battery, tables->AdvStringGrid_battery},
            {FieldSection::AirPressure, tables->AdvStringGrid_Air_pressure}};
        int cells = 0;
        for (const CalibrationField &f : fields)
            if (DataGrid *grid = grids.value(f.section)) {
                QCOMPARE(FieldValueText(f, image), grid->cellText(f.gridColumn, f.gridRow));
                ++cells;
            }
        QCOMPARE(cells, 2 * 400 + 4 * 32);
        TForm3 &o = *app.ctx().form3;
        const QList<std::pair<const char *, QString>> options{
            {"Overrun fuel cut RPM", o.SpinEdit_Overrun_fuel_cut_rpm->text()},
            {"Soft limit", o.SpinEdit_soft_limit->text()},
            {"Start-up water temp, column 2", o.startupTemperature(2)->text()},
            {"Boost correction factor", o.AdvSpinEdit_Boost_correction_factor->text()},
            {"Remarks line 1", o.Edit_remarks_line1->text().trimmed()},
            {"Number of cylinders", o.ComboBox_number_of_cylinders->currentText()},
            {"AUX1 mode 1 channel 1 on", o.AdvSpinEdit_mode1_AUX1_Channel1_on->text()}};
        for (const auto &[name, shown] : options) {
            const CalibrationField *f = find(fields, QString::fromLatin1(name));
            QVERIFY2(f, name);
            QCOMPARE(FieldValueText(*f, image), shown);
        }
        app.stop();
    }

    void comparisonListsExactlyTheChangedFields() {
        const QString version = QStringLiteral("3FA1AD1AA");
        QVector<std::uint16_t> first = representableImage(version);
        first[512 + 7] = 400; // row 8 at 4000 rpm
        QVector<std::uint16_t> second = first;
        second[7 * 16 + 7] = 1250;                                   // fuel map row 8, column 8
        second[575] = std::uint16_t((first[575] & 0x00FF) | 0x3C00); // overrun cut RPM only (high byte)
        second[458] ^= 0x0100;                                       // a character of remarks line 1
        second[510] = 0x1234;                                        // reserved: never reported
        second[689 + 3] = 0x8000 | 55;                               // boost map -5.5 %
        QStringList names;
        for (const FieldDifference &d : CompareImages(version, first, second))
            names << d.field.name;
        QCOMPARE(names.size(), 4);
        QCOMPARE(names[0], QStringLiteral("Injection map, 4000 rpm, load 7"));
        QCOMPARE(names[1], QStringLiteral("Remarks line 1"));
        QCOMPARE(names[2], QStringLiteral("Overrun fuel cut RPM"));
        QVERIFY(names[3].startsWith(QStringLiteral("Boost-correction map, ")) &&
                names[3].endsWith(", load 3"));
        const FieldDifference cell = CompareImages(version, first, second).first();
        QCOMPARE(cell.second, QStringLiteral("12.50"));
        QCOMPARE(CompareImages(version, first, second).last().second, QStringLiteral("-5.5"));
        QVERIFY(CompareImages(version, first, first).isEmpty());
        QCOMPARE(DifferingWords(first, second, 1089).size(), 4);
    }
};

QTEST_MAIN(FieldCatalogueTest)
#include "FieldCatalogueTest.moc"
