#include "core/FieldCatalogue.h"

#include "core/AuxConversion.h"
#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"

namespace W = ImageWord;
using Image = QVector<std::uint16_t>;

namespace {

const QString Gen3 = QStringLiteral("3FA");
const QString AirPressureFirmware = QStringLiteral("3FA1AB");
const QString BoostMapFirmware = QStringLiteral("3FA1AC");
const QString BoostFactorFirmware = QStringLiteral("3FA1AD");
const QString Degrees = QStringLiteral("\u00B0C");
const QString Percent = QStringLiteral("%");
const QString Rpm = QStringLiteral("RPM");

// The kinds of an AUX channel, as its list names them.
const QStringList AuxKinds{QStringLiteral("None"),        QStringLiteral("Enginespeed"),
                           QStringLiteral("TPS"),         QStringLiteral("Boost pressure"),
                           QStringLiteral("Water-temp."), QStringLiteral("Air-temp.")};

class Catalogue {
public:
    Catalogue(const QString &version, const Image *image) : version_(version), image_(image) {
        full_ = VersionAtLeast(version, Gen3);
    }

    QVector<CalibrationField> build();

private:
    CalibrationField &add(const QString &name, const QString &section, QVector<int> words,
                          const QString &since = QString()) {
        CalibrationField f;
        f.name = name;
        f.section = section;
        f.words = std::move(words);
        f.since = since;
        fields_.append(f);
        return fields_.last();
    }
    CalibrationField &number(const QString &name, int word, double scale, int decimals, const QString &unit,
                             const QString &since = QString(), WordPart part = WordPart::Whole) {
        CalibrationField &f = add(name, FieldSection::Options, {word}, since);
        f.scale = scale;
        f.decimals = decimals;
        f.unit = unit;
        f.part = part;
        return f;
    }
    CalibrationField &choice(const QString &name, int word, const QStringList &choices, int offset = 0,
                             const QString &since = QString(), WordPart part = WordPart::Whole) {
        CalibrationField &f = add(name, FieldSection::Options, {word}, since);
        f.format = FieldFormat::Choice;
        f.choices = choices;
        f.choiceOffset = offset;
        f.part = part;
        return f;
    }
    void text(const QString &name, int first, int words) {
        QVector<int> addresses;
        for (int i = 0; i < words; ++i)
            addresses.append(first + i);
        add(name, FieldSection::Options, addresses).format = FieldFormat::Text;
    }
    void map(const QString &section, int start, bool isSigned, double scale, int decimals,
             const QString &unit, const QString &since);
    void table(const QString &section, int start, double scale, int decimals, const QString &unit,
               const QString &since);
    void options();
    void gen3Options();
    void aux();
    QString rowName(int row) const;

