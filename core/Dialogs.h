#pragma once
// The one door for every message box and question of the program.
// The program installs a presenter that shows a real QMessageBox; tests install a responder
// that records the request and answers as the test says, so no test blocks on a modal window.
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Plain: a message box without an icon.
enum class DialogKind { Warning, Information, Error, Confirmation, Plain };
enum class DialogButton { Ok, Yes, No, Cancel, Ignore };

struct DialogRequest {
    DialogKind kind = DialogKind::Information;
    QString text;
    QList<DialogButton> buttons;
    // The button Enter presses; unset: the first one.
    std::optional<DialogButton> defaultButton;
};

class Dialogs {
public:
    using Presenter = std::function<DialogButton(const DialogRequest &)>;

    // Shows the box and returns the button chosen. Without a presenter the default (or first) button is
    // the answer.
    DialogButton show(DialogKind kind, const QString &text, QList<DialogButton> buttons = {DialogButton::Ok});
    DialogButton ask(const DialogRequest &request);

    void warning(const QString &text) { show(DialogKind::Warning, text); }
    void information(const QString &text) { show(DialogKind::Information, text); }
    void error(const QString &text) { show(DialogKind::Error, text); }
    void plain(const QString &text) { show(DialogKind::Plain, text); }

    void setPresenter(Presenter presenter) { presenter_ = std::move(presenter); }
    // Everything shown so far, oldest first; tests read and clear it.
    const QList<DialogRequest> &shown() const { return shown_; }
    void clearShown() { shown_.clear(); }

private:
    Presenter presenter_;
    QList<DialogRequest> shown_;
};
