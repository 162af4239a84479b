#pragma once
// Every field of the calibration image as a tuner names it: where its words are, which section it
// belongs to, its unit, how its value reads, and from which firmware it exists. The compare window,
// the history, the data-set files and the command-line tool all read the image through this one table.
//
// Map cells carry the RPM of their row: below "3FA" the scale is fixed (500 RPM a row); from "3FA" it is
// read from the RPM range of the image given to CalibrationFields(version, image), and without an image
// the cell is named by its row number ("Injection map, row 8, load 7"). Load columns count from 0 like
// the map's header; correction-table entries count from 1.
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <optional>

// How the value is held in the field's words.
enum class FieldFormat {
    Number,          // the word (or one byte of it) x scale + offset
    SignedNumber,    // sign-magnitude word x scale
    SignedNumber32,  // sign-magnitude over two words, high first, x scale
    Text,            // two Latin-1 characters a word
    Choice,          // an index into `choices` (stored value + choiceOffset)
    Cylinders,       // low byte: the cylinder code of the "number of cylinders" list
    OnOff,           // non-zero is "On"
    Bits,            // the names in `choices` of the bits set, bit 0 first
    AuxInteger,      // an AUX threshold, converted by the channel kind held in `kindWord`
    AuxDecimal,      // the same with tenths (mode 1)
    AirPressureTrim, // (word / 32768 - 1) x 100
};

// Which part of each word the field occupies.
enum class WordPart { Whole, HighByte, LowByte };

struct CalibrationField {
    QString name;       // "Injection map, 4000 rpm, load 7", "Water-temp correction, entry 12", ...
    QString section;    // "Injection map", "Boost-correction map", "Water-temp correction", ..., "Options"
    QString unit;       // "ms", "%", "°C", "V", "RPM", "" ...
    QVector<int> words; // the word addresses the field occupies, in order
    QString since;      // first firmware holding it ("" = every firmware), as VersionAtLeast takes it

    FieldFormat format = FieldFormat::Number;
    WordPart part = WordPart::Whole;
    double scale = 1;
    double offset = 0;
    int decimals = 0;
    QStringList choices;  // Choice, Cylinders, Bits
    int choiceOffset = 0; // Choice: list index = stored value + choiceOffset
    int kindWord = -1;    // AuxInteger / AuxDecimal: the word of the channel's kind
    // Maps and tables: the cell of the grid showing the field (maps column 1..16, row 1..25; tables
    // column 0..31, row 1). -1 for the options.
    int gridColumn = -1;
    int gridRow = -1;
};

// Every field the image of firmware `version` holds, in address order; together they cover every word
// the down-load writes for that firmware.
QVector<CalibrationField> CalibrationFields(const QString &version);
// The same, the map cells named by the RPM range of `image` (from "3FA").
QVector<CalibrationField> CalibrationFields(const QString &version, const QVector<std::uint16_t> &image);

// The field's value in `image` as a tuner reads it ("12.50", "On", "Hall sensor", a remark's text ...);
// empty when the image does not hold the field's words.
QString FieldValueText(const CalibrationField &field, const QVector<std::uint16_t> &image);
// The value as a number where it is one (maps, tables, plain numbers), for colouring a difference.
std::optional<double> FieldNumber(const CalibrationField &field, const QVector<std::uint16_t> &image);
// True when the field's part of its words is the same in both images (a word neither holds counts as
// the same, one only one holds as different).
bool FieldEqual(const CalibrationField &field, const QVector<std::uint16_t> &first,
                const QVector<std::uint16_t> &second);

// Section names, for callers that pick a section as a whole.
namespace FieldSection {
inline const QString InjectionMap = QStringLiteral("Injection map");
inline const QString BoostMap = QStringLiteral("Boost-correction map");
inline const QString WaterTemp = QStringLiteral("Water-temp correction");
inline const QString AirTemp = QStringLiteral("Air-temp correction");
inline const QString Battery = QStringLiteral("Battery correction");
inline const QString AirPressure = QStringLiteral("Air-pressure correction");
inline const QString RpmRange = QStringLiteral("RPM range");
inline const QString Options = QStringLiteral("Options");
} // namespace FieldSection
