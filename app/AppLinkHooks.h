#pragma once
// The program's answer to the link: the state queries are read afresh from the windows, and every
// event the link reports is handed to each registered part (connect sequence, transfers, live display,
// options...). A part is a LinkHooks that overrides only the events it cares about.
#include "link/LinkHooks.h"

#include <QList>
#include <functional>

struct AppContext;

class AppLinkHooks : public LinkHooks {
public:
    explicit AppLinkHooks(AppContext &ctx) : ctx_(ctx) {}

    // Parts receive the events in the order they were added; they are not owned.
    void addPart(LinkHooks *part) { parts_.append(part); }
    void removePart(LinkHooks *part) { parts_.removeAll(part); }
    // The transfer machine answers "which step runs"; without it no transfer is running.
    std::function<int()> transferStepQuery;

    bool isOnline() const override;
    QString currentVersion() const override;
    int accessBits() const override;
    QString passwordText() const override;
    int transferStep() const override;
    int calSensor() const override;

    void setOffline() override;
    void showCommErrors(int count) override;
    void showLockState(bool notLocked) override;
    void releaseLockButton() override;
    void setStepReady() override;
    void onTimer3() override;
    void startEditJob() override;
    void startCorrectionTableWrite() override;
    void onOtherDelayedAction(int code) override;
    void onReadProgress(int bytes) override;
    void onImageRead(int start, const QVector<std::uint16_t> &words) override;
    void onVersionBeforeWrite(const QString &version) override;
    void onRestartReply() override;
    void onVersionReply(const QString &version) override;
    void onSerialReply(const QString &serialNumber) override;
    void onAccessBitsReply(int bits) override;
    void onAccessStored() override;
    void onAccessRefused() override;
    void onPasswordAccepted() override;
    void onPasswordRefused() override;
    void onNewPasswordStored() override;
    void onNewPasswordRefused() override;
    void onLocked() override;
    void onLiveData(const QByteArray &frame) override;
    void onCalibrationAccepted(int sensor, int minimum, int maximum) override;
    void hideCalibrationPrompt() override;

private:
    template <typename Call> void forEachPart(Call call) {
        // A part may add or remove parts while handling an event; work on a copy.
        const QList<LinkHooks *> parts = parts_;
        for (LinkHooks *part : parts)
            call(part);
    }

    AppContext &ctx_;
    QList<LinkHooks *> parts_;
};
