#include "link/QtSerialPortAdapter.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>

QtSerialPortAdapter::QtSerialPortAdapter(QObject *parent)
    : SerialPort(parent), port_(new QSerialPort(this)), presence_(new QTimer(this)) {
    connect(port_, &QSerialPort::readyRead, this, &QtSerialPortAdapter::onReadyRead);
    connect(port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onError(int(error)); });
    presence_->setInterval(PresenceCheckMs);
    connect(presence_, &QTimer::timeout, this, &QtSerialPortAdapter::checkPresence);
}

QtSerialPortAdapter::~QtSerialPortAdapter() {
    close();
}

bool QtSerialPortAdapter::open(const QString &name) {
    if (port_->isOpen())
        port_->close();
    port_->setPortName(name);
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    // Errors while opening are answered by the return value, not taken for a lost line.
    opening_ = true;
    const bool opened = port_->open(QIODevice::ReadWrite);
    if (opened) {
        // A pseudo-terminal has no modem lines; the failing ioctls are harmless there.
        port_->setDataTerminalReady(false);
        port_->setRequestToSend(false);
    }
    port_->clearError();
    opening_ = false;
    if (!opened)
        return false;
    ++openings_;
#ifdef Q_OS_UNIX
    devicePath_ = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
#endif
    presence_->start();
    return true;
}

void QtSerialPortAdapter::close() {
    presence_->stop();
    if (port_->isOpen())
        port_->close();
    port_->clearError();
    pending_ = false;
}

void QtSerialPortAdapter::onError(int error) {
    if (opening_ || !port_->isOpen())
        return;
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ReadError:
        // A read that finds nothing reports a read error too: input purged between the notification and
        // the read (a request that cuts into a live reply does that). A hang-up is a resource error, a
        // vanished device a port that is no longer there.
        port_->clearError();
        checkPresence();
        break;
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::NotOpenError:
        lose();
        break;
    default:
        // A time-out is write()'s to judge; the rest say nothing about the line.
        break;
    }
}

void QtSerialPortAdapter::checkPresence() {
    if (port_->isOpen() && !devicePath_.isEmpty() && !QFileInfo::exists(devicePath_))
        lose();
}

void QtSerialPortAdapter::lose() {
    if (!port_->isOpen())
        return;
    close();
    // Told after the port's own signal has returned; an opening in between is a new line.
    const quint64 opening = openings_;
    QMetaObject::invokeMethod(
        this,
        [this, opening] {
            if (opening == openings_)
                emit lineLost();
        },
        Qt::QueuedConnection);
}

bool QtSerialPortAdapter::isOpen() const {
    return port_->isOpen();
}

bool QtSerialPortAdapter::write(const QByteArray &bytes) {
    if (!port_->isOpen())
        return false;
    // While we wait for the bytes to leave, Qt may read and announce a reply; hold that
    // notification back so the link never sees a reply in the middle of its own send.
    writing_ = true;
    bool ok = port_->write(bytes) == bytes.size();
    QDeadlineTimer deadline(WriteTimeoutMs);
    while (ok && port_->bytesToWrite() > 0) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || !port_->waitForBytesWritten(int(left)))
            ok = false;
    }
    writing_ = false;
    if (!ok) {
        port_->clear(QSerialPort::Output);
        port_->clearError();
    }
    if (pending_ || port_->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &QtSerialPortAdapter::deliverPending, Qt::QueuedConnection);
    pending_ = false;
    return ok;
}

bool QtSerialPortAdapter::read(QByteArray &bytes) {
    bytes = port_->readAll();
    if (port_->error() == QSerialPort::ReadError || port_->error() == QSerialPort::ResourceError) {
        port_->clearError();
        return false;
    }
    return true;
}

void QtSerialPortAdapter::purge() {
    if (port_->isOpen())
        port_->clear(QSerialPort::AllDirections);
}

QStringList QtSerialPortAdapter::availablePorts() const {
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return names;
}

void QtSerialPortAdapter::onReadyRead() {
    if (writing_) {
        pending_ = true;
        return;
    }
    emit bytesReceived(int(port_->bytesAvailable()));
}

void QtSerialPortAdapter::deliverPending() {
    if (port_->isOpen() && port_->bytesAvailable() > 0)
        emit bytesReceived(int(port_->bytesAvailable()));
}
