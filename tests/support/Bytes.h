#pragma once
// Bytes written as numbers, for frames and file contents in the tests: Bytes({0x56, 0x33}).
#include <QByteArray>

#include <initializer_list>

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
