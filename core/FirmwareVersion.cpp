#include "core/FirmwareVersion.h"

#include <QByteArray>

namespace {
// Byte i of the text, NUL past its end, so a short version string never reads out of range.
unsigned char byteAt(const QByteArray &bytes, int i) {
    return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
}

QByteArray family(const QString &version) {
    return version.toLatin1().left(3);
}
} // namespace

bool VersionAtLeast(const QString &version, const QString &threshold) {
    const QByteArray v = version.toLatin1();
    // A threshold written short stands for itself followed by spaces ("3FA" = "3FA      ").
    const QByteArray t = threshold.toLatin1().leftJustified(9, ' ', true);
    for (int i = 0; i < 9; ++i) {
        const unsigned char tc = byteAt(t, i);
        const unsigned char vc = byteAt(v, i);
        if (tc == ' ')
            return true;
        if (vc != tc)
            return vc > tc;
    }
    return true;
}

bool EcuIsNewer(const QString &version, const QString &softwareSubVersion) {
    const QByteArray v = version.toLatin1();
    const QByteArray own = softwareSubVersion.toLatin1();
    for (int i = 0; i < 3; ++i) {
        const unsigned char vc = byteAt(v, 6 + i);
        const unsigned char oc = byteAt(own, i);
        if (vc != oc)
            return vc > oc;
    }
    return false;
}

bool IsRecognisedFamily(const QString &version) {
    const QByteArray f = family(version);
    return f == "1FA" || f == "1FB" || f == "2FA" || f == "3FA";
}

bool IsUnsupportedFuelVersion(const QString &version) {
    return !IsRecognisedFamily(version) && byteAt(version.toLatin1(), 1) == 'F';
}

QString UnsupportedVersionText(const QString &version, const QString &serialNumber) {
    const QString lineBreak = QStringLiteral("\r\r\n");
    return QStringLiteral("This Version nr : ") + version + QStringLiteral("With Serialnumber : ") +
           serialNumber + lineBreak + QStringLiteral("is not supported by this software ") + lineBreak +
           QStringLiteral("Call your Software supplier for information !!!");
}

QString ForeignSystemText(const QString &version) {
    QString word = QStringLiteral("correct");
    switch (byteAt(version.toLatin1(), 1)) {
    case 'I':
        word = QStringLiteral("Ignition");
        break;
    case 'M':
        word = QStringLiteral("Motormanagement");
        break;
    default:
        break;
    }
    return QStringLiteral(
               "This software is for Fuel injection only\r\nCall your Software supplier for the ") +
           word + QStringLiteral(" version !!!");
}

QString EcuNewerText() {
    return QStringLiteral("ECU is newer then the PC software\n\rPlease download newer QVR PC software");
}

VersionKind ClassifyVersion(const QString &version) {
    if (IsRecognisedFamily(version))
        return VersionKind::Recognised;
    if (IsUnsupportedFuelVersion(version))
        return VersionKind::UnsupportedFuel;
    return VersionKind::Foreign;
}

QString VersionWarningText(const QString &version, const QString &serialNumber) {
    switch (ClassifyVersion(version)) {
    case VersionKind::UnsupportedFuel:
        return UnsupportedVersionText(version, serialNumber);
    case VersionKind::Foreign:
        return ForeignSystemText(version);
    case VersionKind::Recognised:
        break;
    }
    return {};
}

int ImageWordCount(const QString &version) {
    return VersionAtLeast(version, QStringLiteral("3FA")) ? 1089 : 511;
}
