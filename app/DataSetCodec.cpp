#include "app/DataSetCodec.h"

#include <algorithm>
#include <functional>

#include "app/AppContext.h"
#include "core/AuxConversion.h"
#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"
#include "rules/OptionOperations.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

namespace W = ImageWord;
using Image = QVector<std::uint16_t>;

namespace {

const QString FixedTableName = QStringLiteral("Water-temp");
const QString FixedTableUnit = QStringLiteral("\u00B0C");

struct Gates {
    explicit Gates(const QString &v)
        : version(v), full(VersionAtLeast(v, QStringLiteral("3FA"))),
          airPressure(VersionAtLeast(v, QStringLiteral("3FA1AB"))),
          boostMap(VersionAtLeast(v, QStringLiteral("3FA1AC"))),
          boostFactor(VersionAtLeast(v, QStringLiteral("3FA1AD"))) {}
    QString version;
    bool full;        // "3FA": 1089-word image, fixed correction-table settings
    bool airPressure; // "3FA1AB": words 655..688
    bool boostMap;    // "3FA1AC": words 689..1088
    bool boostFactor; // "3FA1AD": boost factor in the low byte of 656
};

// The windows whose controls hold the image. The options window is always there; the others may not be.
struct Controls {
    explicit Controls(AppContext &ctx)
        : maps(ctx.form1), tables(ctx.form2), f(*ctx.form3), g(ctx.form3->currentVersion()) {}
    TForm1 *maps;
    TForm2 *tables;
    TForm3 &f;
    Gates g;
};

// ---- the two ways of binding words to controls -------------------------------------------------------
// Each field says once which control gets which value from its words. Decoding runs that with an
// Applier, which sets the controls; the encoder runs it on the last image read or loaded with a Matcher,
// which only checks that every control still shows that value, so the image's own words may be kept.

class Binder {
public:
    virtual ~Binder() = default;
    virtual void cell(DataGrid *grid, int column, int row, double value) = 0;
    virtual void spin(QSpinBox *box, int value) = 0;
    virtual void decimal(QDoubleSpinBox *box, double value) = 0;
    virtual void list(QComboBox *list, int index) = 0;
    virtual void check(QAbstractButton *button, bool on) = 0;
    virtual void text(QLineEdit *edit, const QString &text) = 0;
    // An operation of the options window that also sets looks and enabling: only run when decoding.
    virtual void run(const std::function<void()> &operation) = 0;
    // What such an operation, or a word of another field this one depends on, leaves in the controls:
    // only checked when matching.
    virtual void expect(bool shown) = 0;
};

// An index the list does not have would leave it without a selection; the first entry is taken instead.
int indexHeldBy(const QComboBox *list, int index) {
    return index >= 0 && index < list->count() ? index : 0;
}

// The text DataGrid::setCellValue gives a value.
QString cellTextFor(const DataGrid *grid, double value) {
    QString text = QString::asprintf(grid->valueFormat().toLatin1().constData(), value);
    if (text.startsWith(QLatin1Char('-'))) {
        bool ok = false;
        if (text.toDouble(&ok) == 0.0 && ok)
            text.remove(0, 1);
    }
    return text;
}

// The value QDoubleSpinBox::setValue keeps: rounded to the box's decimals, then held within its range.
double valueHeldBy(const QDoubleSpinBox *box, double value) {
    const double rounded = QString::number(value, 'f', box->decimals()).toDouble();
    return std::clamp(rounded, box->minimum(), box->maximum());
}

class Applier final : public Binder {
public:
    void cell(DataGrid *grid, int column, int row, double value) override {
        grid->setCellValue(column, row, value);
    }
    void spin(QSpinBox *box, int value) override { box->setValue(value); }
    void decimal(QDoubleSpinBox *box, double value) override { box->setValue(value); }
    void list(QComboBox *list, int index) override { list->setCurrentIndex(indexHeldBy(list, index)); }
    void check(QAbstractButton *button, bool on) override { button->setChecked(on); }
    void text(QLineEdit *edit, const QString &text) override { edit->setText(text); }
    void run(const std::function<void()> &operation) override { operation(); }
    void expect(bool) override {}
};

class Matcher final : public Binder {
public:
    bool shown = true;