    QString version_;
    const Image *image_;
    bool full_ = false;
    QVector<CalibrationField> fields_;
};

QString Catalogue::rowName(int row) const {
    if (!full_)
        return QStringLiteral("%1 rpm").arg(500 * row);
    const int at = RpmRangeStart + row - 1;
    if (image_ && at < image_->size())
        return QStringLiteral("%1 rpm").arg(int((*image_)[at]) * 10);
    return QStringLiteral("row %1").arg(row);
}

void Catalogue::map(const QString &section, int start, bool isSigned, double scale, int decimals,
                    const QString &unit, const QString &since) {
    for (int row = 1; row <= MapRows; ++row) {
        const QString rowText = rowName(row);
        for (int column = 1; column <= MapColumns; ++column) {
            CalibrationField &f = add(QStringLiteral("%1, %2, load %3").arg(section, rowText).arg(column - 1),
                                      section, {MapCellAddress(start, column, row)}, since);
            f.format = isSigned ? FieldFormat::SignedNumber : FieldFormat::Number;
            f.scale = scale;
            f.decimals = decimals;
            f.unit = unit;
            f.gridColumn = column;
            f.gridRow = row;
        }
    }
}

void Catalogue::table(const QString &section, int start, double scale, int decimals, const QString &unit,
                      const QString &since) {
    for (int entry = 0; entry < TableEntries; ++entry) {
        CalibrationField &f =
            add(QStringLiteral("%1, entry %2").arg(section).arg(entry + 1), section, {start + entry}, since);
        f.format = FieldFormat::SignedNumber;
        f.scale = scale;
        f.decimals = decimals;
        f.unit = unit;
        f.gridColumn = entry;
        f.gridRow = 1;
    }
}

void Catalogue::options() {
    CalibrationField &cylinders =
        add(QStringLiteral("Number of cylinders"), FieldSection::Options, {W::CylindersAndPickup});
    cylinders.format = FieldFormat::Cylinders;
    cylinders.part = WordPart::LowByte;
    cylinders.choices = {QStringLiteral("0,5"), QStringLiteral("1,0"), QStringLiteral("1,5"),
                         QStringLiteral("2,0"), QStringLiteral("2,5"), QStringLiteral("3,0"),
                         QStringLiteral("4,0"), QStringLiteral("5,0")};
    // The pickup bit only exists from the second generation on.
    if (!version_.isEmpty() && version_.at(0).unicode() >= '2')
        choice(QStringLiteral("RPM pickup"), W::CylindersAndPickup,
               {QStringLiteral("Coil"), QStringLiteral("Hall sensor")}, 0, QString(), WordPart::HighByte);
    choice(QStringLiteral("Injection stroke mode"), W::InjectionStrokeMode,
           {QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("1")}, -1);
    number(QStringLiteral("Engine load max"), W::EngineLoadMax, 1, 0, QString());
    number(QStringLiteral("Engine load min"), W::EngineLoadMin, 1, 0, QString());
    text(QStringLiteral("Correction table name"), W::CorrectionTableName, 5);
    text(QStringLiteral("Correction table unit"), W::CorrectionTableUnit, 3);
    add(QStringLiteral("NTC sensor active"), FieldSection::Options, {W::NtcSensorActive}).format =
        FieldFormat::OnOff;
    // From "3FA" the axis limits are stored as whole degrees, below as hundredths.
    for (const auto &[name, word] :
         {std::pair{QStringLiteral("Correction table max"), W::CorrectionTableMax},
          std::pair{QStringLiteral("Correction table min"), W::CorrectionTableMin}}) {
        CalibrationField &f = add(name, FieldSection::Options, {word, word + 1});
        f.format = FieldFormat::SignedNumber32;
        f.scale = full_ ? 1 : 0.01;
        f.decimals = 2;
    }
    number(QStringLiteral("Second stage RPM (old)"), W::SecondStageRpmOld, 50, 0, Rpm);
    number(QStringLiteral("Second stage engine load (old)"), W::SecondStageEngineLoadOld, 1, 0, QString());
    number(QStringLiteral("Start-up injection pulse"), W::StartupInjectionPulse, 0.01, 2,
           QStringLiteral("ms"));
    CalibrationField &interpolation =
        add(QStringLiteral("Interpolation"), FieldSection::Options, {W::InterpolationFlags});
    interpolation.format = FieldFormat::Bits;
    interpolation.choices = {QStringLiteral("lower RPM"), QStringLiteral("higher load"),
                             QStringLiteral("higher RPM"), QStringLiteral("lower load")};
    const QString ranges[3] = {QStringLiteral("0-2000 RPM"), QStringLiteral("2000-4000 RPM"),
                               QStringLiteral("4000+ RPM")};
    for (int i = 0; i < 3; ++i) {
        number(QStringLiteral("Throttle pump amount, %1").arg(ranges[i]), W::ThrottlePumpLow + i, 1, 0,
               QString(), QString(), WordPart::HighByte);
        number(QStringLiteral("Throttle pump sustain, %1").arg(ranges[i]), W::ThrottlePumpLow + i, 1, 0,
               QString(), QString(), WordPart::LowByte);
    }
    CalibrationField &load = add(QStringLiteral("Load mode"), FieldSection::Options, {W::LoadModeFlags});
    load.format = FieldFormat::Bits;
    load.choices = {QStringLiteral("battery correction"), QStringLiteral("inlet-temp correction"),
                    QStringLiteral("engine load 2"), QStringLiteral("boost-correction map"),
                    QStringLiteral("boost factor")};
    choice(QStringLiteral("Response type"), W::ResponseType,
           {QStringLiteral("Lineaire"), QStringLiteral("Logaritmic"), QStringLiteral("E-log")});
    for (int line = 0; line < 3; ++line)
        text(QStringLiteral("Remarks line %1").arg(line + 1), W::RemarksLine1 + 16 * line, 16);
    // Below "3FA" these four words are written but no control shows them.
    if (full_) {
        number(QStringLiteral("Engine load 2 max"), W::EngineLoad2Max, 1, 0, QString());
        number(QStringLiteral("Engine load 2 min"), W::EngineLoad2Min, 1, 0, QString());
        number(QStringLiteral("MAP sensor pressure at 3.75 V"), W::MapPressureAt375V, 1, 0,
               QStringLiteral("kPa"));
        number(QStringLiteral("MAP sensor pressure at 1.25 V"), W::MapPressureAt125V, 1, 0,
               QStringLiteral("kPa"));
    } else {
        for (int word = W::EngineLoad2Max; word <= W::MapPressureAt125V; ++word)
            number(QStringLiteral("Option word %1").arg(word), word, 1, 0, QString());
    }
    // Words 510 and 511 have no control; a short image ends before 511.
    for (int word = W::Reserved510; word <= (full_ ? W::Reserved511 : W::Reserved510); ++word)
        number(QStringLiteral("Reserved word %1").arg(word), word, 1, 0, QString());
}

void Catalogue::gen3Options() {
    for (int row = 1; row <= MapRows; ++row) {
        CalibrationField &f = add(QStringLiteral("RPM range, row %1").arg(row), FieldSection::RpmRange,
                                  {RpmRangeStart + row - 1}, Gen3);
        f.scale = 10;
        f.unit = Rpm;
        f.gridRow = row;
    }
    table(FieldSection::AirTemp, AirTempTableStart, 0.1, 1, Percent, Gen3);
    const QString enrichment[10] = {
        QStringLiteral("Initial burst sensitivity"),    QStringLiteral("Initial burst amplifier"),
        QStringLiteral("Acceleration sensitivity"),     QStringLiteral("Acceleration amplifier"),
        QStringLiteral("Acceleration crank rotations"), QStringLiteral("Acceleration setting 20"),
        QStringLiteral("Acceleration setting 30"),      QStringLiteral("Acceleration setting 40"),
        QStringLiteral("Acceleration setting 50"),      QStringLiteral("Acceleration setting 60")};
    for (int i = 0; i < 10; ++i)
        number(enrichment[i], W::InitialBurst + i / 2, 1, 0, QString(), Gen3,
               i % 2 ? WordPart::LowByte : WordPart::HighByte);
    choice(QStringLiteral("Throttle pump types"), W::ThrottlePumpTypeCode,
           {QStringLiteral("type 1"), QStringLiteral("none"), QStringLiteral("types 1 and 2"),
            QStringLiteral("type 2")},
           0, Gen3, WordPart::HighByte);
    number(QStringLiteral("Overrun fuel cut RPM"), W::OverrunFuelCut, 50, 0, Rpm, Gen3, WordPart::HighByte);
    number(QStringLiteral("Overrun fuel cut TPS"), W::OverrunFuelCut, 0.1, 1, QString(), Gen3,
           WordPart::LowByte);
    choice(QStringLiteral("Coil input voltage"), W::CoilInputVoltage,
           {QStringLiteral("low"), QStringLiteral("medium"), QStringLiteral("high")}, 0, Gen3);
    number(QStringLiteral("Soft limit"), W::SoftLimit, 50, 0, Rpm, Gen3);
    table(FieldSection::Battery, BatteryTableStart, 0.001, 2, QStringLiteral("ms"), Gen3);
    for (int column = 1; column <= 4; ++column) {
        CalibrationField &t = number(QStringLiteral("Start-up water temp, column %1").arg(column),
                                     W::StartupTempWord + (column - 1) / 2, 1, 0, Degrees, Gen3,
                                     column % 2 ? WordPart::HighByte : WordPart::LowByte);
        t.offset = -20;
    }
    for (int column = 1; column <= 4; ++column)
        number(QStringLiteral("Start-up pulse, column %1").arg(column), W::StartupPulseByTemp + column - 1,
               0.01, 2, QStringLiteral("ms"), Gen3);
    // Two percentages a word, halved: words 2(t - 1) and 2(t - 1) + 1 hold columns 1..4 of crank turns t.
    for (int e = 0; e < 8; ++e)
        for (int half = 0; half < 2; ++half)
            number(QStringLiteral("Crank turns %1 enrichment, column %2")
                       .arg(e / 2 + 1)
                       .arg(2 * (e % 2) + 1 + half),
                   W::StartupPercentWord + e, 2, 0, Percent, Gen3,
                   half ? WordPart::LowByte : WordPart::HighByte);
    // Four words a column, crank turns 1..4.
    for (int e = 0; e < 16; ++e)
        number(QStringLiteral("Crank turns %1 count, column %2").arg(e % 4 + 1).arg(e / 4 + 1),
               W::CrankTurnsCol1 + e, 1, 0, QString(), Gen3);
    aux();
}

void Catalogue::aux() {
    auto threshold = [&](const QString &name, int word, int kindWord, bool decimal) {
        CalibrationField &f = add(name, FieldSection::Options, {word}, Gen3);
        f.format = decimal ? FieldFormat::AuxDecimal : FieldFormat::AuxInteger;
        f.kindWord = kindWord;
        f.decimals = decimal ? 1 : 0;
    };
    // Two channels, each a kind word followed by its on and off thresholds.
    auto channels = [&](const QString &group, int kind1, int kind2, bool decimal) {
        for (int channel = 1; channel <= 2; ++channel) {
            const QString name = group + QStringLiteral(" channel %1").arg(channel);
            const int kind = channel == 1 ? kind1 : kind2;
            choice(name + QStringLiteral(" kind"), kind, AuxKinds, 0, Gen3);
            threshold(name + QStringLiteral(" on"), kind + 1, kind, decimal);
            threshold(name + QStringLiteral(" off"), kind + 2, kind, decimal);
        }
    };
    channels(QStringLiteral("AUX1"), W::Aux1Channel1Type, W::Aux1Channel2Type, false);
    choice(QStringLiteral("AUX1 mode"), W::Aux1ModeCode,
           {QStringLiteral("mode 0"), QStringLiteral("mode 0, inverted"), QStringLiteral("mode 1"),
            QStringLiteral("mode 1, inverted")},
           0, Gen3);
    channels(QStringLiteral("AUX1 mode 1"), W::Aux1Mode1Channel1Type, W::Aux1Mode1Channel2Type, true);
    threshold(QStringLiteral("AUX1 mode 1 channel 1 hysteresis"), W::Aux1Mode1HystChannel1,
              W::Aux1Mode1Channel1Type, true);
    threshold(QStringLiteral("AUX1 mode 1 channel 2 hysteresis"), W::Aux1Mode1HystChannel2,
              W::Aux1Mode1Channel2Type, true);
}

QVector<CalibrationField> Catalogue::build() {
    map(FieldSection::InjectionMap, FuelMapStart, false, 0.01, 2, QStringLiteral("ms"), QString());
    table(FieldSection::WaterTemp, WaterTempTableStart, 0.1, 1, Percent, QString());
    options();
    if (!full_)
        return fields_;
    gen3Options();
    if (VersionAtLeast(version_, AirPressureFirmware)) {
        CalibrationField &trim = add(QStringLiteral("Air-pressure sensor adjustment"), FieldSection::Options,
                                     {W::AirPressureSensorAdjustment}, AirPressureFirmware);
        trim.format = FieldFormat::AirPressureTrim;
        trim.decimals = 1;
        trim.unit = Percent;
        choice(QStringLiteral("Load source"), W::LoadSourceAndBoostFactor,
               {QStringLiteral("Engine load sensor"), QStringLiteral("Air-pressure sensor")}, 0,
               AirPressureFirmware, WordPart::HighByte);
        if (VersionAtLeast(version_, BoostFactorFirmware)) {
            CalibrationField &factor =
                number(QStringLiteral("Boost correction factor"), W::LoadSourceAndBoostFactor, 0.00390625, 2,
                       QString(), BoostFactorFirmware, WordPart::LowByte);
            factor.offset = 1;
        } else {
            // Written as 0 until the boost factor exists.
            number(QStringLiteral("Load source word, low byte"), W::LoadSourceAndBoostFactor, 1, 0, QString(),
                   AirPressureFirmware, WordPart::LowByte);
        }
        table(FieldSection::AirPressure, AirPressureTableStart, 0.1, 1, Percent, AirPressureFirmware);
    }
    if (VersionAtLeast(version_, BoostMapFirmware))
        map(FieldSection::BoostMap, BoostMapStart, true, 0.1, 1, Percent, BoostMapFirmware);
    return fields_;
}

bool holds(const CalibrationField &field, const Image &image) {
    for (int word : field.words)
        if (word < 0 || word >= image.size())
            return false;
    return !field.words.isEmpty();
}

int partOf(const CalibrationField &field, std::uint16_t word) {
    switch (field.part) {
    case WordPart::HighByte:
        return HighByte(word);
    case WordPart::LowByte:
        return LowByte(word);
    case WordPart::Whole:
        break;
    }
    return word;
}

// As the grids and spin boxes show a number: fixed decimals, no "-0.00".
QString numberText(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.toDouble() == 0.0)
        text.remove(0, 1);
    return text;
}

