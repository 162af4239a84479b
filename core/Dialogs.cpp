#include "core/Dialogs.h"

DialogButton Dialogs::show(DialogKind kind, const QString &text, QList<DialogButton> buttons) {
    DialogRequest request;
    request.kind = kind;
    request.text = text;
    request.buttons = std::move(buttons);
    return ask(request);
}

DialogButton Dialogs::ask(const DialogRequest &asked) {
    DialogRequest request = asked;
    if (request.buttons.isEmpty())
        request.buttons = {DialogButton::Ok};
    shown_.append(request);
    if (presenter_)
        return presenter_(request);
    return request.defaultButton.value_or(request.buttons.first());
}