    void cell(DataGrid *grid, int column, int row, double value) override {
        shown = shown && grid->cellText(column, row) == cellTextFor(grid, value);
    }
    void spin(QSpinBox *box, int value) override {
        shown = shown && box->value() == std::clamp(value, box->minimum(), box->maximum());
    }
    void decimal(QDoubleSpinBox *box, double value) override {
        shown = shown && box->value() == valueHeldBy(box, value);
    }
    void list(QComboBox *list, int index) override {
        shown = shown && list->currentIndex() == indexHeldBy(list, index);
    }
    void check(QAbstractButton *button, bool on) override { shown = shown && button->isChecked() == on; }
    void text(QLineEdit *edit, const QString &text) override {
        shown = shown && edit->text() == text.left(edit->maxLength());
    }
    void run(const std::function<void()> &) override {}
    void expect(bool s) override { shown = shown && s; }
};

// ---- encoding helpers ------------------------------------------------------------------------------------

std::uint16_t unsignedWord(double scaled) {
    return std::uint16_t(std::clamp(RoundHalfEven(scaled), 0, 65535));
}

std::uint16_t signedWord(double scaled) {
    return EncodeSignMagnitude(std::clamp(RoundHalfEven(scaled), -32767, 32767));
}

int byteOf(double value) {
    return std::clamp(RoundHalfEven(value), 0, 255);
}

std::uint16_t bytePair(double high, double low) {
    return PackBytePair(byteOf(high), byteOf(low));
}

int listIndex(const QComboBox *list) {
    return std::max(0, list->currentIndex());
}

void putText(std::uint16_t *out, const QString &text, int chars) {
    const QVector<std::uint16_t> words = PackText(text, chars);
    for (int i = 0; i < words.size() && i < chars / 2; ++i)
        out[i] = words[i];
}

QString getText(const Image &image, int at, int chars) {
    return UnpackText(image.constData() + at, chars / 2);
}

WordPair axisLimit(const Gates &g, std::int64_t fixedRaw, const QDoubleSpinBox *box) {
    // From "3FA" the axis limits are the fixed raw degrees, not scaled by 100.
    return EncodeSignMagnitude32(g.full ? fixedRaw : std::int64_t(RoundHalfEven(box->value() * 100)));
}

double axisLimitShown(const Gates &g, double fixed, const Image &image, int at) {
    return g.full ? fixed : double(DecodeSignMagnitude32(image[at], image[at + 1])) / 100.0;
}

// Channel kinds of the AUX lists; anything the lists do not offer counts as "None".
int auxKind(std::uint16_t word) {
    return word <= 5 ? int(word) : 0;
}

// ---- where the numbered controls are ---------------------------------------------------------------------

int mapColumn(int element) {
    return element % MapColumns + 1;
}
int mapRow(int element) {
    return element / MapColumns + 1;
}

std::pair<QSpinBox *, QSpinBox *> throttlePumpPair(TForm3 &f, int element) {
    switch (element) {
    case 0:
        return {f.SpinEdit_Throttle_pump_effect_amount_0_2000,
                f.SpinEdit_Throttle_pump_effect_sustain_0_2000};
    case 1:
        return {f.SpinEdit_Throttle_pump_effect_amount_2000_4000,
                f.SpinEdit_Throttle_pump_effect_sustain_2000_4000};
    default:
        return {f.SpinEdit_Throttle_pump_effect_amount_4000plus,
                f.SpinEdit_Throttle_pump_effect_sustain_4000plus};
    }
}

// Words 569..573, high byte first.
std::pair<QSpinBox *, QSpinBox *> enrichmentPair(TForm3 &f, int element) {
    switch (element) {
    case 0:
        return {f.SpinEdit_initial_burst_sensitivity, f.SpinEdit_initial_burst_amplifier};
    case 1:
        return {f.SpinEdit_acc_sensitivity, f.SpinEdit_acc_amplifier};
    case 2:
        return {f.SpinEdit_acc_crank_rotations, f.SpinEdit_acc_20};
    case 3:
        return {f.SpinEdit_acc_30, f.SpinEdit_acc_40};
    default:
        return {f.SpinEdit_acc_50, f.SpinEdit_acc_60};
    }
}

QLineEdit *remarksLine(TForm3 &f, int element) {
    return element == 0 ? f.Edit_remarks_line1 : element == 1 ? f.Edit_remarks_line2 : f.Edit_remarks_line3;
}

// The mode-0 channel (1 or 2): its kind list, the word of its kind and its "on at >" / "off at <" fields.
struct Mode0Channel {
    QComboBox *kind;
    int kindWord;
    QSpinBox *thresholds[2];
};
Mode0Channel mode0Channel(TForm3 &f, int channel) {
    if (channel == 1)
        return {f.ComboBox_AUX1_Channel1_type,
                W::Aux1Channel1Type,
                {f.SpinEdit_second_stage_rpm, f.SpinEdit_AUX1_Channel1_off}};
    return {f.ComboBox_AUX1_Channel2_type,
            W::Aux1Channel2Type,
            {f.SpinEdit_second_stage_engineload, f.SpinEdit_AUX1_Channel2_off}};
}

// The mode-1 channel: "on at >", "off at >" and its hysteresis.
struct Mode1Channel {
    QComboBox *kind;
    int kindWord;
    QDoubleSpinBox *thresholds[2];
    QDoubleSpinBox *hysteresis;
};
Mode1Channel mode1Channel(TForm3 &f, int channel) {
    if (channel == 1)
        return {f.ComboBox_mode1_AUX1_Channel1_type,
                W::Aux1Mode1Channel1Type,
                {f.AdvSpinEdit_mode1_AUX1_Channel1_on, f.AdvSpinEdit_mode1_AUX1_Channel1_off},
                f.AdvSpinEdit_mode1_AUX1_hyst_channel1};
    return {f.ComboBox_mode1_AUX1_Channel2_type,
            W::Aux1Mode1Channel2Type,
            {f.AdvSpinEdit_mode1_AUX1_Channel2_on, f.AdvSpinEdit_mode1_AUX1_Channel2_off},
            f.AdvSpinEdit_mode1_AUX1_hyst_channel2};
}

// A kind word sets range, unit and a default value of its channel's fields; the thresholds that follow
// it depend on it, so they only keep their words while the kind list still shows the kind.
void bindMode0Kind(Binder &b, TForm3 &f, int channel, std::uint16_t word) {
    const int kind = auxKind(word);
    b.run([&] { f.SetAux1Mode0ChannelKind(channel, kind); });
    b.expect(mode0Channel(f, channel).kind->currentIndex() == kind);
}
void bindMode1Kind(Binder &b, TForm3 &f, int channel, std::uint16_t word) {
    const int kind = auxKind(word);
    b.run([&] { f.SetAux1Mode1ChannelKind(channel, kind); });
    b.expect(mode1Channel(f, channel).kind->currentIndex() == kind);
}
void bindMode0Threshold(Binder &b, TForm3 &f, int channel, int element, const Image &image, int at) {
    const Mode0Channel ch = mode0Channel(f, channel);
    const int kind = auxKind(image[ch.kindWord]);
    b.expect(ch.kind->currentIndex() == kind);
    b.spin(ch.thresholds[element], AuxDecodeInteger(kind, image[at]));
}
void bindMode1Value(Binder &b, const Mode1Channel &ch, QDoubleSpinBox *box, const Image &image, int at) {
    const int kind = auxKind(image[ch.kindWord]);
    b.expect(ch.kind->currentIndex() == kind);
    b.decimal(box, AuxDecodeDecimal(kind, image[at]));
}

// ---- the fields of the image -----------------------------------------------------------------------------

constexpr int MapCells = MapRows * MapColumns;

enum class Since { Always, Gen3, AirPressure, BoostMap };
enum class Holder { Maps, Tables, Options };

// One field of the image, or a run of equal ones (map cells, table entries, numbered controls): element e
// occupies words first + e x words .. first + (e + 1) x words - 1.
struct Field {
    const char *name;
    int first;
    int words;
    int elements;
    Since since;
    Holder holder;
    void (*encode)(const Controls &c, int element, std::uint16_t *out);
    void (*bind)(Binder &b, const Controls &c, int element, const Image &image, int at);
};

// The one list of the image's fields, in address order; decoding runs in this order (a kind list before
// its thresholds). Name, address, extent and firmware are plain data that a widget-free catalogue of the
// image can take over; the two functions are what ties a field to its controls.
const Field Fields[] = {
    {"FuelMap", FuelMapStart, 1, MapCells, Since::Always, Holder::Maps,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = unsignedWord(c.maps->AdvStringGrid_fuel->cellValue(mapColumn(e), mapRow(e)) * 100);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.cell(c.maps->AdvStringGrid_fuel, mapColumn(e), mapRow(e), image[at] / 100.0);
     }},
    {"WaterTempTable", WaterTempTableStart, 1, TableEntries, Since::Always, Holder::Tables,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = signedWord(c.tables->AdvStringGrid_Watertemp->cellValue(e, 1) * 10);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.cell(c.tables->AdvStringGrid_Watertemp, e, 1, DecodeSignMagnitude(image[at]) / 10.0);
     }},
    {"CylindersAndPickup", W::CylindersAndPickup, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = EncodeCylindersAndPickup(c.g.version, listIndex(c.f.ComboBox_number_of_cylinders),
                                           !c.f.RadioButton_RPM_pickup_from_coil->isChecked());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         const CylindersAndPickup pickup = DecodeCylindersAndPickup(c.g.version, image[at]);
         b.list(c.f.ComboBox_number_of_cylinders, pickup.cylinderIndex);
         if (pickup.hallSensor) {
             b.check(c.f.RadioButton_RPM_pickup_from_Hallsensor, *pickup.hallSensor);
             b.check(c.f.RadioButton_RPM_pickup_from_coil, !*pickup.hallSensor);
         }
     }},
    {"InjectionStrokeMode", W::InjectionStrokeMode, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(listIndex(c.f.ComboBox_inj_stroke_mode) + 1);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.list(c.f.ComboBox_inj_stroke_mode, int(image[at]) - 1);
     }},
    {"EngineLoadMax", W::EngineLoadMax, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(c.f.SpinEdit_max_engineload->value());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_max_engineload, image[at]);
     }},
    {"EngineLoadMin", W::EngineLoadMin, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(c.f.SpinEdit_min_engineload->value());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_min_engineload, image[at]);
     }},
    {"CorrectionTableName", W::CorrectionTableName, 5, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         putText(out, c.g.full ? FixedTableName : c.f.Edit_correction_table_name->text(), 10);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.text(c.f.Edit_correction_table_name, c.g.full ? FixedTableName : getText(image, at, 10));
     }},
    {"CorrectionTableUnit", W::CorrectionTableUnit, 3, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         putText(out, c.g.full ? FixedTableUnit : c.f.Edit_Correction_table_eenheid->text(), 6);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.text(c.f.Edit_Correction_table_eenheid, c.g.full ? FixedTableUnit : getText(image, at, 6));
     }},
    {"NtcSensorActive", W::NtcSensorActive, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = (c.g.full || c.f.CheckBox_NTC_sensor_aktief->isChecked()) ? 1 : 0;
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.check(c.f.CheckBox_NTC_sensor_aktief, c.g.full || image[at] == 1);
     }},
    {"CorrectionTableMax", W::CorrectionTableMax, 2, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         const WordPair max = axisLimit(c.g, 135, c.f.AdvSpinEdit_Max_Correction_table);
         out[0] = max.high, out[1] = max.low;
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.decimal(c.f.AdvSpinEdit_Max_Correction_table, axisLimitShown(c.g, 135, image, at));
     }},
    {"CorrectionTableMin", W::CorrectionTableMin, 2, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         const WordPair min = axisLimit(c.g, -20, c.f.AdvSpinEdit_Min_Correction_table);
         out[0] = min.high, out[1] = min.low;
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.decimal(c.f.AdvSpinEdit_Min_Correction_table, axisLimitShown(c.g, -20, image, at));
     }},
    {"SecondStageRpmOld", W::SecondStageRpmOld, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.SpinEdit_second_stage_rpm_oud->value() / 50.0);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_second_stage_rpm_oud, image[at] * 50);
     }},
    {"SecondStageEngineLoadOld", W::SecondStageEngineLoadOld, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.SpinEdit_second_stage_engineload_oud->value());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_second_stage_engineload_oud, image[at]);
     }},
    {"StartupInjectionPulse", W::StartupInjectionPulse, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.AdvSpinEdit_startup_injection_puls->value() * 100);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.decimal(c.f.AdvSpinEdit_startup_injection_puls, image[at] / 100.0);
     }},
    {"InterpolationFlags", W::InterpolationFlags, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) { out[0] = std::uint16_t(c.f.PackInterpolationFlags()); },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         const int flags = image[at];
         b.run([&] { c.f.UnpackInterpolationFlags(flags); });
         b.expect(c.f.PackInterpolationFlags() == InterpolationFlagsFor(DecodeInterpolationFlags(flags)));
     }},
    {"ThrottlePump", W::ThrottlePumpLow, 1, 3, Since::Always, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const auto [amount, sustain] = throttlePumpPair(c.f, e);
         out[0] = bytePair(amount->value(), sustain->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         const auto [amount, sustain] = throttlePumpPair(c.f, e);
         b.spin(amount, HighByte(image[at]));
         b.spin(sustain, LowByte(image[at]));
     }},
    {"LoadModeFlags", W::LoadModeFlags, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) { out[0] = std::uint16_t(c.f.PackLoadModeFlags()); },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         const int flags = image[at];
         const LoadModeChoice choice = DecodeLoadModeFlags(c.g.version, flags);
         b.run([&] { c.f.UnpackLoadModeFlags(flags); });
         b.expect((!choice.mainLoadIndex ||
                   c.f.ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex() == *choice.mainLoadIndex) &&
                  (!choice.sensorTypeIndex ||
                   c.f.ComboBox_Engine_load_sensor_type->currentIndex() == *choice.sensorTypeIndex) &&
                  c.f.CheckBox_inlet_temp_correction_on_off->isChecked() == choice.inletCorrection &&
                  c.f.CheckBox_Battery_correction_on_off->isChecked() == choice.batteryCorrection);
     }},
    {"ResponseType", W::ResponseType, 1, 1, Since::Always, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(listIndex(c.f.ImagePicker_Respons_type));
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.list(c.f.ImagePicker_Respons_type, image[at]);
     }},
    {"RemarksLine", W::RemarksLine1, 16, 3, Since::Always, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) { putText(out, remarksLine(c.f, e)->text(), 32); },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.text(remarksLine(c.f, e), getText(image, at, 32));
     }},
    {"EngineLoad2Max", W::EngineLoad2Max, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(c.f.SpinEdit_max_engineload2->value());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_max_engineload2, image[at]);
     }},
    {"EngineLoad2Min", W::EngineLoad2Min, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(c.f.SpinEdit_min_engineload2->value());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_min_engineload2, image[at]);
     }},
    {"MapPressureAt375V", W::MapPressureAt375V, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.SpinEdit_Pressure_at_MAP_output_375V->value());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_Pressure_at_MAP_output_375V, image[at]);
     }},
    {"MapPressureAt125V", W::MapPressureAt125V, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.SpinEdit_Pressure_at_MAP_output_125V->value());
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_Pressure_at_MAP_output_125V, image[at]);
     }},
    // No control: 0 unless the image read or loaded holds something else.
    {"Reserved", W::Reserved510, 1, 2, Since::Always, Holder::Options,
     [](const Controls &, int, std::uint16_t *out) { out[0] = 0; },
     [](Binder &, const Controls &, int, const Image &, int) {}},

    // ---- "3FA" and later
    {"RpmRange", RpmRangeStart, 1, MapRows, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.rpmRangeRows()[e]->value() / 10.0);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.spin(c.f.rpmRangeRows()[e], image[at] * 10);
     }},
    {"AirTempTable", AirTempTableStart, 1, TableEntries, Since::Gen3, Holder::Tables,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = signedWord(c.tables->AdvStringGrid_luchttemp->cellValue(e, 1) * 10);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.cell(c.tables->AdvStringGrid_luchttemp, e, 1, DecodeSignMagnitude(image[at]) / 10.0);
     }},
    {"Enrichment", W::InitialBurst, 1, 5, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const auto [high, low] = enrichmentPair(c.f, e);
         out[0] = bytePair(high->value(), low->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         const auto [high, low] = enrichmentPair(c.f, e);
         b.spin(high, HighByte(image[at]));
         b.spin(low, LowByte(image[at]));
     }},
    {"ThrottlePumpTypeCode", W::ThrottlePumpTypeCode, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) { out[0] = PackBytePair(c.f.ThrottlePumpTypeCode(), 0); },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         const int code = HighByte(image[at]);
         bool type1 = false, type2 = false;
         // A code outside 0..3 leaves the boxes as they were, which then show nothing of it.
         const bool known = ThrottlePumpTypesFromCode(code, &type1, &type2);
         b.run([&] { c.f.SetThrottlePumpTypeCode(code); });
         b.expect(known && c.f.CheckBox_enable_type1->isChecked() == type1 &&
                  c.f.CheckBox_enable_type2->isChecked() == type2);
     }},
    {"OverrunFuelCut", W::OverrunFuelCut, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = bytePair(c.f.SpinEdit_Overrun_fuel_cut_rpm->value() / 50.0,
                           c.f.AdvSpinEdit_Overrun_fuel_cut_tps->value() * 10);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_Overrun_fuel_cut_rpm, HighByte(image[at]) * 50);
         b.decimal(c.f.AdvSpinEdit_Overrun_fuel_cut_tps, LowByte(image[at]) / 10.0);
     }},
    {"CoilInputVoltage", W::CoilInputVoltage, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(listIndex(c.f.ComboBox_coil_input_voltage));
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.list(c.f.ComboBox_coil_input_voltage, image[at]);
     }},
    {"SoftLimit", W::SoftLimit, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.SpinEdit_soft_limit->value() / 50.0);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.spin(c.f.SpinEdit_soft_limit, image[at] * 50);
     }},
    {"BatteryTable", BatteryTableStart, 1, TableEntries, Since::Gen3, Holder::Tables,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = signedWord(c.tables->AdvStringGrid_battery->cellValue(e, 1) * 1000);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.cell(c.tables->AdvStringGrid_battery, e, 1, DecodeSignMagnitude(image[at]) / 1000.0);
     }},
    {"StartupTempWord", W::StartupTempWord, 1, 2, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = bytePair(c.f.startupTemperature(2 * e + 1)->value() + 20,
                           c.f.startupTemperature(2 * e + 2)->value() + 20);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         const int temperatures[2] = {HighByte(image[at]) - 20, LowByte(image[at]) - 20};
         for (int i = 0; i < 2; ++i) {
             QDoubleSpinBox *field = c.f.startupTemperature(2 * e + 1 + i);
             b.run([field] {
                 field->setRange(-20, 135);
                 field->setSingleStep(1);
             });
             b.decimal(field, temperatures[i]);
         }
     }},
    {"StartupPulseByTemp", W::StartupPulseByTemp, 1, 4, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.startupPulse(e + 1)->value() * 100);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.decimal(c.f.startupPulse(e + 1), image[at] / 100.0);
     }},
    // Two percentages / 2 per word: words 2(t - 1) and 2(t - 1) + 1 hold columns 1..4 of crank turns row t.
    {"StartupPercentWord", W::StartupPercentWord, 1, 8, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const int turns = e / 2 + 1, column = 2 * (e % 2) + 1;
         out[0] = bytePair(c.f.crankTurnsPercent(turns, column)->value() / 2,
                           c.f.crankTurnsPercent(turns, column + 1)->value() / 2);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         const int turns = e / 2 + 1, column = 2 * (e % 2) + 1;
         b.decimal(c.f.crankTurnsPercent(turns, column), HighByte(image[at]) * 2);
         b.decimal(c.f.crankTurnsPercent(turns, column + 1), LowByte(image[at]) * 2);
     }},
    // Four words per column, crank turns rows 1..4.
    {"CrankTurns", W::CrankTurnsCol1, 1, 16, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = unsignedWord(c.f.crankTurnsCount(e % 4 + 1, e / 4 + 1)->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.decimal(c.f.crankTurnsCount(e % 4 + 1, e / 4 + 1), image[at]);
     }},
    {"Aux1Channel1Type", W::Aux1Channel1Type, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(listIndex(c.f.ComboBox_AUX1_Channel1_type));
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         bindMode0Kind(b, c.f, 1, image[at]);
     }},
    {"Aux1Channel1OnOff", W::Aux1Channel1On, 1, 2, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const Mode0Channel ch = mode0Channel(c.f, 1);
         out[0] = AuxEncodeInteger(listIndex(ch.kind), ch.thresholds[e]->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         bindMode0Threshold(b, c.f, 1, e, image, at);
     }},
    {"Aux1Channel2Type", W::Aux1Channel2Type, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(listIndex(c.f.ComboBox_AUX1_Channel2_type));
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         bindMode0Kind(b, c.f, 2, image[at]);
     }},
    {"Aux1Channel2OnOff", W::Aux1Channel2On, 1, 2, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const Mode0Channel ch = mode0Channel(c.f, 2);
         out[0] = AuxEncodeInteger(listIndex(ch.kind), ch.thresholds[e]->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         bindMode0Threshold(b, c.f, 2, e, image, at);
     }},
    {"Aux1ModeCode", W::Aux1ModeCode, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) { out[0] = std::uint16_t(c.f.Aux1ModeCode()); },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         const int code = image[at];
         b.run([&] { c.f.SetAux1ModeCode(code); });
         b.expect(c.f.CheckBox_AUX1_output_inverted->isChecked() == Aux1InvertedFromCode(code) &&
                  c.f.RadioButton_mode1_AUX1->isChecked() == Aux1Mode1FromCode(code));
     }},
    {"Aux1Mode1Channel1Type", W::Aux1Mode1Channel1Type, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(listIndex(c.f.ComboBox_mode1_AUX1_Channel1_type));
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         bindMode1Kind(b, c.f, 1, image[at]);
     }},
    {"Aux1Mode1Channel1OnOff", W::Aux1Mode1Channel1On, 1, 2, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const Mode1Channel ch = mode1Channel(c.f, 1);
         out[0] = AuxEncodeDecimal(listIndex(ch.kind), ch.thresholds[e]->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         const Mode1Channel ch = mode1Channel(c.f, 1);
         bindMode1Value(b, ch, ch.thresholds[e], image, at);
     }},
    {"Aux1Mode1Channel2Type", W::Aux1Mode1Channel2Type, 1, 1, Since::Gen3, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = std::uint16_t(listIndex(c.f.ComboBox_mode1_AUX1_Channel2_type));
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         bindMode1Kind(b, c.f, 2, image[at]);
     }},
    {"Aux1Mode1Channel2OnOff", W::Aux1Mode1Channel2On, 1, 2, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const Mode1Channel ch = mode1Channel(c.f, 2);
         out[0] = AuxEncodeDecimal(listIndex(ch.kind), ch.thresholds[e]->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         const Mode1Channel ch = mode1Channel(c.f, 2);
         bindMode1Value(b, ch, ch.thresholds[e], image, at);
     }},
    // Each hysteresis converts by the kind of the mode-1 channel it belongs to.
    {"Aux1Mode1Hysteresis", W::Aux1Mode1HystChannel1, 1, 2, Since::Gen3, Holder::Options,
     [](const Controls &c, int e, std::uint16_t *out) {
         const Mode1Channel ch = mode1Channel(c.f, e + 1);
         out[0] = AuxEncodeDecimal(listIndex(ch.kind), ch.hysteresis->value());
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         const Mode1Channel ch = mode1Channel(c.f, e + 1);
         bindMode1Value(b, ch, ch.hysteresis, image, at);
     }},

    // ---- "3FA1AB" and later
    {"AirPressureSensorAdjustment", W::AirPressureSensorAdjustment, 1, 1, Since::AirPressure, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         out[0] = unsignedWord((c.f.AdvSpinEdit_Air_pressure_sensor_adjustment->value() / 100 + 1) * 32768);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         b.decimal(c.f.AdvSpinEdit_Air_pressure_sensor_adjustment, (image[at] / 32768.0 - 1) * 100);
     }},
    {"LoadSourceAndBoostFactor", W::LoadSourceAndBoostFactor, 1, 1, Since::AirPressure, Holder::Options,
     [](const Controls &c, int, std::uint16_t *out) {
         const int factor = c.g.boostFactor
                                ? byteOf((c.f.AdvSpinEdit_Boost_correction_factor->value() - 1) / 0.00390625)
                                : 0;
         out[0] = PackBytePair(c.f.airPressureChosen() ? 1 : 0, factor);
     },
     [](Binder &b, const Controls &c, int, const Image &image, int at) {
         const bool airPressure = HighByte(image[at]) == 1;
         b.run([&] { c.f.SetAirPressureMode(airPressure); });
         b.expect(c.f.airPressureChosen() == airPressure);
         b.decimal(c.f.AdvSpinEdit_Boost_correction_factor,
                   c.g.boostFactor ? LowByte(image[at]) * 0.00390625 + 1 : 1.0);
     }},
    {"AirPressureTable", AirPressureTableStart, 1, TableEntries, Since::AirPressure, Holder::Tables,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = signedWord(c.tables->AdvStringGrid_Air_pressure->cellValue(e, 1) * 10);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.cell(c.tables->AdvStringGrid_Air_pressure, e, 1, DecodeSignMagnitude(image[at]) / 10.0);
     }},

    // ---- "3FA1AC" and later
    {"BoostCorrectionMap", BoostMapStart, 1, MapCells, Since::BoostMap, Holder::Maps,
     [](const Controls &c, int e, std::uint16_t *out) {
         out[0] = signedWord(
             c.maps->AdvStringGrid_injection_boost_correction->cellValue(mapColumn(e), mapRow(e)) * 10);
     },
     [](Binder &b, const Controls &c, int e, const Image &image, int at) {
         b.cell(c.maps->AdvStringGrid_injection_boost_correction, mapColumn(e), mapRow(e),
                DecodeSignMagnitude(image[at]) / 10.0);
     }},
};

