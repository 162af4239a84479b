#pragma once
// The colours the windows paint with, and how a test reads them back from a widget's palette.
#include <QColor>
#include <QPalette>
#include <QWidget>

// Written out here as 0xRRGGBB rather than taken from the windows' own table, so that a changed colour
// fails the tests.
namespace TestColours {
const QColor Silver(QRgb(0xC0C0C0));
const QColor Red(QRgb(0xFF0000));
const QColor Yellow(QRgb(0xFFFF00));
const QColor Grey(QRgb(0x808080));
const QColor Black(QRgb(0x000000));
const QColor Lime(QRgb(0x00FF00));
} // namespace TestColours

inline QColor background(const QWidget *w) {
    return w->palette().color(QPalette::Window);
}
inline QColor textColor(const QWidget *w) {
    return w->palette().color(QPalette::Active, QPalette::WindowText);
}
