#include "ecusim/EcuSimRunner.h"

#include <QMetaObject>

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
    if (m_sim)
        m_sim->setImage(image);
}

void EcuSimRunner::setVersion(const QString &version) {
    if (m_sim)
        m_sim->setVersion(version);
}

void EcuSimRunner::setSerial(const QByteArray &serial) {
    if (m_sim)
        m_sim->setSerial(serial);
}

void EcuSimRunner::setAccessBits(int bits) {
    if (m_sim)
        m_sim->setAccessBits(bits);
}

void EcuSimRunner::setPassword(const QByteArray &password) {
    if (m_sim)
        m_sim->setPassword(password);
}

void EcuSimRunner::setLocked(bool locked) {
    if (m_sim)
        m_sim->setLocked(locked);
}

void EcuSimRunner::setPowerInterrupted(bool on) {
    if (m_sim)
        m_sim->setPowerInterrupted(on);
}

QByteArray EcuSimRunner::requestLetters() const {
    QByteArray letters;
    for (const EcuRequest &request : requestLog())
        if (request.valid)
            letters.append(request.letter);
    return letters;
}

void EcuSimRunner::clearRequestLog() {
    if (m_sim)
        m_sim->clearRequestLog();
}

void EcuSimRunner::setFaultPlan(const EcuFaultPlan &plan) {
    if (m_sim)
        m_sim->setFaultPlan(plan);
}

void EcuSimRunner::setPaced(bool paced) {
    if (m_sim)
        m_sim->setPaced(paced);
}

void EcuSimRunner::closeLine() {
    if (m_sim)
        QMetaObject::invokeMethod(m_sim, &EcuSim::closeLine, Qt::BlockingQueuedConnection);
}

void EcuSimRunner::freezeEngine(const EngineSample &sample) {
    if (m_sim)
        m_sim->freezeEngine(sample);
}

void EcuSimRunner::unfreezeEngine() {
    if (m_sim)
        m_sim->unfreezeEngine();
}
