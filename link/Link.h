#pragma once
// The serial link and the one owner of the line: port choice, request frames, reply collection,
// time-outs, retries, the four timers and the step machine. Strictly one request at a time: LastCommand
// names the outstanding request and selects the rule its reply is judged by (link/ReplyRules.h).
//
// What the line is doing (a read, a write, an edit job, a lock...) is the link's to know: every part that
// wants to talk asks with Request(), and a second conversation is refused while one runs. There is one
// way offline, GoOffline(), whatever the cause. What happened on the line is told through the signals.
#include "link/LinkEnvironment.h"
#include "link/LinkTypes.h"
#include "link/ReplyRules.h"
#include "link/TransferMachine.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <functional>
#include <memory>

class QTimer;
class Dialogs;
class SerialPort;

// "Comm errors: 3" for Label1 of the main window.
QString CommErrorsText(int count);

// The link's state, as it may be looked at from outside (tests, diagnostics).
struct LinkState {
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
};

class Link : public QObject {
    Q_OBJECT
public:
    // `port`, `dialogs` and `environment` are not owned and must outlive the link.
    Link(SerialPort *port, Dialogs *dialogs, LinkEnvironment *environment = nullptr,
         QObject *parent = nullptr);
    ~Link() override;

    const LinkState &state() const { return s_; }
    SerialPort *port() const { return port_; }
    TransferMachine &steps() { return steps_; }
    const TransferMachine &steps() const { return steps_; }

    // --- set-up ---
    // "com.ini" first (beside the program, or in the user's configuration folder when installed: see
    // core/ProgramFiles.h); without it "-1".."-9" as first or second argument.
    void ChoosePort(const QString &programDirectory, const QStringList &arguments);
    QString portName() const { return s_.PortName; }
    void setPortName(const QString &name) { s_.PortName = name; }
    // "-S": 100, 300, 50 and 1000 ms.
    void SetSlowTiming();
    // The wait after each live reply before the next poll (100 ms unless a logging session asks for less).
    void SetPollInterval(int ms);
    static constexpr int DocumentedPollMs = 100;
    // Counters and buffers to their start values.
    void ResetState();

    // --- who talks now ---
    LineActivity activity() const { return activity_; }
    // A conversation other than the live poll is in progress (or waits behind a trim).
    bool busy() const { return activity_ != LineActivity::Idle || waiting_ != nullptr; }
    // The live poll is running.
    bool polling() const;
    // A conversation the user asked for. While the line is idle (polling or not) `start` runs now and the
    // line belongs to `kind` until End(kind) or the way offline; while a trim is on the line the request
    // waits for the trim's end and then runs; while anything else talks it is refused: false, nothing done.
    bool Request(LineActivity kind, std::function<void()> start);
    // A conversation the program itself starts (the connect at first showing, the read after identifying).
    void Begin(LineActivity kind);
    // The conversation of `kind` is over; a request that waited behind a trim runs now.
    void End(LineActivity kind);
    // The one way offline: ends any running transfer or edit job, disarms every timer, closes the port and
    // tells the program (wentOffline), once per call that finds the line not yet quiet.
    void GoOffline(OfflineCause cause = OfflineCause::User);

    // --- the line ---
    bool OpenPortIfClosed();
    bool IsConnected() const;
    // False only when writing failed (the link is then offline and the user told).
    bool SendFrame(const QByteArray &frame);
    void StopLink();
    // Reception on again (RxIgnore cleared) without waiting for Timer4.
    void ResumeReception();
    // The reply time-out off (the read is in, the write's blocks are all acknowledged).
    void StopReplyTimeout();
    // CommErrors := 0 at the start of a transfer.
    void ResetCommErrors() { s_.CommErrors = 0; }
    void RetryStep();
    // DelayedAction := code and enable Timer4.
    void ArmDelayedAction(DelayedAction code);
    // The payload a later "c" (delayed action 1) sends: address word, value word.
    void SetSingleWritePayload(const QByteArray &payload) { s_.RequestPayload = payload; }
    // Start values of the automatic calibration's two readings.
    void ResetCalibrationReadings();

    // --- requests (each sets LastCommand) ---
    void RequestVersion();         // "V", opens the port; starts the connect sequence
    void RequestSerialNumber();    // "S", opens the port
    bool RequestAccessBits();      // "a" + "ABCD"; false (nothing sent) below 3FA1AC, offline or closed
    void SendAccessBits(int bits); // "A" + word; opens the port
    void SendPassword(const QString &password);    // "p" + 10 characters; opens the port
    void SendNewPassword(const QString &password); // "P" + 10 characters; opens the port
    void RequestLiveData();                        // "d" from 3FA, else "D"; only online
    void RequestCalibrationReading(int step);      // step 1 (minimum) or 2 (maximum): "D"; only online
    void WriteValue(const QByteArray &payload);    // "C" + address and value
    void WriteSingleValue();                       // "c", sent as "C" + the single-write payload
    void WriteBlock(const QByteArray &payload);    // "E" + n, address, n data bytes
    void ReadImage(int start, int count);          // "Z" + start + count; only online
    void RequestLock();                            // "L"; only online
    void RequestRestart();                         // "R"
    void RequestVersionBeforeWrite();              // "v", sent as "V"; opens the port