QString choiceText(const QStringList &choices, int index, int stored) {
    return index >= 0 && index < choices.size() ? choices[index] : QStringLiteral("code %1").arg(stored);
}

int auxKindIn(const CalibrationField &field, const Image &image) {
    const int kind = field.kindWord >= 0 && field.kindWord < image.size() ? image[field.kindWord] : 0;
    return kind <= 5 ? kind : 0; // the lists offer 0..5; anything else counts as "None"
}

} // namespace

QVector<CalibrationField> CalibrationFields(const QString &version) {
    return Catalogue(version, nullptr).build();
}

QVector<CalibrationField> CalibrationFields(const QString &version, const Image &image) {
    return Catalogue(version, &image).build();
}

std::optional<double> FieldNumber(const CalibrationField &field, const Image &image) {
    if (!holds(field, image))
        return std::nullopt;
    const std::uint16_t word = image[field.words.first()];
    switch (field.format) {
    case FieldFormat::Number:
        return partOf(field, word) * field.scale + field.offset;
    case FieldFormat::SignedNumber:
        return DecodeSignMagnitude(word) * field.scale;
    case FieldFormat::SignedNumber32:
        return double(DecodeSignMagnitude32(word, image[field.words[1]])) * field.scale;
    case FieldFormat::AuxInteger:
        return AuxDecodeInteger(auxKindIn(field, image), word);
    case FieldFormat::AuxDecimal:
        return AuxDecodeDecimal(auxKindIn(field, image), word);
    case FieldFormat::AirPressureTrim:
        return (word / 32768.0 - 1) * 100;
    default:
        return std::nullopt;
    }
}

