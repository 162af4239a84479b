#pragma once
// The calibration image <-> the controls that hold it: both map grids of the main window, the four
// correction tables and the option controls. Written once; transfers and calibration files both use it.
// Every call reads the firmware version afresh from the options window.
//
// Decoding records the image in ctx.baseline. Encoding takes a field's words from there, instead of
// from its controls, as long as the baseline belongs to the current firmware and every control of the
// field still shows what those words decode to; so a value the controls cannot show exactly is written
// back as it was read or loaded until the user changes it.
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

struct AppContext;

// Image words for the current firmware: 1089 from "3FA", 511 below.
int CurrentImageSize(AppContext &ctx);

// The whole image from the controls (CurrentImageSize words). Words a firmware does not use are 0:
// 655..688 below "3FA1AB", 689..1088 below "3FA1AC"; the reserved 510..511 too unless the baseline
// holds them.
QVector<std::uint16_t> EncodeImage(AppContext &ctx);
// Words first .. first + count - 1 of the image, encoded exactly as EncodeImage does (for the block
// writes of a transfer). Addresses up to 1088 are allowed on any firmware; outside that range is 0.
QVector<std::uint16_t> EncodeWords(AppContext &ctx, int first, int count);

// Writes an image into the controls, word by word, including the fixed values and defaults that depend
// on the firmware version, and refreshes what depends on them (RPM row headers, correction-table
// headers and names, throttle-pump types, boost tab). Sections the image is too short for are skipped.
// Enabling of grids and toolbar is left to the caller. The words decoded become ctx.baseline.
void DecodeImage(AppContext &ctx, const QVector<std::uint16_t> &image);

// Word 432. From firmware generation "2" on the high byte carries the pickup (1 = Hall sensor);
// generation "1" keeps the high byte 0 and ignores it when decoding. The low byte is the cylinder code.
std::uint16_t EncodeCylindersAndPickup(const QString &version, int cylinderIndex, bool hallSensor);
struct CylindersAndPickup {
    int cylinderIndex = 0;
    std::optional<bool> hallSensor; // unset for generation "1"
};
CylindersAndPickup DecodeCylindersAndPickup(const QString &version, std::uint16_t word);
