// The edit menu box of the main window. It is built here and opened by the map grids; the block
// operations behind "&Ok" are run by the edit jobs.
#include "app/AppContext.h"
#include "editor/EditJobs.h"
#include "editor/EditMenuParts.h"
#include "windows/main/MainWindow.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QSignalBlocker>

namespace {
// The percent field steps by 0.01 and pages by 1.0; Qt's own page is ten single steps.
class PercentField : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;

protected:
    void keyPressEvent(QKeyEvent *event) override {
        const bool up = event->key() == Qt::Key_PageUp;
        if ((up || event->key() == Qt::Key_PageDown) && !isReadOnly()) {
            stepBy(up ? 100 : -100);
            event->accept();
            return;
        }
        QDoubleSpinBox::keyPressEvent(event);
    }
};
} // namespace

void TForm1::buildEditMenu() {
    GroupBox_Edit_menu = MakeEditMenuBox(this, QRect(580, 150, 206, 236));
    QGroupBox *box = GroupBox_Edit_menu;
    MakeEditMenuChoices(box, RadioButton_percentvalue, RadioButton_setvalue, RadioButton_hor_interpol);
    RadioButton_ver_interpol = MakeEditMenuChoice(box, QStringLiteral("RadioButton_ver_interpol"),
                                                  QStringLiteral("Vertical interpol."), 90);

    const EditMenuFieldRange percent{2, -100.0, 100.0, 0.01};
    const EditMenuFieldRange map{MapDecimals(FuelMapGrid), MapMinimum(FuelMapGrid), MapMaximum(FuelMapGrid),
                                 MapStep(FuelMapGrid)};
    // Made one after the other: the order of making is the Tab order.
    auto *percentField = new PercentField(box);
    PlaceEditMenuFields(this, percentField, percent, new QDoubleSpinBox(box), map, 122);
    MakeEditMenuButtons(box, Button_ok_editmenu, Button_cancel_editmenu, 194);

    // Enter and Escape act on the menu while it is shown, wherever the focus is in the window.
    auto shortcut = [&](QKeySequence key, QPushButton *target) {
        auto *s = new QShortcut(key, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, target, [this, target] {
            if (GroupBox_Edit_menu->isVisible() && target->isEnabled())
                target->click();
        });
        s->setEnabled(false);
        editMenuShortcuts_.append(s);
    };
    shortcut(QKeySequence(Qt::Key_Return), Button_ok_editmenu);
    shortcut(QKeySequence(Qt::Key_Enter), Button_ok_editmenu);
    shortcut(QKeySequence(Qt::Key_Escape), Button_cancel_editmenu);
    box->installEventFilter(this);

    // The jobs behind "&Ok"; no undo: Cancel only closes the menu, and live tracking resumes.
    editJobs_ = new EditJobs(ctx_, this);
    connect(Button_ok_editmenu, &QPushButton::clicked, editJobs_, &EditJobs::MapOk);
    connect(Button_cancel_editmenu, &QPushButton::clicked, editJobs_, &EditJobs::MapCancel);
    EditJobs::WireMenu(EditMenuControlsOf(this, true));
    box->hide();
}

void TForm1::PrepareSetValueField(int map) {
    // Opening the menu leaves the radio buttons alone, also when the new range moves the value.
    const QSignalBlocker blocker(AdvSpinEdit_setvalue);
    AdvSpinEdit_setvalue->setDecimals(MapDecimals(map));
    AdvSpinEdit_setvalue->setRange(MapMinimum(map), MapMaximum(map));
    AdvSpinEdit_setvalue->setSingleStep(MapStep(map));
}

void TForm1::ShowEditMenu(int map) {
    PrepareSetValueField(map);
    GroupBox_Edit_menu->show();
    GroupBox_Edit_menu->raise();
}
