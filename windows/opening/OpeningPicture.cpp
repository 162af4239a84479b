// The start-up picture: a fuel map drawn as a lit wire surface over a dark blue sky, with the product name.
#include "windows/opening/OpeningDialog.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace {
constexpr int Width = 617;
constexpr int Height = 301;

// A plausible injection map: rises with load and speed, with a torque bump in the middle.
double mapHeight(double load, double speed) {
    const double bump = std::exp(-((speed - 0.55) * (speed - 0.55)) / 0.05);
    return 0.15 + 0.55 * load * (0.6 + 0.4 * speed) + 0.25 * load * bump;
}

QColor heightColour(double h) {
    // blue -> cyan -> green -> yellow -> red, like a tuner's map view
    const double t = std::clamp(h, 0.0, 1.0);
    return QColor::fromHsvF((1.0 - t) * 0.66, 0.85, 1.0);
}

QPointF project(double load, double speed, double h) {
    // Oblique view: load runs to the right, speed runs into the picture, height goes up.
    const double x = 290 + load * 280 - speed * 170;
    const double y = 290 - speed * 95 - h * 150;
    return {x, y};
}
} // namespace

QPixmap OpeningPicture() {
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0.0, QColor(8, 16, 48));
    sky.setColorAt(0.7, QColor(20, 50, 110));
    sky.setColorAt(1.0, QColor(40, 80, 140));
    p.fillRect(image.rect(), sky);

    QRadialGradient glow(QPointF(450, 160), 260);
    glow.setColorAt(0.0, QColor(90, 160, 255, 90));
    glow.setColorAt(1.0, QColor(90, 160, 255, 0));
    p.fillRect(image.rect(), glow);

    // The map surface, 16 load columns by 25 speed rows, drawn back to front.
    constexpr int Columns = 16;
    constexpr int Rows = 25;
    for (int r = Rows - 1; r >= 0; --r) {
        const double speed = r / double(Rows - 1);
        for (int c = 0; c < Columns - 1; ++c) {
            const double load = c / double(Columns - 1);
            const double nextLoad = (c + 1) / double(Columns - 1);
            const double h = mapHeight(load, speed);
            const double hn = mapHeight(nextLoad, speed);
            QColor colour = heightColour((h + hn) / 2.0);
            colour.setAlphaF(0.55 + 0.45 * (1.0 - speed));
            p.setPen(QPen(colour, 1.3));
            p.drawLine(project(load, speed, h), project(nextLoad, speed, hn));
            if (r > 0) {
                const double prevSpeed = (r - 1) / double(Rows - 1);
                p.drawLine(project(load, speed, h), project(load, prevSpeed, mapHeight(load, prevSpeed)));
            }
        }
    }

    // An injector spray: a droplet with a highlight, up in the right corner.
    p.save();
    p.translate(15, -20);
    QPainterPath drop;
    drop.moveTo(545, 40);
    drop.cubicTo(560, 70, 575, 88, 575, 104);
    drop.cubicTo(575, 122, 561, 134, 545, 134);
    drop.cubicTo(529, 134, 515, 122, 515, 104);
    drop.cubicTo(515, 88, 530, 70, 545, 40);
    QLinearGradient fuel(515, 40, 575, 134);
    fuel.setColorAt(0.0, QColor(255, 220, 90));
    fuel.setColorAt(1.0, QColor(230, 120, 20));
    p.setPen(QPen(QColor(255, 240, 200), 1.5));
    p.setBrush(fuel);
    p.drawPath(drop);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QRectF(528, 95, 9, 20));
    p.restore();

    // Name and line of purpose, with a soft shadow.
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(54);
    title.setBold(true);
    title.setItalic(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 140));
    p.drawText(QPointF(27, 71), QStringLiteral("QVR Fuel"));
    p.setPen(QColor(245, 248, 255));
    p.drawText(QPointF(24, 68), QStringLiteral("QVR Fuel"));

    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.setPen(QColor(180, 205, 240));
    p.drawText(QPointF(28, 96), QStringLiteral("Injection-map calibration"));

    p.setPen(QPen(QColor(255, 200, 60), 3));
    p.drawLine(QPointF(28, 106), QPointF(250, 106));
    p.end();
    return QPixmap::fromImage(image);
}
