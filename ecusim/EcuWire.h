#pragma once
// Byte-level helpers of the ECU side of the line: checksums, words and the request framing.
#include <QByteArray>
#include <QList>
#include <cstdint>

namespace EcuWire {

// Low 8 bits of the sum of all bytes.
std::uint8_t Checksum(const QByteArray &bytes);
// Appends the checksum of everything already in `frame`.
QByteArray WithChecksum(QByteArray frame);
// Word as the program puts it on the line: high byte first.
void AppendWord(QByteArray &out, std::uint16_t word);
std::uint16_t WordAt(const QByteArray &bytes, int offset);
// Sign-magnitude word for a signed value (bit 15 = sign).
std::uint16_t SignMagnitude(int value);

} // namespace EcuWire

struct EcuRequest {
    char letter = 0;
    QByteArray bytes; // the whole frame as received, checksum included
    bool valid = false;
};

// Splits the byte stream from the program into request frames. A frame's length follows from its letter
// (and, for "E", from its length word); a frame whose checksum or length word is wrong makes the parser
// drop everything until the line has been quiet (see `lineQuiet`), because there is no way to find the
// next frame start inside garbage. An unknown first byte is dropped on its own.
class RequestParser {
public:
    explicit RequestParser(int maxBlockBytes = 128) : m_maxBlockBytes(maxBlockBytes) {}

    // Returns the frames completed by `bytes`, valid and malformed, in order of arrival.
    QList<EcuRequest> feed(const QByteArray &bytes);
    // The line has been silent long enough: a half-received frame is abandoned.
    void lineQuiet();
    bool hasPartialFrame() const { return !m_buffer.isEmpty() || m_discarding; }

    // Expected total length of a frame that starts with `letter`, or 0 when the letter is unknown.
    // For "E" the length needs the header: returns -1 until 5 bytes are known.
    int frameLength(const QByteArray &start) const;

private:
    QByteArray m_buffer;
    bool m_discarding = false;
    int m_maxBlockBytes;
};
