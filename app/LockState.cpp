#include "app/LockState.h"

#include "app/AppContext.h"
#include "link/Link.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/ControlFactory.h"

LockState::LockState(AppContext &ctx, std::function<QString()> programVersion, QObject *parent)
    : QObject(parent), ctx_(ctx), programVersion_(std::move(programVersion)) {
    if (ctx_.form1)
        connect(ctx_.form1->SpeedButton_lock_unlock, &QToolButton::clicked, this,
                &LockState::SpeedButton_lock_unlockClick);
    if (Link *link = ctx_.link) {
        connect(link, &Link::lockDisplayChanged, this, &LockState::ShowLockState);
        connect(link, &Link::lockButtonReleased, this, &LockState::releaseLockButton);
        connect(link, &Link::lockAccepted, this, &LockState::onLocked);
    }
}

bool LockState::NotLocked() const {
    return ctx_.form1 && ctx_.form1->DataNotLocked();
}

void LockState::ShowLockState(bool notLocked) {
    // The footer is the switch's memory; without a chart window the header colour stands in for it.
    const bool shown = ctx_.form4 ? ctx_.form4->FooterVisible() : NotLocked();
    if (shown == notLocked)
        return;
    if (ctx_.form4)
        ctx_.form4->SetFooterVisible(notLocked);
    if (ctx_.form1) {
        const QColor color = notLocked ? Colors::Yellow : Colors::Silver;
        ctx_.form1->AdvStringGrid_fuel->setFixedColor(color);
        ctx_.form1->AdvStringGrid_injection_boost_correction->setFixedColor(color);
    }
    RefreshCaptions();
}

void LockState::RefreshCaptions() {
    const bool notLocked = NotLocked();
    const QString version = programVersion_ ? programVersion_() : QStringLiteral("3.05");
    if (ctx_.form1) {
        QString caption = QStringLiteral("QVR V") + version + QStringLiteral(" Injection-Map");
        if (notLocked)
            caption += QString(33, QLatin1Char(' ')) + QStringLiteral("DATA IS NOT LOCKED !!!");
        ctx_.form1->setWindowTitle(caption);
    }
    const QString warning = QStringLiteral("DATA is NOT LOCKED !!!");
    if (ctx_.form2)
        ctx_.form2->setWindowTitle(notLocked ? QStringLiteral("Correction-table") +
                                                   QString(46, QLatin1Char(' ')) + warning
                                             : QStringLiteral("Correction-table"));
    if (ctx_.form3)
        ctx_.form3->setWindowTitle(notLocked
                                       ? QStringLiteral("Options") + QString(29, QLatin1Char(' ')) + warning
                                       : QStringLiteral("Options"));
}

void LockState::requestLock(bool buttonDown) {
    TForm1 *w = ctx_.form1;
    if (!ctx_.link || !w)
        return;
    // Offline there is nobody to lock; a button left down would claim a lock on its way.
    if (!w->IsOnline()) {
        releaseLockButton();
        return;
    }
    const bool accepted = ctx_.link->Request(LineActivity::Lock, [this, w, buttonDown] {
        // A lock that waited behind a trim may find the line gone meanwhile.
        if (!w->IsOnline()) {
            releaseLockButton();
            ctx_.link->End(LineActivity::Lock);
            return;
        }
        ctx_.link->StopLink();
        w->SpeedButton_lock_unlock->setChecked(buttonDown);
        ctx_.link->ArmDelayedAction(DelayedAction::Lock);
    });
    if (!accepted)
        releaseLockButton();
}

void LockState::SpeedButton_lock_unlockClick() {
    requestLock(true);
}

void LockState::LockKey() {
    requestLock(false);
}

void LockState::releaseLockButton() {
    if (ctx_.form1)
        ctx_.form1->SpeedButton_lock_unlock->setChecked(false);
}

void LockState::onLocked() {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    w->GroupBox_up_download_menu->hide();
    w->EnableMapGrids(true);
    w->EnableMainControls(true);
    if (onLockAccepted)
        onLockAccepted();
}
