#include "ecusim/LineWriter.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

LineWriter::LineWriter(QObject *parent) : QObject(parent) {
    m_timer.setParent(this); // moves to the writer's thread with it
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LineWriter::pump);
    m_clock.start();
}

void LineWriter::send(const QByteArray &bytes, int pauseMs) {
    if (bytes.isEmpty() && pauseMs <= 0)
        return;
    m_queue.enqueue({bytes, std::max(0, pauseMs), false});
    if (!m_timer.isActive())
        pump();
}

void LineWriter::closeWhenSent() {
    Piece marker;
    marker.close = true;
    m_queue.enqueue(marker);
    if (!m_timer.isActive())
        pump();
}

void LineWriter::clear() {
    m_queue.clear();
    m_timer.stop();
}

void LineWriter::arm(qint64 nanos) {
    m_timer.start(int(std::clamp<qint64>((nanos + 999999) / 1000000, 0, 60000)));
}

void LineWriter::pump() {
    while (!m_queue.isEmpty()) {
        Piece &head = m_queue.head();
        const qint64 now = m_clock.nsecsElapsed();
        if (head.close) {
            // Paced bytes are still on their way until their time has come.
            if (now < m_lastByteEnd) {
                arm(m_lastByteEnd - now);
                return;
            }
            m_queue.clear();
            emit closeDue();
            return;
        }
        if (!head.started) {
            // The pause runs from the moment the previous piece has left the line.
            m_notBefore = std::max(now, m_lastByteEnd) + qint64(head.pauseMs) * 1000000;
            head.started = true;
            if (m_paced) {
                m_paceStart = m_notBefore;
                m_pacedSent = 0;
            }
        }
        if (now < m_notBefore) {
            arm(m_notBefore - now);
            return;
        }
        if (head.bytes.isEmpty()) {
            m_lastByteEnd = std::max(m_lastByteEnd, now);
            m_queue.dequeue();
            continue;
        }
        qint64 allowed = head.bytes.size();
        if (m_paced) {
            // Bytes whose start time has come: one every 1.04 ms from the start of this piece.
            const qint64 due = (now - m_paceStart) / NanosPerByte + 1 - m_pacedSent;
            allowed = std::min<qint64>(allowed, std::max<qint64>(0, due));
            if (allowed == 0) {
                arm(m_paceStart + m_pacedSent * NanosPerByte - now);
                return;
            }
        }
        if (m_fd < 0) {
            m_queue.clear();
            return;
        }
        const ssize_t n = ::write(m_fd, head.bytes.constData(), size_t(allowed));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                m_timer.start(2); // the other side is not reading yet
                return;
            }
            m_queue.clear();
            emit writeFailed();
            return;
        }
        head.bytes.remove(0, int(n));
        if (m_paced) {
            m_pacedSent += n;
            m_lastByteEnd = m_paceStart + m_pacedSent * NanosPerByte;
        } else {
            m_lastByteEnd = m_clock.nsecsElapsed();
        }
        if (head.bytes.isEmpty())
            m_queue.dequeue();
        else if (!m_paced && n < allowed) {
            m_timer.start(2);
            return;
        }
    }
}
