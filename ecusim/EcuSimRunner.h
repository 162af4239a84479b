#pragma once
// Runs an EcuSim in a thread of its own with its own event loop, so the program's link can use the main
// thread (tests and the in-process demo). All members may be called from the thread that owns the runner.
#include "ecusim/EcuSim.h"

#include <QObject>
#include <QThread>

class EcuSimRunner : public QObject {
    Q_OBJECT
public:
    explicit EcuSimRunner(QObject *parent = nullptr);
    ~EcuSimRunner() override;

    // Opens the line and starts serving; returns the path the program opens as its port, or an empty text
    // (see lastError()). A running simulator is stopped first.
    QString start(const EcuSimConfig &config = EcuSimConfig());
    void stop();
    bool isRunning() const { return m_sim != nullptr; }
    QString slavePath() const { return m_sim ? m_sim->slavePath() : QString(); }
    QString lastError() const { return m_error; }
    // For connecting to its signals (delivered queued) and for anything not forwarded below.
    EcuSim *sim() const { return m_sim; }

    QVector<std::uint16_t> image() const { return m_sim ? m_sim->image() : QVector<std::uint16_t>(); }
    void setImage(const QVector<std::uint16_t> &image);
    QString version() const { return m_sim ? m_sim->version() : QString(); }
    void setVersion(const QString &version);
    QByteArray serial() const { return m_sim ? m_sim->serial() : QByteArray(); }
    void setSerial(const QByteArray &serial);
    int accessBits() const { return m_sim ? m_sim->accessBits() : 0; }
    void setAccessBits(int bits);
    QByteArray password() const { return m_sim ? m_sim->password() : QByteArray(); }
    void setPassword(const QByteArray &password);
    bool isLocked() const { return m_sim && m_sim->isLocked(); }
    void setLocked(bool locked);
    void setPowerInterrupted(bool on);

    QList<EcuRequest> requestLog() const { return m_sim ? m_sim->requestLog() : QList<EcuRequest>(); }
    // The letters of the valid requests so far, in order ("VSaZ...").
    QByteArray requestLetters() const;
    void clearRequestLog();

    EcuFaultPlan faultPlan() const { return m_sim ? m_sim->faultPlan() : EcuFaultPlan(); }
    EcuFaultCounts faultCounts() const { return m_sim ? m_sim->faultCounts() : EcuFaultCounts(); }
    void setFaultPlan(const EcuFaultPlan &plan);
    void setPaced(bool paced);
    // Hangs up the line now.
    void closeLine();

    void freezeEngine(const EngineSample &sample);
    void unfreezeEngine();

private:
    QThread m_thread;
    EcuSim *m_sim = nullptr;
    QString m_error;
};
