// Request frames: letter, payload, checksum over both. Bare letters go out alone.
#include "core/Dialogs.h"
#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/Timers.h"
#include "link/Link.h"
#include "link/SerialPort.h"

#include <QTimer>

bool Link::SendWithChecksum(char letter, const QByteArray &payload) {
    QByteArray frame;
    frame.reserve(payload.size() + 2);
    frame.append(letter);
    frame.append(payload);
    frame.append(char(FrameChecksum(frame)));
    return SendFrame(frame);
}

// Every request that may start a conversation opens the port; one that cannot says so and leaves the
// link offline.
bool Link::OpenForRequest() {
    if (OpenPortIfClosed())
        return true;
    GoOffline(OfflineCause::PortUnavailable);
    if (dialogs_)
        dialogs_->error(QStringLiteral("COM port not available or USB kabel not connected !!!"));
    return false;
}

void Link::RequestVersion() {
    s_.LastCommand = 'V';
    if (OpenForRequest())
        SendFrame(QByteArrayLiteral("V"));
}

void Link::RequestVersionBeforeWrite() {
    s_.LastCommand = 'v';
    if (OpenForRequest())
        SendFrame(QByteArrayLiteral("V"));
}

void Link::RequestSerialNumber() {
    s_.LastCommand = 'S';
    if (OpenForRequest())
        SendFrame(QByteArrayLiteral("S"));
}

bool Link::RequestAccessBits() {
    if (!VersionAtLeast(Version(), QStringLiteral("3FA1AC")))
        return false;
    if (!Online() || !IsConnected())
        return false;
    s_.LastCommand = 'a';
    SendWithChecksum('a', QByteArrayLiteral("ABCD"));
    RefreshCommErrors();
    return true;
}

void Link::SendAccessBits(int bits) {
    s_.LastCommand = 'A';
    if (!OpenForRequest())
        return;
    SendWithChecksum('A', EncodeWord(bits));
    RefreshCommErrors();
}

void Link::SendPassword(const QString &password) {
    s_.LastCommand = 'p';
    if (!OpenForRequest())
        return;
    SendWithChecksum('p', PadToTen(password.left(10).toLatin1()));
    RefreshCommErrors();
}

void Link::SendNewPassword(const QString &password) {
    s_.LastCommand = 'P';
    if (!OpenForRequest())
        return;
    SendWithChecksum('P', PadToTen(password.left(10).toLatin1()));
    RefreshCommErrors();
}

void Link::RequestLiveData() {
    if (!Online())
        return;
    // The live poll is the idle line: whatever talked before is over.
    if (activity_ != LineActivity::Idle && activity_ != LineActivity::Trim &&
        activity_ != LineActivity::SingleWrite)
        SetActivity(LineActivity::Idle);
    s_.LastCommand = VersionAtLeast(Version(), QStringLiteral("3FA")) ? 'd' : 'D';
    // A dead line must not keep the poll going: every tick would report the failure again.
    if (!SendFrame(QByteArray(1, s_.LastCommand)))
        return;
    EnableTimer(Timer1);
    EnableTimer(Timer2);
    RefreshCommErrors();
}

void Link::RequestCalibrationReading(int step) {
    if (!Online() || (step != 1 && step != 2))
        return;
    if (activity_ == LineActivity::Idle)
        SetActivity(LineActivity::Calibration);
    s_.RxIgnore = false;
    s_.LastCommand = char('0' + step);
    SendFrame(QByteArrayLiteral("D"));
}

void Link::WriteValue(const QByteArray &payload) {
    s_.LastCommand = 'C';
    s_.RequestPayload = payload;
    if (!Online()) {
        // A data-set write lets the time-out take over; anything else just moves on.
        const int step = steps_.TransferStep;
        if (step >= Step::FuelMap && step <= Step::RpmRange)
            EnableTimer(Timer2);
        else
            MarkStepReady();
        return;
    }
    emit lockButtonReleased();
    emit lockDisplayChanged(true);
    SendWithChecksum('C', s_.RequestPayload);
}

void Link::WriteSingleValue() {
    s_.LastCommand = 'c';
    if (!Online()) {
        MarkStepReady();
        // Nothing goes out offline: the single write is over.
        End(activity_ == LineActivity::Trim ? LineActivity::Trim : LineActivity::SingleWrite);
        return;
    }
    emit lockDisplayChanged(true);
    SendWithChecksum('C', s_.RequestPayload);
}

void Link::WriteBlock(const QByteArray &payload) {
    s_.LastCommand = 'E';
    s_.RequestPayload = payload;
    if (!Online() || !IsConnected()) {
        MarkStepReady();
        return;
    }
    emit lockDisplayChanged(true);
    SendWithChecksum('E', s_.RequestPayload);
}

void Link::ReadImage(int start, int count) {
    s_.ReadStart = start;
    s_.ReadCount = count;
    if (!Online())
        return;
    SetActivity(LineActivity::Reading);
    s_.LastCommand = 'Z';
    SendWithChecksum('Z', EncodeWord(start) + EncodeWord(count));
}

void Link::RequestLock() {
    if (!Online()) {
        End(LineActivity::Lock);
        return;
    }
    s_.LastCommand = 'L';
    SendFrame(QByteArrayLiteral("L"));
    RefreshCommErrors();
}

void Link::RequestRestart() {
    s_.LastCommand = 'R';
    SendFrame(QByteArrayLiteral("R"));
}

// The re-send column: what a retry sends again, by the last command.
void Link::ResendLast() {
    switch (s_.LastCommand) {
    case '1':
    case '2':
        RequestCalibrationReading(s_.LastCommand - '0');
        return;
    case 'a':
        RequestAccessBits();
        return;
    case 'A':
        SendAccessBits(environment_ ? environment_->accessBits() : 0);
        return;
    case 'C':
        WriteValue(s_.RequestPayload);
        if (steps_.Running())
            steps_.EnableTimer3();
        return;
    case 'c':
        ArmDelayedAction(DelayedAction::SingleWrite);
        if (steps_.Running())
            steps_.EnableTimer3();
        return;
    case 'D':
    case 'd':
        RequestLiveData();
        return;
    case 'E':
        WriteBlock(s_.RequestPayload);
        return;
    case 'L':
        RequestLock();
        return;
    case 'P':
        SendNewPassword(environment_ ? environment_->passwordText() : QString());
        return;
    case 'p':
        SendPassword(environment_ ? environment_->passwordText() : QString());
        return;
    case 'R':
        RequestRestart();
        return;
    case 'S':
        RequestSerialNumber();
        return;
    case 'V':
        RequestVersion();
        return;
    case 'Z':
        ReadImage(s_.ReadStart, s_.ReadCount);
        return;
    case 'v':
        RequestVersionBeforeWrite();
        return;
    default:
        if (dialogs_)
            dialogs_->error(QStringLiteral("Comm Error test2"));
        return;
    }
}
