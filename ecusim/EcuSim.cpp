#include "ecusim/EcuSim.h"

#include "ecusim/EcuProtocol.h"

#include <QMutexLocker>
#include <QSocketNotifier>
#include <cerrno>
#include <iterator>
#include <unistd.h>

namespace {
// The "badstore" fault: an acknowledged write whose first word is kept wrong. Called with the lock held.
void SpoilStoredWord(EcuFaultPlan &plan, EcuState &state, const EcuRequest &request, const EcuReply &reply) {
    const bool write = request.letter == 'E' || request.letter == 'C';
    if (plan.badStores <= 0 || !write || reply.bytes != QByteArrayLiteral("Y"))
        return;
    const int first = EcuWire::WordAt(request.bytes, request.letter == 'E' ? 3 : 1);
    const int count = request.letter == 'E' ? EcuWire::WordAt(request.bytes, 1) / 2 : 1;
    const int target = plan.badStoreAddress;
    if (target >= 0 && (target < first || target >= first + count))
        return;
    const int at = target >= 0 ? target : first;
    if (at >= state.image.size())
        return;
    --plan.badStores;
    state.image[at] ^= 1;
}

} // namespace

EcuSim::EcuSim(QObject *parent) : QObject(parent) {
    // Children, so that moving the simulator to its thread moves them too.
    m_writer.setParent(this);
    m_gapTimer.setParent(this);
    m_gapTimer.setSingleShot(true);
    connect(&m_gapTimer, &QTimer::timeout, this, [this] { m_parser.lineQuiet(); });
    connect(&m_writer, &LineWriter::writeFailed, this, &EcuSim::closeLine);
    connect(&m_writer, &LineWriter::closeDue, this, &EcuSim::closeLine);
}

EcuSim::~EcuSim() {
    closeLine();
}

