#pragma once
// The program's end of the simulated line, with plain POSIX calls, for tests.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class PtyClient {
public:
    explicit PtyClient(const QString &path) {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0) {
            termios mode{};
            ::tcgetattr(m_fd, &mode);
            cfmakeraw(&mode);
            ::tcsetattr(m_fd, TCSANOW, &mode);
            ::tcflush(m_fd, TCIOFLUSH);
        }
    }
    ~PtyClient() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;

    bool isOpen() const { return m_fd >= 0; }

    bool send(const QByteArray &bytes) {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    struct Chunk {
        qint64 atMs; // since the read began
        QByteArray bytes;
    };

    // Everything that arrives until `count` bytes are in or `timeoutMs` has passed, with arrival times.
    QList<Chunk> readChunks(int count, int timeoutMs = 2000) {
        QList<Chunk> chunks;
        QElapsedTimer clock;
        clock.start();
        int total = 0;
        while (total < count && clock.elapsed() < timeoutMs) {
            if (!waitReadable(int(timeoutMs - clock.elapsed())))
                break;
            QByteArray bytes;
            const ReadResult result = readWaiting(&bytes);
            if (result == ReadResult::Again)
                continue;
            if (result == ReadResult::HungUp)
                break;
            chunks.append({clock.elapsed(), bytes});
            total += int(bytes.size());
        }
        return chunks;
    }

    // One read of what the line holds: bytes, nothing after all (try again), or the far end hung up.
    enum class ReadResult { Got, Again, HungUp };
    ReadResult readWaiting(QByteArray *bytes) {
        char buffer[4096];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            *bytes = QByteArray(buffer, int(n));
            return ReadResult::Got;
        }
        if (n < 0 && errno == EAGAIN)
            return ReadResult::Again;
        m_hungUp = true;
        return ReadResult::HungUp;
    }

    QByteArray read(int count, int timeoutMs = 2000) {
        QByteArray all;
        for (const Chunk &c : readChunks(count, timeoutMs))
            all += c.bytes;
        return all;
    }

    // Everything until the line has been silent for `quietMs`.
    QByteArray readUntilQuiet(int quietMs = 200) {
        QByteArray all;
        for (;;) {
            if (!waitReadable(quietMs))
                return all;
            QByteArray bytes;
            const ReadResult result = readWaiting(&bytes);
            if (result == ReadResult::Again)
                continue;
            if (result == ReadResult::HungUp)
                return all;
            all += bytes;
        }
    }

    // Sends a request and returns what came back before the line went quiet.
    QByteArray ask(const QByteArray &request, int quietMs = 200) {
        send(request);
        return readUntilQuiet(quietMs);
    }

    // True when the other end has hung up within `timeoutMs`.
    bool waitHangUp(int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (!m_hungUp && clock.elapsed() < timeoutMs) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                if (p.revents & (POLLHUP | POLLERR)) {
                    m_hungUp = true;
                    break;
                }
                char buffer[256];
                const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
                if (n == 0 || (n < 0 && errno != EAGAIN))
                    m_hungUp = true;
            }
        }
        return m_hungUp;
    }

private:
    bool waitReadable(int timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs) <= 0)
            return false;
        if ((p.revents & POLLIN) == 0) {
            m_hungUp = true;
            return false;
        }
        return true;
    }

    int m_fd = -1;
    bool m_hungUp = false;
};

// A request frame: letter, payload, checksum over both.
inline QByteArray Framed(const QByteArray &body) {
    unsigned sum = 0;
    for (char c : body)
        sum += static_cast<unsigned char>(c);
    return body + char(sum & 0xFF);
}

inline bool ChecksumOk(const QByteArray &reply) {
    if (reply.size() < 2)
        return false;
    return Framed(reply.left(reply.size() - 1)) == reply;
}
