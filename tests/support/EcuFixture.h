#pragma once
// The real program, every window offscreen, its link on the simulated ECU over a pseudo-terminal. Message
// boxes go to a responder that records them and answers as the test says (the first button by default).
#include "tests/support/LinkTestAccess.h"
#include <QDir>
#include <QTest>
#include <functional>
#include <memory>

#include "app/AppContext.h"
#include "app/Application.h"
#include "core/Dialogs.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

struct EcuFixture {
    std::unique_ptr<EcuSimRunner> ecu;
    std::unique_ptr<Application> program;
    // Answer of each box; empty: the first button.
    std::function<DialogButton(const DialogRequest &)> answer;

    TForm1 *main() const { return program->mainWindow(); }
    AppContext &ctx() const { return program->context(); }
    Link *link() const { return ctx().link; }
    TransferMachine *steps() const { return StepsOf(link()); }
    Dialogs &dialogs() const { return program->dialogs(); }
    QString version() const { return ctx().form3->StaticText_version_info->text(); }

    bool start(const EcuSimConfig &config) {
        ecu = std::make_unique<EcuSimRunner>();
        const QString path = ecu->start(config);
        if (path.isEmpty())
            return false;
        const Application::Options options = Application::Options::unattended();
        program = std::make_unique<Application>(QStringList{QStringLiteral("-O")}, options);
        dialogs().setPresenter([this](const DialogRequest &request) {
            if (answer)
                return answer(request);
            return request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.first();
        });
        StateOf(link()).PortName = path;
        main()->show();
        return QTest::qWaitForWindowExposed(main());
    }

    // Starts a simulated ECU of that firmware holding `image` and waits until the connect read is done.
    bool startAndRead(const QString &version, const QVector<std::uint16_t> &image) {
        EcuSimConfig config;
        config.version = version;
        config.image = image;
        return start(config) && QTest::qWaitFor([this] { return readDone(); }, 5000);
    }

    void stop() {
        if (program) {
            link()->StopLink();
            LinkTimer(link(), 3)->stop();
            LinkTimer(link(), 4)->stop();
            main()->hide();
            program.reset();
        }
        if (ecu) {
            ecu->stop();
            ecu.reset();
        }
    }

    // The read of the connect sequence is done when the progress box is gone and the grids are enabled.
    bool readDone() const {
        return main()->GroupBox_gauge_up_down_loading->isHidden() && main()->AdvStringGrid_fuel->isEnabled();
    }
    // A write is done when the step machine rests again after "R".
    bool writeDone() const { return steps()->TransferStep == 0 && lettersWithoutPolls().endsWith('R'); }

    QStringList shownTexts() const {
        QStringList texts;
        for (const DialogRequest &r : dialogs().shown())
            texts << r.text;
        return texts;
    }
    // How many requests with this letter the ECU has seen.
    int count(char letter) const { return int(ecu->requestLetters().count(letter)); }
    // The letters without the live polls, which come and go with the timing.
    QByteArray lettersWithoutPolls() const {
        QByteArray letters = ecu->requestLetters();
        letters.replace("d", "");
        letters.replace("D", "");
        return letters;
    }
};