bool applies(const Field &field, const Controls &c) {
    if ((field.holder == Holder::Maps && !c.maps) || (field.holder == Holder::Tables && !c.tables))
        return false;
    switch (field.since) {
    case Since::Always:
        return true;
    case Since::Gen3:
        return c.g.full;
    case Since::AirPressure:
        return c.g.airPressure;
    case Since::BoostMap:
        return c.g.boostMap;
    }
    return false;
}

// Binds every element of the fields starting in from .. to - 1 that the image holds.
void bindFields(Binder &b, const Controls &c, const Image &image, int from, int to) {
    for (const Field &field : Fields) {
        if (field.first < from || field.first >= to || !applies(field, c))
            continue;
        for (int e = 0; e < field.elements; ++e) {
            const int at = field.first + e * field.words;
            if (at + field.words > image.size())
                break;
            field.bind(b, c, e, image, at);
        }
    }
}

// Words from .. to - 1 of the image; the rest stays 0. A transfer asks for one block at a time.
struct Span {
    int from = 0;
    int to = FullImageEnd;
    bool overlaps(int at, int words) const { return at < to && at + words > from; }
};

// Puts back the words of the last image read or loaded wherever every control of their field still
// shows what they decode to; only what the user changed is taken from the controls.
void keepUntouchedWords(const Controls &c, const ImageBaseline &baseline, Span span, Image &image) {
    if (!baseline.usableFor(c.g.version))
        return;
    for (const Field &field : Fields) {
        if (!applies(field, c))
            continue;
        for (int e = 0; e < field.elements; ++e) {
            const int at = field.first + e * field.words;
            if (!baseline.holds(at, field.words))
                break;
            if (!span.overlaps(at, field.words))
                continue;
            Matcher match;
            field.bind(match, c, e, baseline.words, at);
            if (match.shown)
                std::copy_n(baseline.words.constData() + at, field.words, image.data() + at);
        }
    }
}

