#include "editor/MainWindowKeys.h"

#include "app/AppContext.h"
#include "link/Link.h"
#include "windows/chart/ChartWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QKeyEvent>
#include <QToolButton>

MainWindowKeys::MainWindowKeys(AppContext &ctx, QObject *parent) : QObject(parent), ctx_(ctx) {}

bool MainWindowKeys::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !watched->isWidgetType() ||
        !ctx_.form1)
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != ctx_.form1)
        return false;
    const bool passedOn = event == seen_ && seenBy_ && widget == seenBy_->parentWidget();
    seen_ = event;
    seenBy_ = widget;
    if (passedOn)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::KeyPress) {
        const bool pending =
            pressPending_ && key->key() == pendingKey_ && key->modifiers() == pendingModifiers_;
        pressPending_ = false;
        if (pending)
            return false;
    } else {
        pressPending_ = true;
        pendingKey_ = key->key();
        pendingModifiers_ = key->modifiers();
    }
    KeyDown(key->key(), key->modifiers());
    return false; // never consumed: an override left unaccepted lets the mnemonics work as well
}

bool MainWindowKeys::ToolbarEnabled(const char *buttonName) const {
    auto *button = ctx_.form1->findChild<QToolButton *>(QLatin1String(buttonName));
    return button && button->isEnabled();
}

bool MainWindowKeys::KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    TForm1 *main = ctx_.form1;
    if (!main)
        return false;
    const bool alt = modifiers & Qt::AltModifier;
    // Files and windows wait while another conversation has the line; F10 stays the user's way out.
    if (main->LineBusy() &&
        (key == Qt::Key_F2 || key == Qt::Key_F3 || key == Qt::Key_F4 || key == Qt::Key_F5))
        return false;
    switch (key) {
    case Qt::Key_Space:
        Space();
        return true;
    case Qt::Key_S:
        if (!alt || !commands.upload)
            return false;
        commands.upload();
        return true;
    case Qt::Key_P:
        if (!alt || !commands.download)
            return false;
        commands.download();
        return true;
    case Qt::Key_L:
        if (!alt || !commands.lock)
            return false;
        commands.lock();
        return true;
    case Qt::Key_C:
        if (!alt || !ctx_.form4)
            return false;
        main->ActiveMapGrid = FuelMapGrid;
        ctx_.form4->FormKeyDown(key, Qt::AltModifier);
        return true;
    case Qt::Key_R:
    case Qt::Key_W:
        if (!alt || !ctx_.form4)
            return false;
        ctx_.form4->FormKeyDown(key, Qt::AltModifier);
        return true;
    case Qt::Key_F1:
        if (main->onOpenManual)
            main->onOpenManual();
        return true;
    case Qt::Key_F2:
        if (!ToolbarEnabled("SpeedButton_openfile") || !commands.openFile)
            return false;
        commands.openFile();
        return true;
    case Qt::Key_F3:
        if (!ToolbarEnabled("SpeedButton_savefile") || !commands.saveFile)
            return false;
        commands.saveFile();
        return true;
    case Qt::Key_F4:
        // Alt+F4 is the window system's close.
        if (alt || !ToolbarEnabled("SpeedButton_options"))
            return false;
        ShowOptionsKey();
        return true;
    case Qt::Key_F5:
        if (!ToolbarEnabled("SpeedButton_correctiontable"))
            return false;
        main->SpeedButton_correctiontableClick();
        return true;
    case Qt::Key_F6:
        if (!main->onOpenHistory)
            return false;
        main->onOpenHistory();
        return true;
    case Qt::Key_F7:
        if (!ToolbarEnabled("SpeedButton_up_down_load"))
            return false;
        main->SpeedButton_up_down_loadClick();
        return true;
    case Qt::Key_F10:
        main->Panel_dashbordClick();
        return true;
    default:
        return false;
    }
}

void MainWindowKeys::Space() {
    ctx_.form1->Button_clear_messageClick();
    TForm4 *chart = ctx_.form4;
    const bool chartsMap =
        chart && (chart->ChartMode == ChartView::SpeedRow || chart->ChartMode == ChartView::LoadColumn);
    if (chart && chart->isVisible() && ctx_.LiveTracking && chartsMap)
        chart->JumpToLiveCell(true);
    else
        ctx_.LiveTracking = true;
}

void MainWindowKeys::ShowOptionsKey() {
    if (ctx_.link)
        ctx_.link->StopLink();
    ctx_.form1->EnableValueLabels(false);
    ctx_.form1->EnableMapGrids(false);
    if (ctx_.form3)
        ctx_.form3->show();
}
