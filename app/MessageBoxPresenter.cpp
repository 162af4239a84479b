#include "app/MessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon IconOf(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return QMessageBox::Warning;
    case DialogKind::Information:
        return QMessageBox::Information;
    case DialogKind::Error:
        return QMessageBox::Critical;
    case DialogKind::Confirmation:
        return QMessageBox::Question;
    case DialogKind::Plain:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton StandardOf(DialogButton button) {
    switch (button) {
    case DialogButton::Ok:
        return QMessageBox::Ok;
    case DialogButton::Yes:
        return QMessageBox::Yes;
    case DialogButton::No:
        return QMessageBox::No;
    case DialogButton::Cancel:
        return QMessageBox::Cancel;
    case DialogButton::Ignore:
        return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

} // namespace

Dialogs::Presenter MessageBoxPresenter() {
    return [](const DialogRequest &request) {
        QMessageBox box(IconOf(request.kind), QStringLiteral("QVR Fuel"), request.text, QMessageBox::NoButton,
                        QApplication::activeWindow());
        for (DialogButton button : request.buttons)
            box.addButton(StandardOf(button));
        box.setDefaultButton(StandardOf(request.defaultButton.value_or(request.buttons.first())));
        const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
        for (DialogButton button : request.buttons)
            if (StandardOf(button) == chosen)
                return button;
        // Closed without a button (window manager): the safe answer is the last button (No / Cancel).
        return request.buttons.last();
    };
}
