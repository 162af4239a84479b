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
    auto radio = [box](const QString &name, const QString &text, int y) {
        return MakeEditMenuChoice(box, name, text, y);
    };
    RadioButton_percentvalue =
        radio(QStringLiteral("RadioButton_percentvalue"), QStringLiteral("Change by %"), 24);
    RadioButton_setvalue = radio(QStringLiteral("RadioButton_setvalue"), QStringLiteral("Set to value"), 46);
    RadioButton_hor_interpol =
        radio(QStringLiteral("RadioButton_hor_interpol"), QStringLiteral("Horizontal interpol."), 68);
    RadioButton_ver_interpol =
        radio(QStringLiteral("RadioButton_ver_interpol"), QStringLiteral("Vertical interpol."), 90);
    RadioButton_percentvalue->setChecked(true);

    Label_percentvalue = new QLabel(QStringLiteral("% "), box);
    Label_percentvalue->setObjectName(QStringLiteral("Label_percentvalue"));
    Label_percentvalue->setGeometry(12, 122, 60, 24);
    AdvSpinEdit_percentvalue = new PercentField(box);
    AdvSpinEdit_percentvalue->setObjectName(QStringLiteral("AdvSpinEdit_percentvalue"));
    AdvSpinEdit_percentvalue->setGeometry(76, 122, 118, 24);
    AdvSpinEdit_percentvalue->setDecimals(2);
    AdvSpinEdit_percentvalue->setRange(-100.0, 100.0);
    AdvSpinEdit_percentvalue->setSingleStep(0.01);
    AdvSpinEdit_percentvalue->setValue(0.0);

    Label_setvalue = new QLabel(QStringLiteral("value"), box);
    Label_setvalue->setObjectName(QStringLiteral("Label_setvalue"));
    Label_setvalue->setGeometry(12, 154, 60, 24);
    AdvSpinEdit_setvalue = new QDoubleSpinBox(box);
    AdvSpinEdit_setvalue->setObjectName(QStringLiteral("AdvSpinEdit_setvalue"));
    AdvSpinEdit_setvalue->setGeometry(76, 154, 118, 24);
    AdvSpinEdit_setvalue->setDecimals(MapDecimals(FuelMapGrid));
    AdvSpinEdit_setvalue->setRange(MapMinimum(FuelMapGrid), MapMaximum(FuelMapGrid));
    AdvSpinEdit_setvalue->setSingleStep(MapStep(FuelMapGrid));
    AdvSpinEdit_setvalue->setValue(0.0);

    Button_ok_editmenu = new QPushButton(QStringLiteral("&Ok"), box);
    Button_ok_editmenu->setObjectName(QStringLiteral("Button_ok_editmenu"));
    Button_ok_editmenu->setGeometry(12, 194, 86, 28);
    Button_ok_editmenu->setDefault(true);
    Button_cancel_editmenu = new QPushButton(QStringLiteral("&Cancel"), box);
    Button_cancel_editmenu->setObjectName(QStringLiteral("Button_cancel_editmenu"));
    Button_cancel_editmenu->setGeometry(108, 194, 86, 28);

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
    auto *jobs = new EditJobs(ctx_, this);
    connect(Button_ok_editmenu, &QPushButton::clicked, jobs, &EditJobs::MapOk);
    connect(Button_cancel_editmenu, &QPushButton::clicked, jobs, &EditJobs::MapCancel);
    EditJobs::MenuControls controls;
    controls.box = box;
    controls.percent = RadioButton_percentvalue;
    controls.setValue = RadioButton_setvalue;
    controls.percentField = AdvSpinEdit_percentvalue;
    controls.setValueField = AdvSpinEdit_setvalue;
    controls.ok = Button_ok_editmenu;
    controls.signKeys = true;
    EditJobs::WireMenu(controls);
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
