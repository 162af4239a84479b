#pragma once
// Pieces both edit menus (main window and correction tables) are built from.
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>

#include "editor/EditJobs.h"

// The hidden "Edit_menu" box with its documented name.
inline QGroupBox *MakeEditMenuBox(QWidget *parent, const QRect &geometry) {
    auto *box = new QGroupBox(QStringLiteral("Edit_menu"), parent);
    box->setObjectName(QStringLiteral("GroupBox_Edit_menu"));
    box->setGeometry(geometry);
    box->setAutoFillBackground(true);
    return box;
}

// One operation choice of the menu, one row of 22 pixels at height y.
inline QRadioButton *MakeEditMenuChoice(QGroupBox *box, const QString &name, const QString &text, int y) {
    auto *r = new QRadioButton(text, box);
    r->setObjectName(name);
    r->setGeometry(12, y, 186, 22);
    return r;
}

// The choices both menus have, in their rows; "Change by %" starts chosen.
inline void MakeEditMenuChoices(QGroupBox *box, QRadioButton *&percent, QRadioButton *&setValue,
                                QRadioButton *&horizontal) {
    percent = MakeEditMenuChoice(box, QStringLiteral("RadioButton_percentvalue"),
                                 QStringLiteral("Change by %"), 24);
    setValue =
        MakeEditMenuChoice(box, QStringLiteral("RadioButton_setvalue"), QStringLiteral("Set to value"), 46);
    horizontal = MakeEditMenuChoice(box, QStringLiteral("RadioButton_hor_interpol"),
                                    QStringLiteral("Horizontal interpol."), 68);
    percent->setChecked(true);
}

// Decimals, range and step of a value field of the menu.
struct EditMenuFieldRange {
    int decimals;
    double minimum, maximum, step;
};

// A value field with its caption on the left, in the row at height y, starting at 0.
inline QLabel *PlaceEditMenuField(QDoubleSpinBox *field, const QString &fieldName,
                                  const EditMenuFieldRange &range, const QString &labelName,
                                  const QString &caption, int y) {
    auto *label = new QLabel(caption, field->parentWidget());
    label->setObjectName(labelName);
    label->setGeometry(12, y, 60, 24);
    field->setObjectName(fieldName);
    field->setGeometry(76, y, 118, 24);
    field->setDecimals(range.decimals); // before the range: the range is rounded to the decimals
    field->setRange(range.minimum, range.maximum);
    field->setSingleStep(range.step);
    field->setValue(0.0);
    return label;
}

// The two value fields under the choices, made by the window (the percent field may be of its own kind):
// "% " and the percent field in the row at height y, "value" and the set-value field 32 pixels lower.
template <class Window, class PercentField>
void PlaceEditMenuFields(Window *w, PercentField *percent, const EditMenuFieldRange &percentRange,
                         QDoubleSpinBox *setValue, const EditMenuFieldRange &setValueRange, int y) {
    w->AdvSpinEdit_percentvalue = percent;
    w->Label_percentvalue =
        PlaceEditMenuField(percent, QStringLiteral("AdvSpinEdit_percentvalue"), percentRange,
                           QStringLiteral("Label_percentvalue"), QStringLiteral("% "), y);
    w->AdvSpinEdit_setvalue = setValue;
    w->Label_setvalue = PlaceEditMenuField(setValue, QStringLiteral("AdvSpinEdit_setvalue"), setValueRange,
                                           QStringLiteral("Label_setvalue"), QStringLiteral("value"), y + 32);
}

// "&Ok" (the default button) and "&Cancel" side by side at height y.
inline void MakeEditMenuButtons(QGroupBox *box, QPushButton *&ok, QPushButton *&cancel, int y) {
    ok = new QPushButton(QStringLiteral("&Ok"), box);
    ok->setObjectName(QStringLiteral("Button_ok_editmenu"));
    ok->setGeometry(12, y, 86, 28);
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("&Cancel"), box);
    cancel->setObjectName(QStringLiteral("Button_cancel_editmenu"));
    cancel->setGeometry(108, y, 86, 28);
}

// Both menus' controls share their names in the two windows; the edit jobs get them from either.
// signKeys: "+" and "-" in the percent field set its sign.
template <class Window> EditJobs::MenuControls EditMenuControlsOf(const Window *w, bool signKeys) {
    EditJobs::MenuControls controls;
    controls.box = w->GroupBox_Edit_menu;
    controls.percent = w->RadioButton_percentvalue;
    controls.setValue = w->RadioButton_setvalue;
    controls.percentField = w->AdvSpinEdit_percentvalue;
    controls.setValueField = w->AdvSpinEdit_setvalue;
    controls.ok = w->Button_ok_editmenu;
    controls.signKeys = signKeys;
    return controls;
}

// A key let go that is a step of a Shift+arrow selection, which opens the menu: exactly Shift held and no
// mouse button down. Letting go of a modifier key itself is no step (letting go of Ctrl before Shift after
// Ctrl+Shift+arrow must not open the menu either).
inline bool IsShiftSelectionStep(int key, Qt::KeyboardModifiers modifiers) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return false;
    default:
        break;
    }
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    return held == Qt::ShiftModifier && QGuiApplication::mouseButtons() == Qt::NoButton;
}
