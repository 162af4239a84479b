#pragma once
// What the link needs from, and reports to, the rest of the program. The app fills these in with the
// windows, the connect sequence, the transfer machine and the live display; every reply the link
// accepts ends in one of the on... calls. The defaults do nothing, so a partial set is fine.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

class LinkHooks {
public:
    virtual ~LinkHooks() = default;

    // --- state kept by the windows, read afresh on every use ---
    // Online is the silver dashboard of the main window.
    virtual bool isOnline() const { return false; }
    // Caption of the options window's version label.
    virtual QString currentVersion() const { return QStringLiteral("3FA1AD1AA"); }
    // Access bits of the three check boxes as they are ticked now (re-send of "A").
    virtual int accessBits() const { return 0; }
    // Text of the password field now (re-send of "p" and "P").
    virtual QString passwordText() const { return {}; }
    // The transfer machine's step (0 = no transfer).
    virtual int transferStep() const { return 0; }
    // Which engine-load sensor the automatic calibration reads (1 or 2).
    virtual int calSensor() const { return 1; }

    // --- main window ---
    // SetOnline(false) of the main window; the link closes the port itself afterwards if still open.
    virtual void setOffline() {}
    // Label1 of the main window: CommErrorsText(count).
    virtual void showCommErrors(int count) { (void)count; }
    virtual void showLockState(bool notLocked) { (void)notLocked; }
    // The lock speed button pops up.
    virtual void releaseLockButton() {}

    // --- transfers and edit jobs ---
    // StepReady := true.
    virtual void setStepReady() {}
    // Timer3 fired; the link has not touched it (the step machine disables and re-enables it).
    virtual void onTimer3() {}
    // Delayed actions 2 and 8.
    virtual void startEditJob() {}
    virtual void startCorrectionTableWrite() {}
    // A delayed action code the link does not know (for example 16).
    virtual void onOtherDelayedAction(int code) { (void)code; }
    // Bytes of the "Z" reply received so far (the progress gauge).
    virtual void onReadProgress(int bytes) { (void)bytes; }
    // The accepted "Z" reply, as the words from `start` on.
    virtual void onImageRead(int start, const QVector<std::uint16_t> &words) {
        (void)start;
        (void)words;
    }
    // Reply to the version read made before writing ("v").
    virtual void onVersionBeforeWrite(const QString &version) { (void)version; }
    // "R" accepted: controls enabled, captions refreshed, transfer step 0. The link restarts polling after.
    virtual void onRestartReply() {}

    // --- connect sequence, access level, password, lock ---
    // "V" accepted: the version caption. The link sends "S" after.
    virtual void onVersionReply(const QString &version) { (void)version; }
    // "S" accepted: serial number, online, memory layout, then the access step.
    virtual void onSerialReply(const QString &serialNumber) { (void)serialNumber; }
    // "a" accepted: ApplyAccessBits.
    virtual void onAccessBitsReply(int bits) { (void)bits; }
    // "A" answered "OK" (reception is already re-enabled): AfterAccessStored.
    virtual void onAccessStored() {}
    // "A" answered "NO" (Timer1 is off and the warning shown).
    virtual void onAccessRefused() {}
    // "p" answered "OK" / "NO" (after the warning).
    virtual void onPasswordAccepted() {}
    virtual void onPasswordRefused() {}
    // "P" answered "OK" / "NO" (after the warning).
    virtual void onNewPasswordStored() {}
    virtual void onNewPasswordRefused() {}
    // "L" accepted: lock state shown as locked, box hidden, grids and controls enabled. The link enables
    // Timer1.
    virtual void onLocked() {}

    // --- live data ---
    // Accepted "D" (32 bytes) or "d" (56 bytes) frame, letter and checksum included. Timer1 is restarted.
    virtual void onLiveData(const QByteArray &frame) { (void)frame; }

    // --- engine-load automatic calibration ---
    // Readings accepted (difference above 100): the min and max fields of `sensor` get them.
    virtual void onCalibrationAccepted(int sensor, int minimum, int maximum) {
        (void)sensor;
        (void)minimum;
        (void)maximum;
    }
    // The prompt is hidden after every evaluated maximum reading.
    virtual void hideCalibrationPrompt() {}
};
