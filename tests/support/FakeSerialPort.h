#pragma once
// A serial port without a line: records what is written and delivers what the test feeds in.
#include "link/SerialPort.h"

class FakeSerialPort : public SerialPort {
public:
    bool open(const QString &name) override {
        opened << name;
        if (refuseOpen)
            return false;
        open_ = true;
        return true;
    }
    void close() override {
        open_ = false;
        ++closes;
    }
    bool isOpen() const override { return open_; }
    bool write(const QByteArray &bytes) override {
        if (failWrite)
            return false;
        written << bytes;
        return true;
    }
    bool read(QByteArray &bytes) override {
        bytes = pending;
        pending.clear();
        return !failRead;
    }
    void purge() override {
        pending.clear();
        ++purges;
    }
    QStringList availablePorts() const override { return {QStringLiteral("COM1")}; }

    // Bytes arrive in one receive event.
    void feed(const QByteArray &bytes) {
        pending += bytes;
        emit bytesReceived(int(pending.size()));
    }
    QByteArray lastWritten() const { return written.isEmpty() ? QByteArray() : written.last(); }

    QStringList opened;
    QList<QByteArray> written;
    QByteArray pending;
    bool refuseOpen = false;
    bool failWrite = false;
    bool failRead = false;
    int closes = 0;
    int purges = 0;

private:
    bool open_ = false;
};