bool EcuSim::open(const EcuSimConfig &config, QString *error) {
    closeLine();
    {
        QMutexLocker lock(&m_mutex);
        m_state = EcuState();
        m_state.version = config.version;
        m_state.serial = config.serial;
        m_state.accessBits = config.accessBits;
        m_state.password = config.password;
        m_state.locked = config.locked;
        for (int i = 0; i < config.image.size() && i < EcuImageWords; ++i)
            m_state.image[i] = config.image.at(i);
        m_engine.reseed(config.seed);
        m_engine.unfreeze();
        m_plan = config.faults;
        m_random.seed(config.faults.randomSeed);
        m_counts = EcuFaultCounts();
        m_paced = config.paced;
        m_log.clear();
    }
    m_gapTimer.setInterval(config.frameGapMs);
    m_parser.lineQuiet();
    if (!m_pty.open(error))
        return false;
    m_writer.setFd(m_pty.masterFd());
    m_notifier = new QSocketNotifier(m_pty.masterFd(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EcuSim::onReadable);
    QMutexLocker lock(&m_mutex);
    m_slavePath = m_pty.slavePath();
    return true;
}

QString EcuSim::slavePath() const {
    QMutexLocker lock(&m_mutex);
    return m_slavePath;
}

bool EcuSim::isOpen() const {
    QMutexLocker lock(&m_mutex);
    return !m_slavePath.isEmpty();
}

void EcuSim::closeLine() {
    const bool wasOpen = m_pty.isOpen();
    delete m_notifier;
    m_notifier = nullptr;
    m_writer.clear();
    m_writer.setFd(-1);
    m_gapTimer.stop();
    m_pty.close();
    {
        QMutexLocker lock(&m_mutex);
        m_slavePath.clear();
    }
    if (wasOpen)
        emit lineClosed();
}

void EcuSim::onReadable() {
    char buffer[512];
    QByteArray received;
    for (;;) {
        const ssize_t n = ::read(m_pty.masterFd(), buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, int(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            break;
        // End of line or an error: nobody can talk to us any more.
        closeLine();
        return;
    }
    if (received.isEmpty())
        return;
    const QList<EcuRequest> frames = m_parser.feed(received);
    if (m_parser.hasPartialFrame())
        m_gapTimer.start();
    else
        m_gapTimer.stop();
    for (const EcuRequest &request : frames) {
        handle(request);
        if (!m_pty.isOpen())
            return;
    }
}

void EcuSim::handle(const EcuRequest &request) {
    EcuReply reply;
    {
        QMutexLocker lock(&m_mutex);
        m_log.append(request);
        if (!request.valid)
            return;
        // Faults aimed at one kind of request let the others through untouched.
        const bool aimed = m_plan.onlyLetter == 0 || m_plan.onlyLetter == request.letter;
        if (!aimed) {
            reply = AnswerRequest(m_state, m_engine, request);
            lock.unlock();
            emit requestReceived(request.letter);
            if (!reply.bytes.isEmpty())
                sendReply(reply.bytes, reply.hasChecksum, int(request.bytes.size()), false);
            return;
        }
        if (m_plan.closeAfterRequests == 0) {
            m_plan.closeAfterRequests = -1;
            const int cutAt = m_plan.closeReplyBytes;
            if (cutAt < 0) {
                lock.unlock();
                closeLine();
                return;
            }
            // The line dies in the middle of the answer: the first bytes go out, then the hang-up.
            reply = AnswerRequest(m_state, m_engine, request);
            m_writer.setPaced(m_paced);
            lock.unlock();
            emit requestReceived(request.letter);
            m_writer.send(reply.bytes.left(cutAt), 0);
            m_writer.closeWhenSent();
            return;
        }
        if (m_plan.closeAfterRequests > 0)
            --m_plan.closeAfterRequests;
        if (m_plan.silentRequests > 0) {
            --m_plan.silentRequests;
        } else {
            reply = AnswerRequest(m_state, m_engine, request);
            SpoilStoredWord(m_plan, m_state, request, reply);
        }
    }
    emit requestReceived(request.letter);
    if (!reply.bytes.isEmpty())
        sendReply(reply.bytes, reply.hasChecksum, int(request.bytes.size()), true);
}

EcuSim::RandomFault EcuSim::drawRandomFault() {
    if (m_plan.randomPermille <= 0 || int(m_random() % 1000) >= m_plan.randomPermille)
        return RandomFault::None;
    // Every kind as likely as the others, each counted where it is drawn.
    struct Kind {
        RandomFault fault;
        int EcuFaultCounts::*count;
    };
    static constexpr Kind Kinds[] = {{RandomFault::Lost, &EcuFaultCounts::lost},
                                     {RandomFault::Cut, &EcuFaultCounts::cut},
                                     {RandomFault::Corrupted, &EcuFaultCounts::corrupted},
                                     {RandomFault::Split, &EcuFaultCounts::split},
                                     {RandomFault::Delayed, &EcuFaultCounts::delayed}};
    const Kind &kind = Kinds[m_random() % std::size(Kinds)];
    ++(m_counts.*kind.count);
    return kind.fault;
}

void EcuSim::sendReply(QByteArray reply, bool hasChecksum, int requestBytes, bool aimed) {
    int delayMs = 0;
    int pieces = 1;
    int gapMs = 0;
    int stray = -1;
    int strayGapMs = 0;
    {
        QMutexLocker lock(&m_mutex);
        m_writer.setPaced(m_paced);
        // A paced line answers only once the request itself could have arrived: 10 bits a byte.
        if (m_paced)
            delayMs += int((requestBytes * LineWriter::NanosPerByte + 999999) / 1000000);
        switch (drawRandomFault()) {
        case RandomFault::None:
            break;
        case RandomFault::Lost:
            return;
        case RandomFault::Cut:
            reply.truncate(int(m_random() % std::uint64_t(reply.size())));
            if (reply.isEmpty())
                return;
            break;
        case RandomFault::Corrupted: {
            const int at = int(m_random() % std::uint64_t(reply.size()));
            reply[at] = static_cast<char>(reply[at] ^ char(1 + m_random() % 255));
            break;
        }
        case RandomFault::Split:
            pieces = std::min<int>(2 + int(m_random() % 3), int(reply.size()));
            gapMs = 5 + int(m_random() % 35);
            break;
        case RandomFault::Delayed:
            delayMs += 350 + int(m_random() % 250);
            break;
        }
        if (aimed && hasChecksum && m_plan.badChecksumReplies > 0) {
            --m_plan.badChecksumReplies;
            reply.back() = static_cast<char>(reply.back() ^ 0x5A);
        }
        if (aimed && m_plan.delayReplies != 0) {
            if (m_plan.delayReplies > 0)
                --m_plan.delayReplies;
            delayMs += m_plan.delayMs;
        }
        if (aimed && m_plan.splitReplies > 0) {
            --m_plan.splitReplies;
            pieces = std::min<int>(std::max(2, m_plan.splitPieces), int(reply.size()));
            gapMs = m_plan.splitGapMs;
        }
        if (aimed && m_plan.strayReplies > 0) {
            --m_plan.strayReplies;
            stray = m_plan.strayByte;
            strayGapMs = m_plan.strayGapMs;
        }
    }
    if (stray >= 0 && strayGapMs == 0) {
        reply.append(static_cast<char>(stray));
        stray = -1;
    }
    // Pieces as even as possible; a one-byte reply cannot be split.
    const int total = int(reply.size());
    int sent = 0;
    for (int i = 0; i < pieces; ++i) {
        const int end = total * (i + 1) / pieces;
        m_writer.send(reply.mid(sent, end - sent), i == 0 ? delayMs : gapMs);
        sent = end;
    }
    if (stray >= 0)
        m_writer.send(QByteArray(1, static_cast<char>(stray)), strayGapMs);
}

QVector<std::uint16_t> EcuSim::image() const {
    QMutexLocker lock(&m_mutex);
    return m_state.image;
}

void EcuSim::setImage(const QVector<std::uint16_t> &image) {
    QMutexLocker lock(&m_mutex);
    m_state.image.fill(0);
    for (int i = 0; i < image.size() && i < EcuImageWords; ++i)
        m_state.image[i] = image.at(i);
}

QList<EcuRequest> EcuSim::requestLog() const {
    QMutexLocker lock(&m_mutex);
    return m_log;
}

void EcuSim::clearRequestLog() {
    QMutexLocker lock(&m_mutex);
    m_log.clear();
}

EcuFaultPlan EcuSim::faultPlan() const {
    QMutexLocker lock(&m_mutex);
    return m_plan;
}

void EcuSim::setFaultPlan(const EcuFaultPlan &plan) {
    QMutexLocker lock(&m_mutex);
    if (plan.randomSeed != m_plan.randomSeed || plan.randomPermille != m_plan.randomPermille)
        m_random.seed(plan.randomSeed);
    m_plan = plan;
}

EcuFaultCounts EcuSim::faultCounts() const {
    QMutexLocker lock(&m_mutex);
    return m_counts;
}

void EcuSim::setPaced(bool paced) {
    QMutexLocker lock(&m_mutex);
    m_paced = paced;
}

void EcuSim::freezeEngine(const EngineSample &sample) {
    QMutexLocker lock(&m_mutex);
    m_engine.freeze(sample);
}

void EcuSim::unfreezeEngine() {
    QMutexLocker lock(&m_mutex);
    m_engine.unfreeze();
}

void EcuSim::reseedEngine(std::uint64_t seed) {
    QMutexLocker lock(&m_mutex);
    m_engine.reseed(seed);
}
