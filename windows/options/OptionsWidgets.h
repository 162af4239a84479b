#pragma once
// Small builders for the options window's controls: every control gets its objectName, its range and its
// hint in one call, so the group files read like the control tables they implement.
#include <QColor>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QString>
#include <QStringList>

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
