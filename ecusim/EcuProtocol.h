#pragma once
// The ECU's answer to each request of the program.
//
// Behaviour where the program's side leaves the ECU free, chosen as a real unit plausibly does it:
// - Malformed requests (wrong checksum, unknown letter, "a" without "ABCD", an address or block outside the
//   image, a count of 0) get no reply at all.
// - Firmware below "3FA" knows neither "d" nor the long image; below "3FA1AC" it has no access commands
//   ("a", "A", "p", "P"). Unknown commands are ignored like malformed ones.
// - A request the access mode forbids is answered with the single byte "N":
//     read-only (4):      "E" and "C" refused;
//     dashboard only (8): "Z", "E" and "C" refused;
//     no access (16):     everything but "V", "S", "a", "A", "p", "P" refused.
// - "p" compares the 10 characters with the stored password; "OK" authorises "A" and "P" until a wrong "p"
//   or the next "V" (a new connection). Without that, "A" and "P" answer "NO". "A" also answers "NO" for
//   bits other than 4, 8 and 16; "P" for characters outside printable ASCII.
// - Any accepted "C" or "E" marks the data not locked; "L" locks it.
// - A "C" to the fuel map carrying a value of 0x7FFF or more is a live trim: the program adds 0x7FFF to the
//   new cell value, so the cell stores value - 0x7FFF. No fuel cell can hold such a value otherwise.
#include "ecusim/EcuState.h"
#include "ecusim/EcuWire.h"
#include "ecusim/EngineModel.h"

struct EcuReply {
    QByteArray bytes; // empty: stay silent
    bool hasChecksum = false;
};

EcuReply AnswerRequest(EcuState &state, EngineModel &engine, const EcuRequest &request);

// 56 bytes, answer to "d".
QByteArray BuildLongLiveFrame(const EngineSample &sample);
// 32 bytes, answer to "D".
QByteArray BuildShortLiveFrame(const EngineSample &sample);
