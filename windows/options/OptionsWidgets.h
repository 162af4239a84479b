#pragma once
// Small builders for the options window's controls: every control gets its objectName, its range and its
// hint in one call, so the group files read like the control tables they implement.
#include <QColor>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <QVBoxLayout>

#include <initializer_list>

// Makes a control with a builder that takes the name first (those below, or a file's own), keeps it in the
// window's member and names it after that member, so the name is written once:
//   QVR_MAKE(Label_sustain, label, QStringLiteral("Sustain :"));
#define QVR_MAKE(member, builder, ...) (member = builder(QStringLiteral(#member) __VA_OPT__(, ) __VA_ARGS__))
// The same for a control made by hand:  QVR_NAMED(CheckBox_enable_type1, new QCheckBox(...));
#define QVR_NAMED(member, widget) (member = OptionsWidgets::named(widget, QStringLiteral(#member)))
// A sub-panel's "&Ok" and "&Cancel" buttons, made into their members and named after them.
#define QVR_OK_CANCEL(ok, cancel, box)                                                                       \
    (QVR_MAKE(ok, OptionsWidgets::button, QStringLiteral("&Ok"), box),                                       \
     QVR_MAKE(cancel, OptionsWidgets::button, QStringLiteral("&Cancel"), box))

namespace OptionsWidgets {

template <class W> W *named(W *widget, const QString &name) {
    widget->setObjectName(name);
    return widget;
}

QLabel *label(const QString &name, const QString &text, QWidget *parent = nullptr);
// A panel: a caption on a coloured, filled background.
QLabel *panel(const QString &name, const QString &caption, const QColor &color, QWidget *parent = nullptr);
QPushButton *button(const QString &name, const QString &text, QWidget *parent = nullptr);
QGroupBox *group(const QString &name, const QString &title, QWidget *parent = nullptr);
QSpinBox *spin(const QString &name, int minimum, int maximum, int step, int value, const QString &hint = {},
               QWidget *parent = nullptr);
QDoubleSpinBox *decimalSpin(const QString &name, double minimum, double maximum, double step, int decimals,
                            double value, const QString &hint = {}, QWidget *parent = nullptr);
// editable: the user may type into the list (some lists check for that and warn).
QComboBox *list(const QString &name, const QStringList &items, bool editable = false,
                QWidget *parent = nullptr);

// One part of a sub-panel's column: a control or a row of them.
struct PanelPart {
    PanelPart(QWidget *w) : widget(w) {}
    PanelPart(QLayout *l) : layout(l) {}
    QWidget *widget = nullptr;
    QLayout *layout = nullptr;
};
// Lays out a sub-panel: its parts from the top, then room, then Ok and Cancel at the right of the bottom row
// (spacing < 0 keeps the style's spacing between the parts).
void fillPanel(QGroupBox *box, int spacing, std::initializer_list<PanelPart> parts, QPushButton *ok,
               QPushButton *cancel);
// The grid inside an inner group box; verticalSpacing < 0 keeps the style's.
QGridLayout *innerGrid(QGroupBox *box, int verticalSpacing = -1);
// Puts rows of controls into a grid from firstRow down, each from column 0 (a null leaves its cell empty).
void addRows(QGridLayout *grid, std::initializer_list<std::initializer_list<QWidget *>> rows,
             int firstRow = 0);

// Enables or disables every control laid out directly in a group box (not the box itself).
void setControlsEnabled(QGroupBox *box, bool on);

// Ok and Cancel at the right of a sub-panel's bottom row.
QHBoxLayout *okCancelRow(QPushButton *ok, QPushButton *cancel);

// Colour of a group box's caption (navy when its controls are active, grey when not).
void setCaptionColor(QGroupBox *box, const QColor &color);
QColor captionColor(const QGroupBox *box);

inline QColor navy() {
    return QColor(0x00, 0x00, 0x80);
}
inline QColor grey() {
    return QColor(0x80, 0x80, 0x80);
}
inline QColor silver() {
    return QColor(0xC0, 0xC0, 0xC0);
}

} // namespace OptionsWidgets
