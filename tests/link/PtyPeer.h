#pragma once
// The ECU side of a real pseudo-terminal, scripted by the test: the program's port opens slavePath(),
// the test reads requests from and writes replies to the master side.
#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class PtyPeer {
public:
    PtyPeer() {
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            return;
        termios raw{};
        tcgetattr(slave_, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
        tcsetattr(master_, TCSANOW, &raw);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
    }
    ~PtyPeer() {
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_); // held open so the line survives the program closing its port
    }
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isValid() const { return master_ >= 0 && !path_.isEmpty(); }
    QString slavePath() const { return path_; }

    // Collects what the program sent until `bytes` have arrived or `timeoutMs` passed; events keep running.
    QByteArray receive(int bytes, int timeoutMs = 1000) {
        QDeadlineTimer deadline(timeoutMs);
        while (inbox_.size() < bytes && !deadline.hasExpired()) {
            drain();
            if (inbox_.size() < bytes)
                QTest::qWait(2);
        }
        const QByteArray got = inbox_.left(bytes);
        inbox_.remove(0, got.size());
        return got;
    }
    // Everything sent within the next `ms` milliseconds.
    QByteArray receiveFor(int ms) {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            drain();
            QTest::qWait(2);
        }
        drain();
        const QByteArray got = inbox_;
        inbox_.clear();
        return got;
    }
    void send(const QByteArray &bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return;
        }
    }
    void forget() {
        drain();
        inbox_.clear();
    }

    // Throws away what the program has not read yet, as a purge of its port does.
    void flushProgramInput() { tcflush(slave_, TCIFLUSH); }

private:
    void drain() {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                return;
            inbox_.append(buffer, n);
        }
    }

    int master_ = -1;
    int slave_ = -1;
    QString path_;
    QByteArray inbox_;
};
