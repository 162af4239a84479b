#pragma once
// Pieces both edit menus (main window and correction tables) are built from.
#include <QGroupBox>
#include <QRadioButton>
#include <QRect>

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
