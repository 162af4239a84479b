#pragma once
// The real program offscreen with its link, the connect sequence held back, the map grids enabled and
// a responder in place of the message boxes. Offline unless a test takes it online.
#include "tests/support/LinkTestAccess.h"
#include <QApplication>
#include <QDir>
#include <QTest>
#include <memory>

#include "app/AppContext.h"
#include "app/Application.h"
#include "core/Timers.h"
#include "editor/EditJobs.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

struct EditFixture {
    std::unique_ptr<Application> program;
    QList<DialogRequest> shown;

    TForm1 *main() const { return program->mainWindow(); }
    TForm2 *tables() const { return program->context().form2; }
    AppContext &ctx() const { return program->context(); }
    Link *link() const { return ctx().link; }
    TransferMachine *machine() const { return StepsOf(link()); }

    void start(const QString &version = QStringLiteral("3FA1AD1AA")) {
        const Application::Options options = Application::Options::unattended();
        program = std::make_unique<Application>(QStringList{QStringLiteral("-O")}, options);
        program->dialogs().setPresenter([this](const DialogRequest &request) {
            shown.append(request);
            return request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.first();
        });
        ctx().form3->StaticText_version_info->setText(version);
        main()->show();
        // No connect sequence: the tests choose online or offline themselves.
        QVERIFY(QTest::qWaitForWindowExposed(main()));
        link()->GoOffline(OfflineCause::User);
        main()->GroupBox_gauge_up_down_loading->hide();
        main()->EnableMapGrids(true);
    }

    void showTables() {
        tables()->show();
        QVERIFY(QTest::qWaitForWindowExposed(tables()));
    }

    void stop() {
        if (!program)
            return;
        link()->StopLink();
        DisableTimer(LinkTimer(link(), 3));
        DisableTimer(LinkTimer(link(), 4));
        if (tables())
            tables()->hide();
        main()->hide();
        program.reset();
    }

    // Waits until the running edit job has ended (the step machine is idle again).
    bool waitForJobEnd(int timeoutMs = 10000) {
        QElapsedTimer clock;
        clock.start();
        // The job starts one delayed action after "&Ok".
        auto starting = [this] {
            return LinkTimer(link(), 4)->isActive() &&
                   (StateOf(link()).DelayedAction == 2 || StateOf(link()).DelayedAction == 8);
        };
        while (starting() && clock.elapsed() < timeoutMs)
            QTest::qWait(10);
        while (machine()->TransferStep != 0 && clock.elapsed() < timeoutMs)
            QTest::qWait(10);
        return machine()->TransferStep == 0;
    }
};

// Centre of a cell in the grid's viewport, for mouse clicks.
inline QPoint CellCentre(DataGrid *grid, int column, int row) {
    return grid->visualItemRect(grid->item(row, column)).center();
}
