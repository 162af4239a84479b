#pragma once
// The three windows that hold a calibration, built offscreen and brought into their first-shown state.
#include <memory>
#include <optional>

#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

struct WindowsFixture {
    explicit WindowsFixture(const QString &version = QStringLiteral("3FA1AD1AA")) {
        ctx.dialogs = &dialogs;
        ctx.ProgramDirectory = QStringLiteral("./");
        form1 = std::make_unique<TForm1>(ctx);
        form2 = std::make_unique<TForm2>(ctx);
        form3 = std::make_unique<TForm3>(ctx);
        ctx.form1 = form1.get();
        ctx.form2 = form2.get();
        ctx.form3 = form3.get();
        form1->FormShow();
        setVersion(version);
        // Every question is answered with its last button (Ignore for Cancel/Ignore) unless a test says
        // otherwise.
        dialogs.setPresenter([this](const DialogRequest &request) {
            return answer ? *answer : (request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.last());
        });
    }
    ~WindowsFixture() {
        ctx.form1 = nullptr;
        ctx.form2 = nullptr;
        ctx.form3 = nullptr;
    }

    void setVersion(const QString &version) { form3->StaticText_version_info->setText(version); }
    QString version() const { return form3->StaticText_version_info->text(); }

    QStringList shownTexts() const {
        QStringList texts;
        for (const DialogRequest &request : dialogs.shown())
            texts << request.text;
        return texts;
    }

    AppContext ctx;
    Dialogs dialogs;
    std::optional<DialogButton> answer;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
};
