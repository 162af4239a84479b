#pragma once
// The serial link: port choice, request frames, reply collection, time-outs, retries and the four
// timers of the main window. Strictly one request at a time: LastCommand names the outstanding request
// and selects the rule its reply is judged by (link/ReplyRules.h). Everything else the replies lead to
// goes through LinkHooks.
#include "link/LinkHooks.h"
#include "link/ReplyRules.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;
class Dialogs;
class SerialPort;

// "Comm errors: 3" for Label1 of the main window.
QString CommErrorsText(int count);

class Link : public QObject {
    Q_OBJECT
public:
    // `port`, `dialogs` and `hooks` are not owned and must outlive the link; null hooks use the defaults.
    Link(SerialPort *port, Dialogs *dialogs, LinkHooks *hooks = nullptr, QObject *parent = nullptr);
    ~Link() override;

    void setHooks(LinkHooks *hooks);
    LinkHooks *hooks() const { return hooks_; }
    SerialPort *ComPort1 = nullptr;

    // --- link state ---
    QString PortName = QStringLiteral("COM1");
    char LastCommand = 0;
    QByteArray RequestPayload;
    QByteArray RxBuffer;
    int RxCount = 0;
    int CommErrors = 0;
    bool RxIgnore = false;
    int DelayedAction = 0;
    // Start and word count of the last image read ("Z").
    int ReadStart = 0;
    int ReadCount = 0;
    // Raw readings of the engine-load automatic calibration.
    int CalMin = 0;
    int CalMax = 0;

    // Poll 100 ms, reply time-out 300 ms, step scheduler 30 ms, one-shot delayed action 60 ms.
    QTimer *Timer1;
    QTimer *Timer2;
    QTimer *Timer3;
    QTimer *Timer4;

    // --- set-up ---
    // "com.ini" in `programDirectory` first; without it "-1".."-9" as first or second argument.
    void ChoosePort(const QString &programDirectory, const QStringList &arguments);
    // "-S": 100, 300, 50 and 1000 ms.
    void SetSlowTiming();
    // Counters and buffers to their start values.
    void ResetState();

    // --- the line ---
    bool OpenPortIfClosed();
    void ClosePort();
    bool IsConnected() const;
    // False only when writing failed (the link is then stopped and the user told).
    bool SendFrame(const QByteArray &frame);
    void StopLink();
    void RetryStep();
    // DelayedAction := code and enable Timer4.
    void ArmDelayedAction(int code);

    // --- requests (each sets LastCommand) ---
    void RequestVersion();         // "V", opens the port; starts the connect sequence
    void RequestSerialNumber();    // "S", opens the port
    bool RequestAccessBits();      // "a" + "ABCD"; false (nothing sent) below 3FA1AC, offline or closed
    void SendAccessBits(int bits); // "A" + word; opens the port
    void SendPassword(const QString &password);    // "p" + 10 characters; opens the port
    void SendNewPassword(const QString &password); // "P" + 10 characters; opens the port
    void RequestLiveData();                        // "d" from 3FA, else "D"; only online
    void RequestCalibrationReading(int step);      // step 1 (minimum) or 2 (maximum): "D"; only online
    void WriteValue();                             // "C" + RequestPayload (address, value)
    void WriteSingleValue();                       // "c", sent as "C" + RequestPayload
    void WriteBlock();                             // "E" + RequestPayload (n, address, n data bytes)
    void ReadImage(int start, int count);          // "Z" + start + count; only online
    void RequestLock();                            // "L"; only online
    void RequestRestart();                         // "R"
    void RequestVersionBeforeWrite();              // "v", sent as "V"; opens the port

    // --- events ---
    void ComPort1RxChar(int count);
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();

    // How the last receive event ended; for tests and diagnostics.
    enum class Outcome { None, Ignored, Incomplete, Accepted, Rejected, Discarded, ReadFailed };
    Outcome LastOutcome = Outcome::None;

private:
    bool Online() const;
    QString Version() const;
    bool OpenForVersionRequest();
    bool SendWithChecksum(char letter, const QByteArray &payload);
    void RejectAndRetry();
    void RefreshCommErrors();
    bool ApplyReply(const ReplyRule &rule);
    void ApplyCalibrationRange();
    void ResendLast();

    Dialogs *dialogs_;
    LinkHooks *hooks_;
    LinkHooks defaultHooks_;
    quint64 acceptedReplies_ = 0;
};
