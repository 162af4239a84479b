#pragma once
// The simulated ECU serving one pseudo-terminal line. It lives in one thread (the runner's, or the main
// thread of qvr-ecusim); open() and closeLine() run in that thread, the accessors below may be called from
// any thread.
#include "ecusim/EcuFaultPlan.h"
#include "ecusim/EcuState.h"
#include "ecusim/EcuWire.h"
#include "ecusim/EngineModel.h"
#include "ecusim/LineWriter.h"
#include "ecusim/PseudoTerminal.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QTimer>
#include <random>
#include <type_traits>

class QSocketNotifier;

// How many replies the random faults have spoilt, by kind.
struct EcuFaultCounts {
    int lost = 0;
    int cut = 0;
    int corrupted = 0;
    int split = 0;
    int delayed = 0;
    int total() const { return lost + cut + corrupted + split + delayed; }
};

struct EcuSimConfig {
    QString version = QStringLiteral("3FA1AD1AA");
    QByteArray serial = "123456";
    int accessBits = 0;
    QByteArray password = "0000000000";
    bool locked = true;
    QVector<std::uint16_t> image; // shorter images are padded with zero words
    std::uint64_t seed = 1;
    bool paced = false;
    // A half-received request is dropped after this much silence, so the next request is read cleanly.
    int frameGapMs = 100;
    EcuFaultPlan faults;
};

class EcuSim : public QObject {
    Q_OBJECT
public:
    explicit EcuSim(QObject *parent = nullptr);
    ~EcuSim() override;

    bool open(const EcuSimConfig &config, QString *error = nullptr);
    QString slavePath() const;
    bool isOpen() const;

    QVector<std::uint16_t> image() const;
    void setImage(const QVector<std::uint16_t> &image);
    QString version() const { return stateField(&EcuState::version); }
    void setVersion(const QString &version) { setStateField(&EcuState::version, version); }
    QByteArray serial() const { return stateField(&EcuState::serial); }
    void setSerial(const QByteArray &serial) { setStateField(&EcuState::serial, serial); }
    int accessBits() const { return stateField(&EcuState::accessBits); }
    void setAccessBits(int bits) { setStateField(&EcuState::accessBits, bits); }
    QByteArray password() const { return stateField(&EcuState::password); }
    void setPassword(const QByteArray &password) { setStateField(&EcuState::password, password); }
    bool isLocked() const { return stateField(&EcuState::locked); }
    void setLocked(bool locked) { setStateField(&EcuState::locked, locked); }
    void setPowerInterrupted(bool on) { setStateField(&EcuState::powerInterrupted, on); }

    // Every frame received, in order; malformed ones too (valid = false).
    QList<EcuRequest> requestLog() const;
    void clearRequestLog();

    EcuFaultPlan faultPlan() const;
    void setFaultPlan(const EcuFaultPlan &plan);
    EcuFaultCounts faultCounts() const;
    void setPaced(bool paced);

    void freezeEngine(const EngineSample &sample);
    void unfreezeEngine();
    void reseedEngine(std::uint64_t seed);

public slots:
    // Hangs up: the program sees the line go away.
    void closeLine();

signals:
    void requestReceived(char letter);
    void lineClosed();

private:
    // One field of the state, read or changed under the mutex.
    template <typename T> T stateField(T EcuState::*field) const {
        QMutexLocker lock(&m_mutex);
        return m_state.*field;
    }
    template <typename T> void setStateField(T EcuState::*field, const std::type_identity_t<T> &value) {
        QMutexLocker lock(&m_mutex);
        m_state.*field = value;
    }

    void onReadable();
    void handle(const EcuRequest &request);
    // `requestBytes`: the request's length, which a paced line takes to arrive before it can be answered.
    // `aimed`: the counted faults of the plan may touch this reply.
    void sendReply(QByteArray reply, bool hasChecksum, int requestBytes, bool aimed);
    // One of the random faults, or none; called with the mutex held.
    enum class RandomFault { None, Lost, Cut, Corrupted, Split, Delayed };
    RandomFault drawRandomFault();

    mutable QMutex m_mutex;
    EcuState m_state;
    EngineModel m_engine;
    EcuFaultPlan m_plan;
    EcuFaultCounts m_counts;
    std::mt19937_64 m_random;
    QList<EcuRequest> m_log;
    bool m_paced = false;

    // Used only in the object's own thread.
    PseudoTerminal m_pty;
    QString m_slavePath;
    QSocketNotifier *m_notifier = nullptr;
    LineWriter m_writer;
    RequestParser m_parser;
    QTimer m_gapTimer;
};
