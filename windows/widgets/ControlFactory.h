#pragma once
// Small builders for the absolutely placed controls of the windows. A "panel" is a label that paints
// its own background colour and may carry child controls.
#include <QColor>
#include <QLabel>
#include <QString>

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
