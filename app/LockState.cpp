#include "app/LockState.h"

#include "app/AppContext.h"
#include "link/Link.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/ControlFactory.h"

LockState::LockState(AppContext &ctx, Link &link, std::function<QString()> programVersion, QObject *parent)
    : QObject(parent), ctx_(ctx), link_(link), programVersion_(std::move(programVersion)) {
    Q_ASSERT(ctx.form1 && ctx.form2 && ctx.form3 && ctx.form4);
    connect(ctx_.form1->SpeedButton_lock_unlock, &QToolButton::clicked, this,
            &LockState::SpeedButton_lock_unlockClick);
    connect(&link_, &Link::lockDisplayChanged, this, &LockState::ShowLockState);
    connect(&link_, &Link::lockButtonReleased, this, &LockState::releaseLockButton);
    connect(&link_, &Link::lockAccepted, this, &LockState::onLocked);
}

bool LockState::NotLocked() const {
    return ctx_.form1->DataNotLocked();
}

void LockState::ShowLockState(bool notLocked) {
    // The chart window's footer is the switch's memory.
    const bool shown = ctx_.form4->FooterVisible();
    if (shown == notLocked)
        return;
    ctx_.form4->SetFooterVisible(notLocked);
    const QColor color = notLocked ? Colors::Yellow : Colors::Silver;
    ctx_.form1->AdvStringGrid_fuel->setFixedColor(color);
    ctx_.form1->AdvStringGrid_injection_boost_correction->setFixedColor(color);
    RefreshCaptions();
}

void LockState::RefreshCaptions() {
    const bool notLocked = NotLocked();
    const QString version = programVersion_ ? programVersion_() : QStringLiteral("3.05");
    QString caption = QStringLiteral("QVR V") + version + QStringLiteral(" Injection-Map");
    if (notLocked)
        caption += QString(33, QLatin1Char(' ')) + QStringLiteral("DATA IS NOT LOCKED !!!");
    ctx_.form1->setWindowTitle(caption);
    const QString warning = QStringLiteral("DATA is NOT LOCKED !!!");
    ctx_.form2->setWindowTitle(notLocked ? QStringLiteral("Correction-table") +
                                               QString(46, QLatin1Char(' ')) + warning
                                         : QStringLiteral("Correction-table"));
    ctx_.form3->setWindowTitle(notLocked ? QStringLiteral("Options") + QString(29, QLatin1Char(' ')) + warning
                                         : QStringLiteral("Options"));
}

void LockState::requestLock(bool buttonDown) {
    TForm1 *w = ctx_.form1;
    // Offline there is nobody to lock; a button left down would claim a lock on its way.
    if (!w->IsOnline()) {
        releaseLockButton();
        return;
    }
    const bool accepted = link_.Request(LineActivity::Lock, [this, w, buttonDown] {
        // A lock that waited behind a trim may find the line gone meanwhile.
        if (!w->IsOnline()) {
            releaseLockButton();
            link_.End(LineActivity::Lock);
            return;
        }
        link_.StopLink();
        w->SpeedButton_lock_unlock->setChecked(buttonDown);
        link_.ArmDelayedAction(DelayedAction::Lock);
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
    ctx_.form1->SpeedButton_lock_unlock->setChecked(false);
}

void LockState::onLocked() {
    TForm1 *w = ctx_.form1;
    w->GroupBox_up_download_menu->hide();
    w->EnableMapGrids(true);
    w->EnableMainControls(true);
    if (onLockAccepted)
        onLockAccepted();
}
