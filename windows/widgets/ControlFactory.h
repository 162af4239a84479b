#pragma once
// Small builders for the absolutely placed controls of the windows. A "panel" is a label that paints
// its own background colour and may carry child controls.
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QString>

#include <utility>

// Background of a panel (or any widget that fills its background).
void SetPanelColor(QWidget *widget, const QColor &color);
QColor PanelColor(const QWidget *widget);
// Colour of a label's text.
void SetTextColor(QWidget *widget, const QColor &color);
QColor TextColor(const QWidget *widget);

QLabel *MakePanel(QWidget *parent, const QString &name, const QRect &geometry, const QColor &color,
                  const QString &caption = QString());
QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// A control of class W made from its constructor's arguments (its text and parent), named and placed.
template <class W, class... Args> W *MakeControl(const QString &name, const QRect &geometry, Args &&...args) {
    auto *control = new W(std::forward<Args>(args)...);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}
// Makes a control with a builder that takes its parent and then its name (MakeLabel, MakePanel, MakeBox),
// keeps it in the window's member and names it after that member, so the name is written once:
//   QVR_PLACE(Label_Password, MakeLabel, box, QStringLiteral("Enter Password :"), QRect(16, 26, 226, 20));
#define QVR_PLACE(member, builder, parent, ...)                                                              \
    (member = builder(parent, QStringLiteral(#member) __VA_OPT__(, ) __VA_ARGS__))
// The same for a control of class Type:  QVR_CONTROL(Button_close, QPushButton, geometry, text, parent);
#define QVR_CONTROL(member, Type, geometry, ...)                                                             \
    (member = MakeControl<Type>(QStringLiteral(#member), geometry, __VA_ARGS__))

// A box that paints its background, as the windows' pop-up boxes do.
QGroupBox *MakeBox(QWidget *parent, const QString &name, const QString &title, const QRect &geometry);
// The hidden "GroupBox_gauge_up_down_loading" box with its bar from 0 to 100, the bar barHeight high.
QProgressBar *MakeProgressBox(QWidget *parent, const QString &title, const QRect &geometry, int barHeight,
                              QGroupBox **box);

namespace Colors {
const QColor Silver(192, 192, 192);
const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);
const QColor Grey(128, 128, 128);
const QColor Black(0, 0, 0);
const QColor Lime(0, 255, 0);
const QColor White(255, 255, 255);
const QColor Navy(0, 0, 128);
} // namespace Colors
