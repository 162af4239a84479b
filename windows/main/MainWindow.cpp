#include "windows/main/MainWindow.h"

#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/ControlFactory.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>

namespace {
const QString DesignTimeVersion = QStringLiteral("3FA1AD1AA");
}

TForm1::TForm1(AppContext &ctx, QWidget *parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("QVR Injection-Map"));
    setMaximumSize(795, 666);
    ctx_.form1 = this;

    buildToolbar();
    buildDashboards();
    buildMapGrids();
    buildWarningPanel();
    buildPowerPanel();
    buildEditMenu();
    buildTransferMenu();
    buildProgressBox();
    buildInfoPanel();
    buildAccessBoxes();

    const QRect pages = xpPageControl_injection->geometry();
    resize(795, std::min(666, pages.bottom() + 8));
    move(0, 0);

    for (QWidget *target : dashboardClickTargets())
        target->installEventFilter(this);
    // The boxes float over the grids; a shadow sets them apart.
    for (QWidget *box : std::initializer_list<QWidget *>{
             GroupBox_Edit_menu, GroupBox_up_download_menu, GroupBox_gauge_up_down_loading, Panel_output_test,
             GroupBox_Settings, GroupBox_Change_password, Panel_Warning_message,
             Panel_power_to_system_was_interrupted}) {
        auto *shadow = new QGraphicsDropShadowEffect(box);
        shadow->setBlurRadius(12);
        shadow->setOffset(3, 3);
        shadow->setColor(QColor(0, 0, 0, 110));
        box->setGraphicsEffect(shadow);
    }

    WireLink();
    // The window starts offline; nothing is known about the ECU yet.
    SetOnline(false);
    EnableValueLabels(false);
}

void TForm1::WireLink() {
    Link *link = ctx_.link;
    if (!link)
        return;
    connect(link, &Link::commErrorsChanged, this,
            [this](int count) { Label1->setText(CommErrorsText(count)); });
    connect(link, &Link::wentOffline, this, [this] { PaintOffline(); });
}

TForm1::~TForm1() {
    if (ctx_.form1 == this)
        ctx_.form1 = nullptr;
}

QString TForm1::CurrentVersion() const {
    if (ctx_.form3 && ctx_.form3->StaticText_version_info)
        return ctx_.form3->StaticText_version_info->text();
    return DesignTimeVersion;
}

void TForm1::StopLink() {
    if (ctx_.link)
        ctx_.link->StopLink();
}

void TForm1::HideSecondaryWindows(bool chart, bool options, bool correction) {
    if (chart && ctx_.form4 && ctx_.form4->isVisible())
        ctx_.form4->hide();
    if (options && ctx_.form3 && ctx_.form3->isVisible())
        ctx_.form3->hide();
    if (correction && ctx_.form2 && ctx_.form2->isVisible())
        ctx_.form2->hide();
}

void TForm1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!firstShowDone_)
        FormShow();
}

void TForm1::FormShow() {
    if (firstShowDone_ || QCoreApplication::closingDown())
        return;
    firstShowDone_ = true;

    // Cells change only through the edit operations; the grids never edit in place.
    ZeroMaps();
    if (ctx_.form2) {
        for (CorrectionTable table : {CorrectionTable::Water, CorrectionTable::Air, CorrectionTable::Battery,
                                      CorrectionTable::AirPressure}) {
            DataGrid *grid = ctx_.form2->tableGrid(table);
            grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
            for (int column = 0; column < TForm2::TableColumns; ++column)
                grid->setCellValue(column, 1, 0.0);
        }
    }
    if (onRefreshCaptions)
        onRefreshCaptions();

    // Option defaults, the RPM rows of the maps and the correction-table headers live in the options window.
    if (ctx_.form3) {
        ctx_.form3->ApplyFirstShowDefaults();
    }
    EnableMainControls(false);
    if (ctx_.form3) {
        ctx_.form3->ApplyRpmRangeToGrids();
        ctx_.form3->RebuildCorrectionHeaders();
        ctx_.form3->ShowCorrectionTableName();
        ctx_.form3->ShowCorrectionEnables();
    }

    GroupBox_gauge_up_down_loading->setTitle(QStringLiteral("Up_loading"));
    GroupBox_gauge_up_down_loading->show();
    GroupBox_gauge_up_down_loading->raise();
    if (ctx_.form4)
        ctx_.form4->move(53, 52);
    AdvStringGrid_fuel->setEnabled(false);
    AdvStringGrid_injection_boost_correction->setEnabled(false);
    ApplyBoostTabVisibility();

    // The connect sequence starts one delayed-action interval later.
    if (ctx_.link) {
        ctx_.link->Begin(LineActivity::Connecting);
        ctx_.link->ArmDelayedAction(DelayedAction::Connect);
    }
}

bool TForm1::FormCloseQuery() {
    Link::Paused paused;
    if (ctx_.link)
        paused = ctx_.link->PauseForQuestion();
    if (IsOnline() && DataNotLocked() && ctx_.dialogs) {
        const DialogButton answer = ctx_.dialogs->show(
            DialogKind::Warning,
            QStringLiteral("Data is not locked in the ECU do you still want to close the programm ?"),
            {DialogButton::Yes, DialogButton::No});
        if (answer != DialogButton::Yes) {
            // Staying open: the poll and a running job go on where the question stopped them.
            if (ctx_.link)
                ctx_.link->ResumeAfterQuestion(paused);
            return false;
        }
    }
    return true;
}

void TForm1::closeEvent(QCloseEvent *event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    // Nothing more goes out, and the port is free for the next start.
    if (ctx_.link)
        ctx_.link->GoOffline(OfflineCause::User);
    if (onClosed)
        onClosed();
}

QList<QWidget *> TForm1::dashboardClickTargets() const {
    QList<QWidget *> targets;
    for (QLabel *dashboard : {Panel_dashbord, Panel_dashbord2}) {
        targets.append(dashboard);
        for (QWidget *child : dashboard->findChildren<QWidget *>())
            targets.append(child);
    }
    return targets;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == GroupBox_Edit_menu) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
            for (QShortcut *shortcut : editMenuShortcuts_)
                shortcut->setEnabled(event->type() == QEvent::Show);
            editMenuDragging_ = false;
            break;
        case QEvent::MouseButtonPress: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton) {
                editMenuDragging_ = true;
                editMenuGrab_ = mouse->position().toPoint();
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (editMenuDragging_) {
                auto *mouse = static_cast<QMouseEvent *>(event);
                const QPoint wanted =
                    GroupBox_Edit_menu->mapToParent(mouse->position().toPoint()) - editMenuGrab_;
                // Keep the whole box inside the window.
                const int x = std::clamp(wanted.x(), 0, std::max(0, width() - GroupBox_Edit_menu->width()));
                const int y = std::clamp(wanted.y(), 0, std::max(0, height() - GroupBox_Edit_menu->height()));
                GroupBox_Edit_menu->move(x, y);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (editMenuDragging_) {
                editMenuDragging_ = false;
                return true;
            }
            break;
        default:
            break;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton && widget &&
            widget->rect().contains(mouse->position().toPoint())) {
            Panel_dashbordClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
