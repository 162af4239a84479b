#pragma once
// Builds the real program offscreen: every window, no serial port, no opening dialog, and a responder
// in place of the message boxes that records each question and answers as the test says.
#include <QApplication>
#include <QDir>
#include <QTest>
#include <memory>

#include "app/Application.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

struct AppFixture {
    std::unique_ptr<Application> program;
    DialogButton answer = DialogButton::Yes;

    TForm1 *main() const { return program->mainWindow(); }
    AppContext &ctx() const { return program->context(); }
    Dialogs &dialogs() const { return program->dialogs(); }

    void start(const QString &version = QStringLiteral("3FA1AD1AA")) {
        const Application::Options options = Application::Options::unattended(false);
        program = std::make_unique<Application>(QStringList{QStringLiteral("-O")}, options);
        dialogs().setPresenter([this](const DialogRequest &) { return answer; });
        ctx().form3->StaticText_version_info->setText(version);
        main()->show();
        QVERIFY(QTest::qWaitForWindowExposed(main()));
    }

    void stop() {
        if (program) {
            main()->hide();
            program.reset();
        }
    }
};
