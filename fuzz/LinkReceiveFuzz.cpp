// Arbitrary bytes in arbitrary pieces against every outstanding request: each receive event must end in
// wait, accept or reject-and-retry, never a crash, an out-of-range read or inconsistent counters.
// Input: [flags][command][image words][payload length][payload...] then operations, each one byte
// (high two bits: kind, low six: length) followed by its bytes.
#include "core/Dialogs.h"
#include "link/Link.h"
#include "link/SerialPort.h"
#include "tests/support/LinkTestAccess.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstddef>
#include <cstdint>

namespace {

class FuzzPort : public SerialPort {
public:
    bool open(const QString &) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool write(const QByteArray &bytes) override {
        lastWritten = bytes;
        return true;
    }
    bool read(QByteArray &bytes) override {
        bytes = pending;
        pending.clear();
        return !failRead;
    }
    void purge() override { pending.clear(); }
    QStringList availablePorts() const override { return {}; }
    void feed(const QByteArray &bytes) {
        pending += bytes;
        emit bytesReceived(int(pending.size()));
    }

    QByteArray pending;
    QByteArray lastWritten;
    bool failRead = false;

private:
    bool open_ = false;
};

class FuzzEnvironment : public FixedLinkEnvironment {
public:
    FuzzEnvironment() {
        bits = 28;
        password = QStringLiteral("FUZZ");
    }
};

const char Commands[] = "VSaApPDd12CcEZLRv";
const char *const Versions[] = {"3FA1AD1AA", "1FA1AA1AA", "3FA1AB1AA", ""};

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void Issue(Link &link, char command, int imageWords) {
    switch (command) {
    case 'V':
        link.RequestVersion();
        break;
    case 'S':
        link.RequestSerialNumber();
        break;
    case 'a':
        link.RequestAccessBits();
        break;
    case 'A':
        link.SendAccessBits(12);
        break;
    case 'p':
        link.SendPassword(QStringLiteral("AB"));
        break;
    case 'P':
        link.SendNewPassword(QStringLiteral("AB"));
        break;
    case 'D':
    case 'd':
        link.RequestLiveData();
        break;
    case '1':
        link.RequestCalibrationReading(1);
        break;
    case '2':
        link.RequestCalibrationReading(2);
        break;
    case 'C':
        link.WriteValue(StateOf(link).RequestPayload);
        break;
    case 'c':
        link.WriteSingleValue();
        break;
    case 'E':
        link.WriteBlock(StateOf(link).RequestPayload);
        break;
    case 'Z':
        link.ReadImage(0, imageWords);
        break;
    case 'L':
        link.RequestLock();
        break;
    case 'R':
        link.RequestRestart();
        break;
    case 'v':
        link.RequestVersionBeforeWrite();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // Timers need an application object; no event loop ever runs here.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 4)
        return 0;
    FuzzPort port;
    Dialogs dialogs;
    FuzzEnvironment environment;
    environment.online = data[0] & 1;
    environment.version = QString::fromLatin1(Versions[(data[0] >> 1) & 3]);
    environment.sensor = 1 + ((data[0] >> 3) & 1);
    Link link(&port, &dialogs, &environment);
    QObject::connect(&link, &Link::wentOffline, [&environment] { environment.online = false; });
    link.steps().TransferStep = (data[0] >> 4) & 7;
    port.open(QStringLiteral("COM1"));

    std::size_t at = 4;
    const std::size_t payloadLength = qMin<std::size_t>(data[3], size - at);
    StateOf(link).RequestPayload =
        QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(payloadLength));
    at += payloadLength;
    Issue(link, Commands[data[1] % (sizeof Commands - 1)], data[2]);

    while (at < size) {
        const int kind = data[at] >> 6;
        const std::size_t length = qMin<std::size_t>(data[at] & 0x3F, size - at - 1);
        ++at;
        const QByteArray chunk(reinterpret_cast<const char *>(data + at), qsizetype(length));
        at += length;
        switch (kind) {
        case 0:
            port.feed(chunk);
            break;
        case 1:
            port.failRead = length == 0;
            port.feed(chunk);
            port.failRead = false;
            break;
        case 2:
            // The quiet period ends: reception on again, the delayed action runs.
            StateOf(link).DelayedAction =
                chunk.isEmpty() ? StateOf(link).DelayedAction : std::uint8_t(chunk[0]) % 12;
            link.Timer4Timer();
            break;
        case 3:
            if (chunk.isEmpty())
                link.RetryStep();
            else
                StateOf(link).LastCommand = chunk[0];
            break;
        }
        Check(StateOf(link).RxCount == StateOf(link).RxBuffer.size());
        Check(StateOf(link).CommErrors >= 0 && StateOf(link).CommErrors <= 5);
        Check(!LinkTimer(link, 2)->isActive() || port.isOpen() || StateOf(link).LastCommand == 'C' ||
              StateOf(link).LastCommand == 'd' || StateOf(link).LastCommand == 'D');
        dialogs.clearShown();
    }
    return 0;
}
