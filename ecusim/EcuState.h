#pragma once
// What the simulated ECU remembers: its calibration image, identity, access mode, password and lock.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

constexpr int EcuImageWords = 1089;     // firmware "3FA" and later
constexpr int EcuShortImageWords = 511; // older firmware

// Access bits as the ECU reports them with "a".
namespace EcuAccess {
constexpr int ReadOnly = 4;
constexpr int DashboardOnly = 8;
constexpr int NoAccess = 16;
} // namespace EcuAccess

struct EcuState {
    QVector<std::uint16_t> image = QVector<std::uint16_t>(EcuImageWords, 0);
    QString version = QStringLiteral("3FA1AD1AA");
    QByteArray serial = "123456";
    int accessBits = 0;
    QByteArray password = "0000000000";
    bool locked = true;
    // Set by a correct "p", needed for "A" and "P"; cleared by a wrong "p" and by a new "V".
    bool authorised = false;
    bool powerInterrupted = false;

    // Version tests by plain byte comparison of the leading characters.
    bool versionAtLeast(const char *threshold) const;
    bool hasFullImage() const { return versionAtLeast("3FA"); }
    // The access commands arrived with firmware 3FA1AC.
    bool hasAccessCommands() const { return versionAtLeast("3FA1AC"); }
    int imageWords() const { return hasFullImage() ? EcuImageWords : EcuShortImageWords; }
};