    // --- the close question: the line is quiet while it is asked, and comes back as it was on "No" ---
    struct Paused {
        int delayedAction = -1; // armed delayed action, or -1
        bool steps = false;     // Timer3 was running
        bool polling = false;   // Timer1 was running
        bool awaitingReply = false;
    };
    Paused PauseForQuestion();
    void ResumeAfterQuestion(const Paused &paused);

    // --- events (the port's and the timers'; public for the fuzz target and tests) ---
    void ComPort1RxChar(int count);
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();

    // How the last receive event ended; for tests and diagnostics.
    enum class Outcome { None, Ignored, Incomplete, Accepted, Rejected, Discarded, ReadFailed };
    Outcome LastOutcome = Outcome::None;

signals:
    void activityChanged(LineActivity activity);
    // After the one way offline has run: the port is closed and nothing is armed.
    void wentOffline(OfflineCause cause);
    // Label1 of the main window: CommErrorsText(count).
    void commErrorsChanged(int count);
    void lockDisplayChanged(bool notLocked);
    // The lock speed button pops up.
    void lockButtonReleased();
    // The step machine may run its next step: the ECU acknowledged a write, or it was skipped offline.
    void stepReady();
    // Delayed actions the link leaves to others: edit jobs (2, 8), the boxes' requests (30, 31, 32), 16
    // and any code it does not know.
    void delayedActionDue(int code);

    // Bytes of the "Z" reply received so far (the progress gauge).
    void readProgress(int bytes);
    // The accepted "Z" reply, as the words from `start` on.
    void imageRead(int start, const QVector<std::uint16_t> &words);
    // Reply to the version read made before writing ("v").
    void versionBeforeWrite(const QString &version);
    // "R" accepted (the link restarts polling after).
    void restartAccepted();
    // "V" accepted (the link sends "S" after), "S" accepted, "a" accepted.
    void versionReceived(const QString &version);
    void serialNumberReceived(const QString &serialNumber);
    void accessBitsReceived(int bits);
    // "A" answered "OK" (reception is already re-enabled) or "NO" (Timer1 off, the warning shown).
    void accessStored();
    void accessRefused();
    // "p" / "P" answered "OK" or "NO" (after the warning).
    void passwordAccepted();
    void passwordRefused();
    void newPasswordStored();
    void newPasswordRefused();
    // "L" accepted: the link enables Timer1 after.
    void lockAccepted();
    // Accepted "D" (32 bytes) or "d" (56 bytes) frame, letter and checksum included. Timer1 is restarted.
    void liveFrameReceived(const QByteArray &frame);
    // Engine-load calibration: readings accepted (difference above 100); the prompt is done after every
    // evaluated maximum reading.
    void calibrationAccepted(int sensor, int minimum, int maximum);
    void calibrationEvaluated();

private:
    friend struct LinkTestAccess;

    bool Online() const;
    QString Version() const;
    bool OpenForRequest();
    bool SendWithChecksum(char letter, const QByteArray &payload);
    void RejectAndRetry();
    void RefreshCommErrors();
    bool ApplyReply(const ReplyRule &rule);
    void ApplyCalibrationRange();
    void ResendLast();
    void SetActivity(LineActivity activity);
    // The line died under us: the give-up state, with the user told what matters.
    void LineLost(OfflineCause cause);
    void RunWaiting();
    void DisarmAll();
    void MarkStepReady();
    // Port closed, nothing armed, nobody talking.
    bool Quiet() const;
    // A calibration write has sent blocks and not yet its "R".
    bool PartlyWritten() const;

    SerialPort *port_;
    Dialogs *dialogs_;
    LinkEnvironment *environment_;
    LinkState s_;
    // Poll 100 ms, reply time-out 300 ms, step scheduler 30 ms, one-shot delayed action 60 ms.
    QTimer *Timer1;
    QTimer *Timer2;
    QTimer *Timer3;
    QTimer *Timer4;
    TransferMachine steps_;
    LineActivity activity_ = LineActivity::Idle;
    // A request that waits for the running trim.
    std::unique_ptr<std::function<void()>> waiting_;
    LineActivity waitingKind_ = LineActivity::Idle;
    bool goingOffline_ = false;
    quint64 acceptedReplies_ = 0;
};

// The step machine of a link, or null where there is no link (window tests).
inline TransferMachine *StepsOf(Link *link) {
    return link ? &link->steps() : nullptr;
}
