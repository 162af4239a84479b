#pragma once
// The calibration image as last read from the ECU or loaded from a file, with the firmware version it
// belongs to. The data-set codec records it when it decodes an image and, when encoding, keeps a word
// from here while the controls still show what that word decodes to: values the controls cannot hold
// exactly (finer than a field's decimals, codes no list offers, words another tool wrote) then survive
// a round trip unless the user changes them.
#include <QString>
#include <QVector>
#include <cstdint>

struct ImageBaseline {
    QString version;
    QVector<std::uint16_t> words;

    void record(const QString &forVersion, QVector<std::uint16_t> image) {
        version = forVersion;
        words = std::move(image);
    }
    // Words of one firmware are never used for another.
    bool usableFor(const QString &currentVersion) const {
        return !words.isEmpty() && version == currentVersion;
    }
    // True when words first .. first + count - 1 are held.
    bool holds(int first, int count) const {
        return first >= 0 && count >= 0 && first + count <= words.size();
    }
};
