#include "ecusim/EcuProtocol.h"

#include <algorithm>
#include <cmath>

using EcuWire::AppendWord;
using EcuWire::WithChecksum;
using EcuWire::WordAt;

namespace {

constexpr int FuelMapWords = 400;
constexpr std::uint16_t TrimOffset = 0x7FFF;

EcuReply Silence() {
    return {};
}
EcuReply Ack(char letter) {
    return {QByteArray(1, letter), false};
}
EcuReply Refused() {
    return Ack('N');
}
EcuReply Data(const QByteArray &body) {
    return {WithChecksum(body), true};
}
EcuReply Answer(char letter, bool ok) {
    return Data(QByteArray(1, letter) + (ok ? "OK" : "NO"));
}

void PutWord(QByteArray &frame, int offset, std::uint16_t word) {
    frame[offset] = static_cast<char>(word >> 8);
    frame[offset + 1] = static_cast<char>(word & 0xFF);
}

// Column positions go out as a whole byte pair: high byte x 256 + low byte x 0.1 on the program's side.
void PutColumn(QByteArray &frame, int offset, int column10) {
    frame[offset] = 0;
    frame[offset + 1] = static_cast<char>(std::clamp(column10, 0, 255));
}

bool AllowedBy(int access, char letter) {
    if (access & EcuAccess::NoAccess)
        return false;
    if ((access & EcuAccess::DashboardOnly) && letter == 'Z')
        return false;
    if ((access & (EcuAccess::DashboardOnly | EcuAccess::ReadOnly)) && (letter == 'E' || letter == 'C'))
        return false;
    return true;
}

bool Printable(const QByteArray &text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// The words both frames carry at the same places.
void PutSharedWords(QByteArray &f, const EngineSample &s) {
    PutWord(f, 11, EcuWire::SignMagnitude(s.airTempC + 20));
    PutWord(f, 13, static_cast<std::uint16_t>(s.batteryRaw));
    PutWord(f, 17, EcuWire::SignMagnitude(s.potentiometer));
    PutWord(f, 21, EcuWire::SignMagnitude(s.correction10));
    PutWord(f, 23, s.status);
    PutWord(f, 27, static_cast<std::uint16_t>(s.load2Raw));
}

} // namespace

QByteArray BuildLongLiveFrame(const EngineSample &s) {
    QByteArray f(56, '\0');
    f[0] = 'd';
    PutWord(f, 1, static_cast<std::uint16_t>(std::clamp(s.rpm / 10, 0, 0xFFFF)));
    // raw / 2500 x 1.25 x 2 ms: one raw step is one microsecond.
    PutWord(f, 3, static_cast<std::uint16_t>(std::clamp(s.injectionUs, 0, 0xFFFF)));
    PutWord(f, 7, static_cast<std::uint16_t>(s.load1Raw));
    PutWord(f, 9, static_cast<std::uint16_t>(std::clamp(s.waterTempC + 20, 0, 0x7FFF)));
    PutSharedWords(f, s);
    PutColumn(f, 35, s.load1Column10);
    PutColumn(f, 37, s.load2Column10);
    PutWord(f, 43, static_cast<std::uint16_t>(std::clamp(s.boostKpa, 0, 0xFFFF)));
    PutWord(f, 46, s.faults);
    f[55] = static_cast<char>(EcuWire::Checksum(f.left(55)));
    return f;
}

QByteArray BuildShortLiveFrame(const EngineSample &s) {
    QByteArray f(32, '\0');
    f[0] = 'D';
    PutWord(f, 1, static_cast<std::uint16_t>(std::clamp(s.rpm / 50, 0, 0xFFFF)));
    // raw / 2500 x 1.355 x 2 ms
    const long raw = std::lround(s.injectionUs * 2500.0 / 2710.0);
    PutWord(f, 3, static_cast<std::uint16_t>(std::clamp<long>(raw, 0, 0xFFFF)));
    PutWord(f, 7, static_cast<std::uint16_t>(s.load1Raw));
    PutWord(f, 9, static_cast<std::uint16_t>(s.correctionSensorRaw));
    PutSharedWords(f, s);
    f[31] = static_cast<char>(EcuWire::Checksum(f.left(31)));
    return f;
}

EcuReply AnswerRequest(EcuState &state, EngineModel &engine, const EcuRequest &request) {
    if (!request.valid)
        return Silence();
    const QByteArray &b = request.bytes;
    const char letter = request.letter;

    switch (letter) {
    case 'V':
        state.authorised = false;
        return Data(QByteArray(1, 'V') + state.version.toLatin1());
    case 'S':
        return Data(QByteArray(1, 'S') + state.serial);
    case 'a': {
        if (!state.hasAccessCommands() || b.mid(1, 4) != "ABCD")
            return Silence();
        QByteArray reply(1, 'a');
        AppendWord(reply, static_cast<std::uint16_t>(state.accessBits));
        return Data(reply);
    }
    case 'A': {
        if (!state.hasAccessCommands())
            return Silence();
        const std::uint16_t bits = WordAt(b, 1);
        const bool known =
            (bits & ~(EcuAccess::ReadOnly | EcuAccess::DashboardOnly | EcuAccess::NoAccess)) == 0;
        if (!state.authorised || !known)
            return Answer('A', false);
        state.accessBits = bits;
        return Answer('A', true);
    }
    case 'p': {
        if (!state.hasAccessCommands())
            return Silence();
        state.authorised = b.mid(1, 10) == state.password;
        return Answer('p', state.authorised);
    }
    case 'P': {
        if (!state.hasAccessCommands())
            return Silence();
        const QByteArray text = b.mid(1, 10);
        if (!state.authorised || !Printable(text))
            return Answer('P', false);
        state.password = text;
        return Answer('P', true);
    }
    default:
        break;
    }

    // Commands below touch the engine or the calibration: the access mode decides first, after the frame
    // itself is known to make sense.
    if (letter == 'd' && !state.hasFullImage())
        return Silence();
    const int words = state.imageWords();
    switch (letter) {
    case 'Z': {
        const int start = WordAt(b, 1);
        const int count = WordAt(b, 3);
        if (count == 0 || start + count > words)
            return Silence();
        if (!AllowedBy(state.accessBits, letter))
            return Refused();
        QByteArray reply(1, 'Z');
        reply.reserve(2 * count + 2);
        for (int w = start; w < start + count; ++w)
            AppendWord(reply, state.image.at(w));
        return Data(reply);
    }
    case 'E': {
        const int n = WordAt(b, 1);
        const int address = WordAt(b, 3);
        if (address + n / 2 > words)
            return Silence();
        if (!AllowedBy(state.accessBits, letter))
            return Refused();
        for (int i = 0; i < n / 2; ++i)
            state.image[address + i] = WordAt(b, 5 + 2 * i);
        state.locked = false;
        return Ack('Y');
    }
    case 'C': {
        const int address = WordAt(b, 1);
        std::uint16_t value = WordAt(b, 3);
        if (address >= words)
            return Silence();
        if (!AllowedBy(state.accessBits, letter))
            return Refused();
        if (address < FuelMapWords && value >= TrimOffset)
            value = static_cast<std::uint16_t>(value - TrimOffset);
        state.image[address] = value;
        state.locked = false;
        return Ack('Y');
    }
    case 'L':
        if (!AllowedBy(state.accessBits, letter))
            return Refused();
        state.locked = true;
        return Ack('L');
    case 'R':
        if (!AllowedBy(state.accessBits, letter))
            return Refused();
        return Ack('R');
    case 'D':
    case 'd': {
        if (!AllowedBy(state.accessBits, letter))
            return Refused();
        engine.setPowerInterrupted(state.powerInterrupted);
        const EngineSample sample = engine.next(state.image, state.hasFullImage());
        return {letter == 'd' ? BuildLongLiveFrame(sample) : BuildShortLiveFrame(sample), true};
    }
    default:
        return Silence();
    }
}
