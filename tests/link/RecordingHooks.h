#pragma once
// Hooks that answer as the test sets them and note every call in order.
#include "link/Link.h"
#include "link/LinkEnvironment.h"

#include <QStringList>

// Answers the link's questions as the test sets them and notes everything the link tells, in order.
class RecordingHooks : public FixedLinkEnvironment {
public:
    virtual ~RecordingHooks() = default;

    QStringList calls;
    QList<int> commErrorsShown;
    QVector<std::uint16_t> imageWords;
    int imageStart = -1;
    QList<int> progress;
    QByteArray liveFrame;

    // Every signal of `link` ends in the matching call below.
    void listenTo(Link *link) {
        QObject::connect(link, &Link::wentOffline, [this] { setOffline(); });
        QObject::connect(link, &Link::commErrorsChanged, [this](int c) { commErrorsShown << c; });
        QObject::connect(link, &Link::lockDisplayChanged,
                         [this](bool notLocked) { calls << (notLocked ? "notLocked" : "locked"); });
        QObject::connect(link, &Link::lockButtonReleased, [this] { calls << "lockButtonUp"; });
        QObject::connect(link, &Link::stepReady, [this] { setStepReady(); });
        QObject::connect(link, &Link::delayedActionDue, [this](int code) { onDelayedAction(code); });
        QObject::connect(link, &Link::readProgress, [this](int bytes) { progress << bytes; });
        QObject::connect(link, &Link::imageRead, [this](int start, const QVector<std::uint16_t> &words) {
            imageStart = start;
            imageWords = words;
            calls << "image";
        });
        QObject::connect(link, &Link::versionBeforeWrite,
                         [this](const QString &v) { calls << "versionBeforeWrite:" + v; });
        QObject::connect(link, &Link::restartAccepted, [this] { calls << "restart"; });
        QObject::connect(link, &Link::versionReceived, [this](const QString &v) { onVersionReply(v); });
        QObject::connect(link, &Link::serialNumberReceived, [this](const QString &v) { onSerialReply(v); });
        QObject::connect(link, &Link::accessBitsReceived, [this](int b) { onAccessBitsReply(b); });
        QObject::connect(link, &Link::accessStored, [this] { calls << "accessStored"; });
        QObject::connect(link, &Link::accessRefused, [this] { calls << "accessRefused"; });
        QObject::connect(link, &Link::passwordAccepted, [this] { calls << "passwordOk"; });
        QObject::connect(link, &Link::passwordRefused, [this] { calls << "passwordNo"; });
        QObject::connect(link, &Link::newPasswordStored, [this] { calls << "newPasswordOk"; });
        QObject::connect(link, &Link::newPasswordRefused, [this] { calls << "newPasswordNo"; });
        QObject::connect(link, &Link::lockAccepted, [this] { calls << "onLocked"; });
        QObject::connect(link, &Link::liveFrameReceived, [this](const QByteArray &f) { onLiveData(f); });
        QObject::connect(link, &Link::calibrationAccepted, [this](int s, int minimum, int maximum) {
            calls << QStringLiteral("calibrated:%1:%2:%3").arg(s).arg(minimum).arg(maximum);
        });
        QObject::connect(link, &Link::calibrationEvaluated, [this] { calls << "hidePrompt"; });
    }

    virtual void setOffline() {
        online = false;
        calls << "offline";
    }
    virtual void setStepReady() { calls << "stepReady"; }
    virtual void onDelayedAction(int code) {
        if (code == 2)
            calls << "editJob";
        else if (code == 8)
            calls << "tableWrite";
        else
            calls << QStringLiteral("other:%1").arg(code);
    }
    virtual void onVersionReply(const QString &v) { calls << "version:" + v; }
    virtual void onSerialReply(const QString &s) { calls << "serial:" + s; }
    virtual void onAccessBitsReply(int b) { calls << QStringLiteral("accessBits:%1").arg(b); }
    virtual void onLiveData(const QByteArray &frame) {
        liveFrame = frame;
        calls << QStringLiteral("live:%1").arg(frame.size());
    }
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
