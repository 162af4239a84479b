#pragma once
// The frames of the requests the simulated ECU took whose letter is one of `letters`, in order.
#include "ecusim/EcuWire.h"

#include <QByteArray>
#include <QList>

inline QList<QByteArray> FramesWithLetters(const QList<EcuRequest> &log, QByteArrayView letters) {
    QList<QByteArray> frames;
    for (const EcuRequest &request : log)
        if (request.valid && letters.contains(request.letter))
            frames << request.bytes;
    return frames;
}

// What a write puts on the line: the block and cell writes and the closing "R".
inline QList<QByteArray> WriteFrames(const QList<EcuRequest> &log) {
    return FramesWithLetters(log, "ECR");
}
