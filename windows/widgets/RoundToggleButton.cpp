#include "windows/widgets/RoundToggleButton.h"

#include <QPainter>
#include <QPainterPath>

RoundToggleButton::RoundToggleButton(QWidget *parent) : QPushButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setOn(false);
    connect(this, &QPushButton::clicked, this, [this] { toggle(); });
}

void RoundToggleButton::setOn(bool on) {
    setText(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    resting_ = on ? QColor(0x00, 0xFF, 0x00) : QColor(0xFF, 0x00, 0x00);
    update();
    emit switched(on);
}

QSize RoundToggleButton::sizeHint() const {
    const QFontMetrics fm(font());
    const int side = qMax(34, fm.horizontalAdvance(QStringLiteral("OFF")) + 14);
    return {side, side};
}

void RoundToggleButton::enterEvent(QEnterEvent *event) {
    hovered_ = true;
    update();
    QPushButton::enterEvent(event);
}

void RoundToggleButton::leaveEvent(QEvent *event) {
    hovered_ = false;
    update();
    QPushButton::leaveEvent(event);
}

void RoundToggleButton::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 2;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    QColor face = resting_;
    if (!isEnabled())
        face = QColor(0xC0, 0xC0, 0xC0);
    else if (isDown())
        face = resting_.darker(130);
    else if (hovered_)
        face = resting_.lighter(130);

    QRadialGradient shine(circle.center() - QPointF(side / 5.0, side / 5.0), side * 0.75);
    shine.setColorAt(0, face.lighter(150));
    shine.setColorAt(1, face);
    p.setBrush(shine);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.drawEllipse(circle);

    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawEllipse(circle.adjusted(3, 3, -3, -3));
    }
    p.setPen(isEnabled() ? Qt::black : QColor(0x80, 0x80, 0x80));
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(circle, Qt::AlignCenter, text());
}