Image encodeSpan(AppContext &ctx, Span span = {}) {
    Image image(FullImageEnd, 0);
    if (!ctx.form3)
        return image;
    const Controls c(ctx);
    for (const Field &field : Fields) {
        if (!applies(field, c))
            continue;
        for (int e = 0; e < field.elements; ++e) {
            const int at = field.first + e * field.words;
            if (span.overlaps(at, field.words))
                field.encode(c, e, image.data() + at);
        }
    }
    keepUntouchedWords(c, ctx.baseline, span, image);
    return image;
}

} // namespace

int CurrentImageSize(AppContext &ctx) {
    return VersionAtLeast(ctx.form3 ? ctx.form3->currentVersion() : QString(), QStringLiteral("3FA"))
               ? FullImageEnd
               : ShortImageEnd;
}

QVector<std::uint16_t> EncodeImage(AppContext &ctx) {
    Image image = encodeSpan(ctx);
    image.resize(CurrentImageSize(ctx));
    return image;
}

QVector<std::uint16_t> EncodeWords(AppContext &ctx, int first, int count) {
    const Image image =
        encodeSpan(ctx, {first, int(std::min<qint64>(qint64(first) + std::max(0, count), FullImageEnd))});
    QVector<std::uint16_t> words(std::max(0, count), 0);
    for (int i = 0; i < words.size(); ++i) {
        const qint64 address = qint64(first) + i;
        if (address >= 0 && address < image.size())
            words[i] = image[address];
    }
    return words;
}

