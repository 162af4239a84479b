// The program's icon, drawn once here and written both as SVG and as PNG in the sizes desktops ask for:
//   qvr-icon FOLDER NAME    writes FOLDER/NAME.svg and FOLDER/<n>x<n>/NAME.png
// A dial with its red zone around a fuel drop: the engine watched live, and its fuel. Every shape is a
// path, so the SVG and the PNGs are the same picture (Qt's own painter, no SVG renderer needed).
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextStream>
#include <cmath>
#include <cstdio>

namespace {
constexpr qreal Canvas = 256;
const QPointF DialCentre(128, 136);
constexpr qreal DialRadius = 84;

struct Shape {
    QPainterPath path;
    QColor top, bottom;    // fill, from top to bottom of the canvas; no fill when top is invalid
    QColor stroke;         // none when invalid
    qreal strokeWidth = 0; // round caps and joins
};

QPointF OnDial(qreal degrees, qreal radius) {
    const qreal a = qDegreesToRadians(degrees);
    return DialCentre + QPointF(std::cos(a) * radius, -std::sin(a) * radius);
}

QPainterPath Arc(qreal fromDegrees, qreal sweep) {
    const QRectF box(DialCentre.x() - DialRadius, DialCentre.y() - DialRadius, 2 * DialRadius,
                     2 * DialRadius);
    QPainterPath path;
    path.arcMoveTo(box, fromDegrees);
    path.arcTo(box, fromDegrees, sweep);
    return path;
}

QList<Shape> IconShapes() {
    QList<Shape> shapes;
    QPainterPath tile;
    tile.addRoundedRect(QRectF(12, 12, 232, 232), 44, 44);
    shapes.append({tile, QColor("#24476b"), QColor("#0d1f33"), {}, 0});

    // The dial: 240 degrees from lower left to lower right, the last 50 red.
    shapes.append({Arc(210, -190), {}, {}, QColor("#e8eef4"), 14});
    shapes.append({Arc(20, -50), {}, {}, QColor("#e63946"), 14});
    QPainterPath ticks;
    for (int i = 0; i <= 8; ++i) {
        const qreal degrees = 210 - i * 30;
        ticks.moveTo(OnDial(degrees, DialRadius - 20));
        ticks.lineTo(OnDial(degrees, DialRadius - 30));
    }
    shapes.append({ticks, {}, {}, QColor("#e8eef4"), 6});

    // The fuel drop in the middle of the dial.
    QPainterPath drop;
    drop.moveTo(128, 96);
    drop.cubicTo(120, 112, 100, 136, 100, 158);
    drop.arcTo(QRectF(100, 130, 56, 56), 180, 180);
    drop.cubicTo(156, 136, 136, 112, 128, 96);
    drop.closeSubpath();
    shapes.append({drop, QColor("#f6bd60"), QColor("#e76f51"), {}, 0});

    // The needle, into the red zone.
    QPainterPath needle;
    needle.moveTo(OnDial(20, 18));
    needle.lineTo(OnDial(20, DialRadius - 16));
    shapes.append({needle, {}, {}, QColor("#e63946"), 9});
    return shapes;
}

QString Number(qreal v) {
    return QString::number(v, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

QString SvgPath(const QPainterPath &path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
            i += 2;
        }
    }
    return d;
}

QString Svg(const QList<Shape> &shapes) {
    QString defs, body;
    for (int i = 0; i < shapes.size(); ++i) {
        const Shape &s = shapes[i];
        QString fill = QStringLiteral("none");
        if (s.top.isValid()) {
            const QString id = QStringLiteral("fill%1").arg(i);
            defs +=
                QStringLiteral("<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" "
                               "x2=\"0\" y2=\"%2\"><stop offset=\"0\" stop-color=\"%3\"/>"
                               "<stop offset=\"1\" stop-color=\"%4\"/></linearGradient>\n")
                    .arg(id, Number(Canvas), s.top.name(), s.bottom.name());
            fill = QStringLiteral("url(#%1)").arg(id);
        }
        body += QStringLiteral("<path d=\"%1\" fill=\"%2\"").arg(SvgPath(s.path), fill);
        if (s.stroke.isValid())
            body += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linecap=\"round\" "
                                   "stroke-linejoin=\"round\"")
                        .arg(s.stroke.name(), Number(s.strokeWidth));
        body += QStringLiteral("/>\n");
    }
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">\n<defs>\n%2</defs>\n%3</svg>\n")
        .arg(Number(Canvas), defs, body);
}

QImage Png(const QList<Shape> &shapes, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Canvas, size / Canvas);
    for (const Shape &s : shapes) {
        if (s.top.isValid()) {
            QLinearGradient gradient(0, 0, 0, Canvas);
            gradient.setColorAt(0, s.top);
            gradient.setColorAt(1, s.bottom);
            painter.setBrush(gradient);
        } else {
            painter.setBrush(Qt::NoBrush);
        }
        painter.setPen(s.stroke.isValid()
                           ? QPen(s.stroke, s.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                           : QPen(Qt::NoPen));
        painter.drawPath(s.path);
    }
    return image;
}

bool Write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: qvr-icon FOLDER NAME\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QList<Shape> shapes = IconShapes();
    bool ok =
        folder.mkpath(QStringLiteral(".")) && Write(folder.filePath(name + ".svg"), Svg(shapes).toUtf8());
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString sized = QStringLiteral("%1x%1").arg(size);
        ok = ok && folder.mkpath(sized) &&
             Png(shapes, size).save(folder.filePath(sized + "/" + name + ".png"));
    }
    if (!ok) {
        std::fprintf(stderr, "qvr-icon: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
