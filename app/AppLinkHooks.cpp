#include "app/AppLinkHooks.h"

#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "core/Encoding.h"
#include "link/Link.h"
#include "windows/options/OptionsWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

bool AppLinkHooks::isOnline() const {
    return ctx_.form1 && ctx_.form1->IsOnline();
}

QString AppLinkHooks::currentVersion() const {
    if (ctx_.form3)
        return ctx_.form3->currentVersion();
    return QStringLiteral("3FA1AD1AA");
}

int AppLinkHooks::accessBits() const {
    if (!ctx_.form1)
        return 0;
    return AccessModeBits(ctx_.form1->CheckBox_ECU_readonly->isChecked(),
                          ctx_.form1->CheckBox_Display_dashboard_only->isChecked(),
                          ctx_.form1->CheckBox_No_access_to_ECU->isChecked());
}

QString AppLinkHooks::passwordText() const {
    return ctx_.form1 ? ctx_.form1->MaskEdit_Password->text() : QString();
}

int AppLinkHooks::transferStep() const {
    return transferStepQuery ? transferStepQuery() : 0;
}

int AppLinkHooks::calSensor() const {
    return ctx_.CalSensor;
}

void AppLinkHooks::setOffline() {
    if (ctx_.form1)
        ctx_.form1->SetOnline(false);
    forEachPart([](LinkHooks *p) { p->setOffline(); });
}

void AppLinkHooks::showCommErrors(int count) {
    if (ctx_.form1)
        ctx_.form1->Label1->setText(CommErrorsText(count));
    forEachPart([count](LinkHooks *p) { p->showCommErrors(count); });
}

void AppLinkHooks::showLockState(bool notLocked) {
    forEachPart([notLocked](LinkHooks *p) { p->showLockState(notLocked); });
}
void AppLinkHooks::releaseLockButton() {
    forEachPart([](LinkHooks *p) { p->releaseLockButton(); });
}
void AppLinkHooks::setStepReady() {
    forEachPart([](LinkHooks *p) { p->setStepReady(); });
}
void AppLinkHooks::onTimer3() {
    forEachPart([](LinkHooks *p) { p->onTimer3(); });
}
void AppLinkHooks::startEditJob() {
    forEachPart([](LinkHooks *p) { p->startEditJob(); });
}
void AppLinkHooks::startCorrectionTableWrite() {
    forEachPart([](LinkHooks *p) { p->startCorrectionTableWrite(); });
}
void AppLinkHooks::onOtherDelayedAction(int code) {
    forEachPart([code](LinkHooks *p) { p->onOtherDelayedAction(code); });
}
void AppLinkHooks::onReadProgress(int bytes) {
    forEachPart([bytes](LinkHooks *p) { p->onReadProgress(bytes); });
}
void AppLinkHooks::onImageRead(int start, const QVector<std::uint16_t> &words) {
    forEachPart([&](LinkHooks *p) { p->onImageRead(start, words); });
}
void AppLinkHooks::onVersionBeforeWrite(const QString &version) {
    forEachPart([&](LinkHooks *p) { p->onVersionBeforeWrite(version); });
}
void AppLinkHooks::onRestartReply() {
    forEachPart([](LinkHooks *p) { p->onRestartReply(); });
}
void AppLinkHooks::onVersionReply(const QString &version) {
    forEachPart([&](LinkHooks *p) { p->onVersionReply(version); });
}
void AppLinkHooks::onSerialReply(const QString &serialNumber) {
    forEachPart([&](LinkHooks *p) { p->onSerialReply(serialNumber); });
}
void AppLinkHooks::onAccessBitsReply(int bits) {
    forEachPart([bits](LinkHooks *p) { p->onAccessBitsReply(bits); });
}
void AppLinkHooks::onAccessStored() {
    forEachPart([](LinkHooks *p) { p->onAccessStored(); });
}
void AppLinkHooks::onAccessRefused() {
    forEachPart([](LinkHooks *p) { p->onAccessRefused(); });
}
void AppLinkHooks::onPasswordAccepted() {
    forEachPart([](LinkHooks *p) { p->onPasswordAccepted(); });
}
void AppLinkHooks::onPasswordRefused() {
    forEachPart([](LinkHooks *p) { p->onPasswordRefused(); });
}
void AppLinkHooks::onNewPasswordStored() {
    forEachPart([](LinkHooks *p) { p->onNewPasswordStored(); });
}
void AppLinkHooks::onNewPasswordRefused() {
    forEachPart([](LinkHooks *p) { p->onNewPasswordRefused(); });
}
void AppLinkHooks::onLocked() {
    forEachPart([](LinkHooks *p) { p->onLocked(); });
}
void AppLinkHooks::onLiveData(const QByteArray &frame) {
    forEachPart([&](LinkHooks *p) { p->onLiveData(frame); });
}
void AppLinkHooks::onCalibrationAccepted(int sensor, int minimum, int maximum) {
    forEachPart([=](LinkHooks *p) { p->onCalibrationAccepted(sensor, minimum, maximum); });
}
void AppLinkHooks::hideCalibrationPrompt() {
    forEachPart([](LinkHooks *p) { p->hideCalibrationPrompt(); });
}
