#include "windows/widgets/ControlFactory.h"

#include <QPalette>

void SetPanelColor(QWidget *widget, const QColor &color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QColor PanelColor(const QWidget *widget) {
    return widget->palette().color(QPalette::Window);
}

void SetTextColor(QWidget *widget, const QColor &color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, color);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, color);
    widget->setPalette(pal);
}

QColor TextColor(const QWidget *widget) {
    return widget->palette().color(QPalette::Active, QPalette::WindowText);
}

QLabel *MakePanel(QWidget *parent, const QString &name, const QRect &geometry, const QColor &color,
                  const QString &caption) {
    auto *panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    SetPanelColor(panel, color);
    return panel;
}

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                  Qt::Alignment alignment) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

QGroupBox *MakeBox(QWidget *parent, const QString &name, const QString &title, const QRect &geometry) {
    auto *box = MakeControl<QGroupBox>(name, geometry, title, parent);
    box->setAutoFillBackground(true);
    return box;
}

QProgressBar *MakeProgressBox(QWidget *parent, const QString &title, const QRect &geometry, int barHeight,
                              QGroupBox **box) {
    *box = MakeBox(parent, QStringLiteral("GroupBox_gauge_up_down_loading"), title, geometry);
    auto *bar = MakeControl<QProgressBar>(QStringLiteral("Gauge_up_down_loading"),
                                          QRect(12, 24, geometry.width() - 24, barHeight), *box);
    bar->setRange(0, 100);
    bar->setValue(0);
    (*box)->hide();
    return bar;
}
