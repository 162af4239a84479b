#include "ecusim/EcuWire.h"

#include <cstdlib>

namespace EcuWire {

std::uint8_t Checksum(const QByteArray &bytes) {
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

QByteArray WithChecksum(QByteArray frame) {
    frame.append(static_cast<char>(Checksum(frame)));
    return frame;
}

void AppendWord(QByteArray &out, std::uint16_t word) {
    out.append(static_cast<char>(word >> 8));
    out.append(static_cast<char>(word & 0xFF));
}

std::uint16_t WordAt(const QByteArray &bytes, int offset) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes.at(offset)) << 8 |
                                      static_cast<std::uint8_t>(bytes.at(offset + 1)));
}

std::uint16_t SignMagnitude(int value) {
    const int magnitude = std::abs(value) & 0x7FFF;
    return static_cast<std::uint16_t>(value < 0 ? 0x8000 | magnitude : magnitude);
}

} // namespace EcuWire

int RequestParser::frameLength(const QByteArray &start) const {
    if (start.isEmpty())
        return 0;
    switch (start.at(0)) {
    case 'V':
    case 'S':
    case 'D':
    case 'd':
    case 'L':
    case 'R':
        return 1;
    case 'A':
        return 4;
    case 'a':
    case 'C':
    case 'Z':
        return 6;
    case 'p':
    case 'P':
        return 12;
    case 'E': {
        if (start.size() < 5)
            return -1;
        const std::uint16_t n = EcuWire::WordAt(start, 1);
        // Odd, empty, negative or oversized blocks cannot be told apart from noise.
        if (n == 0 || n % 2 != 0 || n > m_maxBlockBytes)
            return 0;
        return n + 6;
    }
    default:
        return 0;
    }
}

QList<EcuRequest> RequestParser::feed(const QByteArray &bytes) {
    QList<EcuRequest> out;
    if (m_discarding)
        return out;
    m_buffer.append(bytes);
    while (!m_buffer.isEmpty()) {
        const int length = frameLength(m_buffer);
        if (length == -1 || length > m_buffer.size())
            break; // wait for the rest
        if (length == 0) {
            EcuRequest junk;
            junk.letter = m_buffer.at(0);
            if (m_buffer.at(0) == 'E') {
                // A bad length word: the rest of this burst belongs to the broken frame.
                junk.bytes = m_buffer;
                m_buffer.clear();
                m_discarding = true;
            } else {
                junk.bytes = m_buffer.left(1);
                m_buffer.remove(0, 1);
            }
            out.append(junk);
            if (m_discarding)
                break;
            continue;
        }
        EcuRequest request;
        request.letter = m_buffer.at(0);
        request.bytes = m_buffer.left(length);
        m_buffer.remove(0, length);
        if (length == 1) {
            request.valid = true;
        } else {
            const QByteArray body = request.bytes.left(length - 1);
            request.valid = EcuWire::Checksum(body) == static_cast<std::uint8_t>(request.bytes.back());
        }
        out.append(request);
        if (!request.valid) {
            m_buffer.clear();
            m_discarding = true;
            break;
        }
    }
    return out;
}

void RequestParser::lineQuiet() {
    m_buffer.clear();
    m_discarding = false;
}
