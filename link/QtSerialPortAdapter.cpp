#include "link/QtSerialPortAdapter.h"

#include <QDeadlineTimer>
#include <QSerialPort>
#include <QSerialPortInfo>

QtSerialPortAdapter::QtSerialPortAdapter(QObject *parent) : SerialPort(parent), port_(new QSerialPort(this)) {
    connect(port_, &QSerialPort::readyRead, this, &QtSerialPortAdapter::onReadyRead);
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
    if (!port_->open(QIODevice::ReadWrite)) {
        port_->clearError();
        return false;
    }
    // A pseudo-terminal has no modem lines; the failing ioctls are harmless there.
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    port_->clearError();
    return true;
}

void QtSerialPortAdapter::close() {
    if (port_->isOpen())
        port_->close();
    port_->clearError();
    pending_ = false;
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
