#pragma once
// Sends the ECU's bytes: pieces with pauses between them, optionally paced at 9600 baud (about 1.04 ms per
// byte: 10 bits of start, data and stop), without blocking the event loop.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QQueue>
#include <QTimer>

class LineWriter : public QObject {
    Q_OBJECT
public:
    explicit LineWriter(QObject *parent = nullptr);

    void setFd(int fd) { m_fd = fd; }
    void setPaced(bool paced) { m_paced = paced; }
    bool isPaced() const { return m_paced; }
    // Queues `bytes` to go out `pauseMs` after the previous piece has gone out completely.
    void send(const QByteArray &bytes, int pauseMs = 0);
    // Once everything queued so far has gone out, closeDue() is emitted.
    void closeWhenSent();
    void clear();
    bool isIdle() const { return m_queue.isEmpty(); }

    static constexpr qint64 NanosPerByte = 1041667; // 10 bits at 9600 baud

signals:
    void writeFailed();
    void closeDue();

private:
    void pump();
    void arm(qint64 nanos);

    struct Piece {
        QByteArray bytes;
        int pauseMs = 0;
        bool started = false;
        bool close = false; // a marker: the line closes here
    };
    QQueue<Piece> m_queue;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_notBefore = 0;   // clock time the head piece may start
    qint64 m_paceStart = 0;   // clock time the current paced run began
    qint64 m_pacedSent = 0;   // bytes written since m_paceStart
    qint64 m_lastByteEnd = 0; // clock time the line is free again
    int m_fd = -1;
    bool m_paced = false;
};