QString FieldValueText(const CalibrationField &field, const Image &image) {
    if (!holds(field, image))
        return QString();
    const std::uint16_t word = image[field.words.first()];
    switch (field.format) {
    case FieldFormat::Text: {
        Image words;
        for (int at : field.words)
            words.append(image[at]);
        return UnpackText(words.constData(), int(words.size())).trimmed();
    }
    case FieldFormat::Choice: {
        const int stored = partOf(field, word);
        return choiceText(field.choices, stored + field.choiceOffset, stored);
    }
    case FieldFormat::Cylinders: {
        const int code = LowByte(word);
        const int index = CylinderIndexFromCode(code);
        // Unknown codes show as the list's first item, as the options window does.
        return choiceText(field.choices, index, code);
    }
    case FieldFormat::OnOff:
        return word != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    case FieldFormat::Bits: {
        QStringList set;
        for (int bit = 0; bit < field.choices.size(); ++bit)
            if (word & (1u << bit))
                set.append(field.choices[bit]);
        return set.isEmpty() ? QStringLiteral("none") : set.join(QStringLiteral(", "));
    }
    default:
        return numberText(*FieldNumber(field, image), field.decimals);
    }
}

bool FieldEqual(const CalibrationField &field, const Image &first, const Image &second) {
    const bool inFirst = holds(field, first), inSecond = holds(field, second);
    if (!inFirst || !inSecond)
        return inFirst == inSecond;
    for (int at : field.words)
        if (partOf(field, first[at]) != partOf(field, second[at]))
            return false;
    // An AUX threshold reads differently when its channel's kind differs.
    if (field.kindWord >= 0)
        return auxKindIn(field, first) == auxKindIn(field, second);
    return true;
}
