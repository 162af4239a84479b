#include "core/Dialogs.h"

DialogButton Dialogs::show(DialogKind kind, const QString &text, QList<DialogButton> buttons) {
    if (buttons.isEmpty())
        buttons = {DialogButton::Ok};
    DialogRequest request{kind, text, buttons};
    shown_.append(request);
    if (presenter_)
        return presenter_(request);
    return buttons.first();
}
