#pragma once
// Live frames built byte by byte for the tests: words high byte first, checksum = low 8 bits of the sum
// of every byte before it.
#include <QByteArray>
#include <cstdint>

struct TestFrame {
    QByteArray bytes;

    static TestFrame shortFrame() { return TestFrame{QByteArray(1, 'D') + QByteArray(31, '\0')}; }
    static TestFrame longFrame() { return TestFrame{QByteArray(1, 'd') + QByteArray(55, '\0')}; }

    TestFrame &word(int offset, std::uint16_t value) {
        bytes[offset] = char(value >> 8);
        bytes[offset + 1] = char(value & 0xFF);
        return *this;
    }
    TestFrame &byte(int offset, std::uint8_t value) {
        bytes[offset] = char(value);
        return *this;
    }
    QByteArray done() const {
        QByteArray out = bytes;
        unsigned sum = 0;
        for (int i = 0; i < out.size() - 1; ++i)
            sum += std::uint8_t(out[i]);
        out[out.size() - 1] = char(sum & 0xFF);
        return out;
    }
};