void DecodeImage(AppContext &ctx, const QVector<std::uint16_t> &image) {
    if (!ctx.form3)
        return;
    TForm3 &f = *ctx.form3;
    const Controls c(ctx);
    const bool options = image.size() > W::MapPressureAt125V;
    const bool extended = c.g.full && image.size() >= FullImageEnd;

    Applier apply;
    if (options) {
        bindFields(apply, c, image, 0, RpmRangeStart);
        f.ApplyThrottlePumpTypesForVersion();
        f.ShowCorrectionTableName();
        f.ShowCorrectionEnables();
    }
    if (extended) {
        bindFields(apply, c, image, RpmRangeStart, FullImageEnd);
    } else if (!c.g.full) {
        // Older firmware has a fixed RPM scale.
        const auto rows = f.rpmRangeRows();
        for (int k = 0; k < MapRows; ++k)
            rows[k]->setValue(500 * (k + 1));
    }
    f.ApplyRpmRangeToGrids();
    f.RebuildCorrectionHeaders();
    if (ctx.form1)
        ctx.form1->ApplyBoostTabVisibility();

    // Only the words that reached the controls can be kept later.
    const int decoded = extended ? FullImageEnd : options ? std::min(int(image.size()), RpmRangeStart) : 0;
    if (decoded > 0)
        ctx.baseline.record(c.g.version, image.mid(0, decoded));
}

std::uint16_t EncodeCylindersAndPickup(const QString &version, int cylinderIndex, bool hallSensor) {
    const int code = CylinderCodeFromIndex(cylinderIndex);
    const bool carriesPickup = !version.isEmpty() && version.at(0).unicode() >= '2';
    return PackBytePair(carriesPickup && hallSensor ? 1 : 0, code);
}

CylindersAndPickup DecodeCylindersAndPickup(const QString &version, std::uint16_t word) {
    CylindersAndPickup result;
    result.cylinderIndex = CylinderIndexFromCode(LowByte(word));
    if (!version.isEmpty() && version.at(0).unicode() >= '2')
        result.hallSensor = HighByte(word) != 0;
    return result;
}
