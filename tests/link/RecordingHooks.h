#pragma once
// Hooks that answer as the test sets them and note every call in order.
#include "link/LinkHooks.h"

#include <QStringList>

class RecordingHooks : public LinkHooks {
public:
    bool online = true;
    QString version = QStringLiteral("3FA1AD1AA");
    int bits = 0;
    QString password;
    int step = 0;
    int sensor = 1;

    QStringList calls;
    QList<int> commErrorsShown;
    QVector<std::uint16_t> imageWords;
    int imageStart = -1;
    QList<int> progress;
    QByteArray liveFrame;

    bool isOnline() const override { return online; }
    QString currentVersion() const override { return version; }
    int accessBits() const override { return bits; }
    QString passwordText() const override { return password; }
    int transferStep() const override { return step; }
    int calSensor() const override { return sensor; }

    void setOffline() override {
        online = false;
        calls << "offline";
    }
    void showCommErrors(int count) override { commErrorsShown << count; }
    void showLockState(bool notLocked) override { calls << (notLocked ? "notLocked" : "locked"); }
    void releaseLockButton() override { calls << "lockButtonUp"; }
    void setStepReady() override { calls << "stepReady"; }
    void onTimer3() override { calls << "timer3"; }
    void startEditJob() override { calls << "editJob"; }
    void startCorrectionTableWrite() override { calls << "tableWrite"; }
    void onOtherDelayedAction(int code) override { calls << QStringLiteral("other:%1").arg(code); }
    void onReadProgress(int bytes) override { progress << bytes; }
    void onImageRead(int start, const QVector<std::uint16_t> &words) override {
        imageStart = start;
        imageWords = words;
        calls << "image";
    }
    void onVersionBeforeWrite(const QString &v) override { calls << "versionBeforeWrite:" + v; }
    void onRestartReply() override { calls << "restart"; }
    void onVersionReply(const QString &v) override { calls << "version:" + v; }
    void onSerialReply(const QString &s) override { calls << "serial:" + s; }
    void onAccessBitsReply(int b) override { calls << QStringLiteral("accessBits:%1").arg(b); }
    void onAccessStored() override { calls << "accessStored"; }
    void onAccessRefused() override { calls << "accessRefused"; }
    void onPasswordAccepted() override { calls << "passwordOk"; }
    void onPasswordRefused() override { calls << "passwordNo"; }
    void onNewPasswordStored() override { calls << "newPasswordOk"; }
    void onNewPasswordRefused() override { calls << "newPasswordNo"; }
    void onLocked() override { calls << "onLocked"; }
    void onLiveData(const QByteArray &frame) override {
        liveFrame = frame;
        calls << QStringLiteral("live:%1").arg(frame.size());
    }
    void onCalibrationAccepted(int s, int minimum, int maximum) override {
        calls << QStringLiteral("calibrated:%1:%2:%3").arg(s).arg(minimum).arg(maximum);
    }
    void hideCalibrationPrompt() override { calls << "hidePrompt"; }
};

// Appends the low byte of the sum of all bytes (the reply checksum), computed here on its own.
inline QByteArray WithSum(QByteArray bytes) {
    unsigned sum = 0;
    for (char c : bytes)
        sum += std::uint8_t(c);
    bytes.append(char(sum & 0xFF));
    return bytes;
}

// A reply of `length` bytes: letter, filler, checksum.
inline QByteArray Reply(char letter, int length, char filler = 0x01) {
    QByteArray body(length - 1, filler);
    body[0] = letter;
    return WithSum(body);
}
