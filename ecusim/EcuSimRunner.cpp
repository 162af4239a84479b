#include "ecusim/EcuSimRunner.h"

#include <utility>

#include <QMetaObject>

namespace {
// Passes a call on to the simulated ECU while it runs; when none runs there is nothing to set.
template <class... Params, class... Args>
void whenRunning(EcuSim *sim, void (EcuSim::*call)(Params...), Args &&...args) {
    if (sim)
        (sim->*call)(std::forward<Args>(args)...);
}
} // namespace

EcuSimRunner::EcuSimRunner(QObject *parent) : QObject(parent) {
    m_thread.setObjectName(QStringLiteral("ecusim"));
}

EcuSimRunner::~EcuSimRunner() {
    stop();
}

QString EcuSimRunner::start(const EcuSimConfig &config) {
    stop();
    m_error.clear();
    m_thread.start();
    m_sim = new EcuSim;
    m_sim->moveToThread(&m_thread);
    bool ok = false;
    QString error;
    EcuSim *sim = m_sim;
    QMetaObject::invokeMethod(
        sim, [sim, &config, &ok, &error] { ok = sim->open(config, &error); }, Qt::BlockingQueuedConnection);
    if (!ok) {
        m_error = error;
        stop();
        return QString();
    }
    return m_sim->slavePath();
}

void EcuSimRunner::stop() {
    if (m_sim) {
        EcuSim *sim = m_sim;
        QThread *home = thread();
        // Shut the line in the simulator's own thread, then hand the object back for deletion here.
        QMetaObject::invokeMethod(
            sim,
            [sim, home] {
                sim->closeLine();
                sim->moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
        delete sim;
        m_sim = nullptr;
    }
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    }
}

void EcuSimRunner::setImage(const QVector<std::uint16_t> &image) {
    whenRunning(m_sim, &EcuSim::setImage, image);
}

void EcuSimRunner::setVersion(const QString &version) {
    whenRunning(m_sim, &EcuSim::setVersion, version);
}

void EcuSimRunner::setSerial(const QByteArray &serial) {
    whenRunning(m_sim, &EcuSim::setSerial, serial);
}

void EcuSimRunner::setAccessBits(int bits) {
    whenRunning(m_sim, &EcuSim::setAccessBits, bits);
}

void EcuSimRunner::setPassword(const QByteArray &password) {
    whenRunning(m_sim, &EcuSim::setPassword, password);
}

void EcuSimRunner::setLocked(bool locked) {
    whenRunning(m_sim, &EcuSim::setLocked, locked);
}

void EcuSimRunner::setPowerInterrupted(bool on) {
    whenRunning(m_sim, &EcuSim::setPowerInterrupted, on);
}

QByteArray EcuSimRunner::requestLetters() const {
    QByteArray letters;
    for (const EcuRequest &request : requestLog())
        if (request.valid)
            letters.append(request.letter);
    return letters;
}

void EcuSimRunner::clearRequestLog() {
    whenRunning(m_sim, &EcuSim::clearRequestLog);
}

void EcuSimRunner::setFaultPlan(const EcuFaultPlan &plan) {
    whenRunning(m_sim, &EcuSim::setFaultPlan, plan);
}

void EcuSimRunner::setPaced(bool paced) {
    whenRunning(m_sim, &EcuSim::setPaced, paced);
}

void EcuSimRunner::closeLine() {
    if (m_sim)
        QMetaObject::invokeMethod(m_sim, &EcuSim::closeLine, Qt::BlockingQueuedConnection);
}

void EcuSimRunner::freezeEngine(const EngineSample &sample) {
    whenRunning(m_sim, &EcuSim::freezeEngine, sample);
}

void EcuSimRunner::unfreezeEngine() {
    whenRunning(m_sim, &EcuSim::unfreezeEngine);
}
