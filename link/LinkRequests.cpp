// Request frames: letter, payload, checksum over both. Bare letters go out alone.
#include "core/Dialogs.h"
#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/Timers.h"
#include "link/Link.h"
#include "link/SerialPort.h"

#include <QTimer>

#include <array>

bool Link::SendWithChecksum(char letter, const QByteArray &payload) {
    QByteArray frame;
    frame.reserve(payload.size() + 2);
    frame.append(letter);
    frame.append(payload);
    frame.append(char(FrameChecksum(frame)));
    return SendFrame(frame);
}

bool Link::OpenForVersionRequest() {
    if (OpenPortIfClosed())
        return true;
    StopLink();
    DisableTimer(Timer3);
    DisableTimer(Timer4);
    hooks_->setOffline();
    if (dialogs_)
        dialogs_->error(QStringLiteral("COM port not available or USB kabel not connected !!!"));
    return false;
}

void Link::RequestVersion() {
    LastCommand = 'V';
    if (OpenForVersionRequest())
        SendFrame(QByteArrayLiteral("V"));
}

void Link::RequestVersionBeforeWrite() {
    LastCommand = 'v';
    if (OpenForVersionRequest())
        SendFrame(QByteArrayLiteral("V"));
}

void Link::RequestSerialNumber() {
    LastCommand = 'S';
    OpenPortIfClosed();
    SendFrame(QByteArrayLiteral("S"));
}

bool Link::RequestAccessBits() {
    if (!VersionAtLeast(Version(), QStringLiteral("3FA1AC")))
        return false;
    if (!Online() || !IsConnected())
        return false;
    LastCommand = 'a';
    SendWithChecksum('a', QByteArrayLiteral("ABCD"));
    RefreshCommErrors();
    return true;
}

void Link::SendAccessBits(int bits) {
    LastCommand = 'A';
    OpenPortIfClosed();
    SendWithChecksum('A', EncodeWord(bits));
    RefreshCommErrors();
}

void Link::SendPassword(const QString &password) {
    LastCommand = 'p';
    OpenPortIfClosed();
    SendWithChecksum('p', PadToTen(password.left(10).toLatin1()));
    RefreshCommErrors();
}

void Link::SendNewPassword(const QString &password) {
    LastCommand = 'P';
    OpenPortIfClosed();
    SendWithChecksum('P', PadToTen(password.left(10).toLatin1()));
    RefreshCommErrors();
}

void Link::RequestLiveData() {
    if (!Online())
        return;
    LastCommand = VersionAtLeast(Version(), QStringLiteral("3FA")) ? 'd' : 'D';
    // A dead line must not keep the poll going: every tick would report the failure again.
    if (!SendFrame(QByteArray(1, LastCommand)))
        return;
    EnableTimer(Timer1);
    EnableTimer(Timer2);
    RefreshCommErrors();
}

void Link::RequestCalibrationReading(int step) {
    if (!Online() || (step != 1 && step != 2))
        return;
    RxIgnore = false;
    LastCommand = char('0' + step);
    SendFrame(QByteArrayLiteral("D"));
}

void Link::WriteValue() {
    LastCommand = 'C';
    if (!Online()) {
        // A data-set write lets the time-out take over; anything else just moves on.
        const int step = hooks_->transferStep();
        if (step >= 2 && step <= 5)
            EnableTimer(Timer2);
        else
            hooks_->setStepReady();
        return;
    }
    hooks_->releaseLockButton();
    hooks_->showLockState(true);
    SendWithChecksum('C', RequestPayload);
}

void Link::WriteSingleValue() {
    LastCommand = 'c';
    if (!Online()) {
        hooks_->setStepReady();
        return;
    }
    hooks_->showLockState(true);
    SendWithChecksum('C', RequestPayload);
}

void Link::WriteBlock() {
    LastCommand = 'E';
    if (!Online() || !IsConnected()) {
        hooks_->setStepReady();
        return;
    }
    hooks_->showLockState(true);
    SendWithChecksum('E', RequestPayload);
}

void Link::ReadImage(int start, int count) {
    ReadStart = start;
    ReadCount = count;
    if (!Online())
        return;
    LastCommand = 'Z';
    SendWithChecksum('Z', EncodeWord(start) + EncodeWord(count));
}

void Link::RequestLock() {
    if (!Online())
        return;
    LastCommand = 'L';
    SendFrame(QByteArrayLiteral("L"));
    RefreshCommErrors();
}

void Link::RequestRestart() {
    LastCommand = 'R';
    SendFrame(QByteArrayLiteral("R"));
}

namespace {
struct ResendRule {
    char command;
    void (*resend)(Link &link);
};

void EnableTimer3IfTransfer(Link &link) {
    if (link.hooks()->transferStep() != 0)
        EnableTimer(link.Timer3);
}

const std::array<ResendRule, 17> ResendRules{{
    {'1', [](Link &l) { l.RequestCalibrationReading(1); }},
    {'2', [](Link &l) { l.RequestCalibrationReading(2); }},
    {'a', [](Link &l) { l.RequestAccessBits(); }},
    {'A', [](Link &l) { l.SendAccessBits(l.hooks()->accessBits()); }},
    {'C',
     [](Link &l) {
         l.WriteValue();
         EnableTimer3IfTransfer(l);
     }},
    {'c',
     [](Link &l) {
         l.ArmDelayedAction(1);
         EnableTimer3IfTransfer(l);
     }},
    {'D', [](Link &l) { l.RequestLiveData(); }},
    {'d', [](Link &l) { l.RequestLiveData(); }},
    {'E', [](Link &l) { l.WriteBlock(); }},
    {'L', [](Link &l) { l.RequestLock(); }},
    {'P', [](Link &l) { l.SendNewPassword(l.hooks()->passwordText()); }},
    {'p', [](Link &l) { l.SendPassword(l.hooks()->passwordText()); }},
    {'R', [](Link &l) { l.RequestRestart(); }},
    {'S', [](Link &l) { l.RequestSerialNumber(); }},
    {'V', [](Link &l) { l.RequestVersion(); }},
    {'Z', [](Link &l) { l.ReadImage(l.ReadStart, l.ReadCount); }},
    {'v', [](Link &l) { l.RequestVersionBeforeWrite(); }},
}};
} // namespace

void Link::ResendLast() {
    for (const ResendRule &rule : ResendRules) {
        if (rule.command == LastCommand) {
            rule.resend(*this);
            return;
        }
    }
    if (dialogs_)
        dialogs_->error(QStringLiteral("Comm Error test2"));
}
