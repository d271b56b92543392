// Draws every picture Quillon ships: the five button kinds in their three looks, the eight label
// pictures and the application icon, each at normal and double density, plus the icon as SVG.
// The output is committed under resources/; run this again after changing a drawing:
//     build/bin/quillon-drawpictures resources
// The same drawing code writes the SVG and the PNG sizes of the icon, so they cannot drift apart.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

// One filled and/or outlined shape in a picture's own coordinates.
struct Shape
{
    QPainterPath path;
    QColor fill = Qt::transparent;
    std::optional<QLinearGradient> gradient; // replaces fill when set
    QColor stroke = Qt::transparent;
    qreal strokeWidth = 0;
};

struct Picture
{
    int width = 0;
    int height = 0;
    QList<Shape> shapes;
    qreal opacity = 1.0; // applied to the whole picture (the disabled look)
};

QLinearGradient vertical(qreal top, qreal bottom, QColor a, QColor b)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QImage render(const Picture& picture, int scale)
{
    QImage image(picture.width * scale, picture.height * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(2835 * scale);
    image.setDotsPerMeterY(2835 * scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.setOpacity(picture.opacity);
    for (const Shape& shape : picture.shapes) {
        if (shape.gradient)
            painter.setBrush(*shape.gradient);
        else
            painter.setBrush(shape.fill);
        if (shape.strokeWidth > 0 && shape.stroke.alpha() > 0)
            painter.setPen(
                QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            painter.setPen(Qt::NoPen);
        painter.drawPath(shape.path);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString svgColour(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

QString svgNumber(qreal v)
{
    return QString::number(std::round(v * 1000) / 1000, 'g', 10);
}

QString svgPath(const QPainterPath& path)
{
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(svgNumber(e.x), svgNumber(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(svgNumber(e.x), svgNumber(e.y));
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element to = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(svgNumber(e.x), svgNumber(e.y), svgNumber(c2.x), svgNumber(c2.y),
                          svgNumber(to.x), svgNumber(to.y));
            i += 2;
        }
    }
    return d;
}

QByteArray toSvg(const Picture& picture)
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << picture.width << "\" height=\""
      << picture.height << "\" viewBox=\"0 0 " << picture.width << ' ' << picture.height
      << "\">\n<defs>\n";
    for (int i = 0; i < picture.shapes.size(); ++i) {
        if (!picture.shapes[i].gradient)
            continue;
        const QLinearGradient& g = *picture.shapes[i].gradient;
        s << "<linearGradient id=\"g" << i << "\" gradientUnits=\"userSpaceOnUse\" x1=\""
          << svgNumber(g.start().x()) << "\" y1=\"" << svgNumber(g.start().y()) << "\" x2=\""
          << svgNumber(g.finalStop().x()) << "\" y2=\"" << svgNumber(g.finalStop().y()) << "\">";
        for (const auto& stop : g.stops())
            s << "<stop offset=\"" << svgNumber(stop.first) << "\" stop-color=\""
              << svgColour(stop.second) << "\" stop-opacity=\"" << svgNumber(stop.second.alphaF())
              << "\"/>";
        s << "</linearGradient>\n";
    }
    s << "</defs>\n";
    for (int i = 0; i < picture.shapes.size(); ++i) {
        const Shape& shape = picture.shapes[i];
        s << "<path d=\"" << svgPath(shape.path) << '"';
        if (shape.gradient)
            s << " fill=\"url(#g" << i << ")\"";
        else if (shape.fill.alpha() > 0)
            s << " fill=\"" << svgColour(shape.fill) << "\" fill-opacity=\""
              << svgNumber(shape.fill.alphaF()) << '"';
        else
            s << " fill=\"none\"";
        if (shape.path.fillRule() == Qt::OddEvenFill)
            s << " fill-rule=\"evenodd\"";
        if (shape.strokeWidth > 0 && shape.stroke.alpha() > 0)
            s << " stroke=\"" << svgColour(shape.stroke) << "\" stroke-opacity=\""
              << svgNumber(shape.stroke.alphaF()) << "\" stroke-width=\""
              << svgNumber(shape.strokeWidth)
              << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
        s << "/>\n";
    }
    s << "</svg>\n";
    return out.toUtf8();
}

// ---- button pictures: 24 x 24, a rounded grey key with a dark glyph ----

constexpr int kButtonSize = 24;

enum class Look
{
    Normal,
    Pressed,
    Disabled
};

QPainterPath glyph(const QString& kind)
{
    QPainterPath p;
    const qreal c = kButtonSize / 2.0;
    if (kind == QLatin1String("Add")) {
        p.addRect(c - 5, c - 1, 10, 2);
        p.addRect(c - 1, c - 5, 2, 10);
        p.setFillRule(Qt::WindingFill);
    } else if (kind == QLatin1String("Remove")) {
        p.addRect(c - 5, c - 1, 10, 2);
    } else if (kind == QLatin1String("Edit")) {
        // A pencil lying from the lower left to the upper right.
        QPainterPath pencil;
        pencil.moveTo(-6.5, -1.4);
        pencil.lineTo(4, -1.4);
        pencil.lineTo(6.5, 0);
        pencil.lineTo(4, 1.4);
        pencil.lineTo(-6.5, 1.4);
        pencil.closeSubpath();
        QTransform t;
        t.translate(c, c);
        t.rotate(-45);
        p = t.map(pencil);
    } else if (kind == QLatin1String("Action")) {
        // A gear: eight teeth around a ring.
        QPainterPath gear;
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const qreal a0 = (i - 0.5) * M_PI / teeth;
            const qreal a1 = (i + 0.5) * M_PI / teeth;
            const qreal r = (i % 2 == 0) ? 6.2 : 4.6;
            const QPointF p0(c + r * std::cos(a0), c + r * std::sin(a0));
            const QPointF p1(c + r * std::cos(a1), c + r * std::sin(a1));
            if (i == 0)
                gear.moveTo(p0);
            else
                gear.lineTo(p0);
            gear.lineTo(p1);
        }
        gear.closeSubpath();
        gear.addEllipse(QPointF(c, c), 2, 2);
        gear.setFillRule(Qt::OddEvenFill);
        p = gear;
    } else if (kind == QLatin1String("Path")) {
        // A folder.
        p.moveTo(c - 6.5, c - 4.5);
        p.lineTo(c - 2, c - 4.5);
        p.lineTo(c - 0.5, c - 3);
        p.lineTo(c + 6.5, c - 3);
        p.lineTo(c + 6.5, c + 4.5);
        p.lineTo(c - 6.5, c + 4.5);
        p.closeSubpath();
    }
    return p;
}

Picture buttonPicture(const QString& kind, Look look)
{
    Picture pic;
    pic.width = kButtonSize;
    pic.height = kButtonSize;
    QPainterPath key;
    key.addRoundedRect(QRectF(0.5, 0.5, kButtonSize - 1, kButtonSize - 1), 4, 4);
    Shape base;
    base.path = key;
    if (look == Look::Pressed) {
        base.gradient =
            vertical(0, kButtonSize, QColor(0xb4, 0xb8, 0xbf), QColor(0xcf, 0xd2, 0xd8));
        base.stroke = QColor(0x6e, 0x73, 0x7b);
    } else {
        base.gradient =
            vertical(0, kButtonSize, QColor(0xfc, 0xfc, 0xfd), QColor(0xdf, 0xe1, 0xe5));
        base.stroke = QColor(0x98, 0x9c, 0xa3);
    }
    base.strokeWidth = 1;
    pic.shapes << base;

    Shape mark;
    mark.path = glyph(kind);
    mark.fill = look == Look::Pressed ? QColor(0x1d, 0x20, 0x25) : QColor(0x3a, 0x3f, 0x47);
    if (kind == QLatin1String("Path")) {
        mark.fill = Qt::transparent;
        mark.stroke = look == Look::Pressed ? QColor(0x1d, 0x20, 0x25) : QColor(0x3a, 0x3f, 0x47);
        mark.strokeWidth = 1.5;
    }
    pic.shapes << mark;
    if (look == Look::Disabled)
        pic.opacity = 0.4;
    return pic;
}

// ---- label pictures: 10 x 10 dots in the label colours; "all" is an empty ring ----

constexpr int kLabelSize = 10;

Picture labelPicture(const QColor& colour)
{
    Picture pic;
    pic.width = kLabelSize;
    pic.height = kLabelSize;
    Shape dot;
    dot.path.addEllipse(QRectF(0.75, 0.75, kLabelSize - 1.5, kLabelSize - 1.5));
    if (colour.isValid()) {
        dot.gradient = vertical(0, kLabelSize, colour.lighter(125), colour);
        dot.stroke = colour.darker(135);
    } else {
        dot.fill = QColor(0xff, 0xff, 0xff);
        dot.stroke = QColor(0x8a, 0x8e, 0x96);
    }
    dot.strokeWidth = 1;
    pic.shapes << dot;
    return pic;
}

// ---- the application icon: a photograph with a quill across it, 256 x 256 ----

Picture iconPicture()
{
    Picture pic;
    pic.width = 256;
    pic.height = 256;

    Shape card;
    card.path.addRoundedRect(QRectF(22, 38, 188, 164), 14, 14);
    card.fill = QColor(0xfb, 0xfb, 0xf8);
    card.stroke = QColor(0x5b, 0x64, 0x70);
    card.strokeWidth = 6;
    pic.shapes << card;

    Shape sky;
    sky.path.addRect(QRectF(38, 54, 156, 132));
    sky.gradient = vertical(54, 186, QColor(0x4f, 0x9c, 0xe8), QColor(0xbf, 0xe2, 0xfb));
    pic.shapes << sky;

    Shape sun;
    sun.path.addEllipse(QPointF(158, 88), 16, 16);
    sun.fill = QColor(0xff, 0xd2, 0x4a);
    pic.shapes << sun;

    Shape hill;
    hill.path.moveTo(38, 186);
    hill.path.lineTo(38, 150);
    hill.path.cubicTo(70, 118, 96, 126, 120, 148);
    hill.path.cubicTo(142, 130, 170, 124, 194, 140);
    hill.path.lineTo(194, 186);
    hill.path.closeSubpath();
    hill.gradient = vertical(124, 186, QColor(0x5c, 0xbf, 0x62), QColor(0x2f, 0x86, 0x3c));
    pic.shapes << hill;

    // The feather: a leaf-like vane from the nib (lower left) to the tip (upper right).
    Shape vane;
    vane.path.moveTo(92, 214);
    vane.path.cubicTo(120, 150, 170, 70, 238, 16);
    vane.path.cubicTo(226, 78, 178, 150, 104, 214);
    vane.path.closeSubpath();
    QLinearGradient vaneColours(92, 214, 238, 16);
    vaneColours.setColorAt(0, QColor(0xe9, 0x6a, 0x2b));
    vaneColours.setColorAt(1, QColor(0xf7, 0xb3, 0x4c));
    vane.gradient = vaneColours;
    vane.stroke = QColor(0x8a, 0x35, 0x10);
    vane.strokeWidth = 4;
    pic.shapes << vane;

    Shape shaft;
    shaft.path.moveTo(82, 240);
    shaft.path.cubicTo(120, 160, 170, 90, 234, 22);
    shaft.stroke = QColor(0x5a, 0x22, 0x08);
    shaft.strokeWidth = 5;
    pic.shapes << shaft;
    return pic;
}

bool writeImage(const QImage& image, const QString& path, const QByteArray& format)
{
    QImageWriter writer(path, format);
    if (format == "tif")
        writer.setCompression(1); // LZW
    else
        writer.setQuality(0); // smallest file; PNG is lossless whatever the level
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool writeBoth(const Picture& picture, const QString& base, const QByteArray& format)
{
    return writeImage(render(picture, 1), base + QLatin1Char('.') + format, format) &&
           writeImage(render(picture, 2), base + QStringLiteral("@2x.") + format, format);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon-drawpictures OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"buttonimages", "labels", "icons"})
        if (!out.mkpath(QLatin1String(sub))) {
            std::fprintf(stderr, "cannot make %s/%s\n", argv[1], sub);
            return 1;
        }

    bool ok = true;
    for (const char* kind : {"Action", "Edit", "Add", "Remove", "Path"}) {
        const QString k = QLatin1String(kind);
        const QString base = out.filePath(QStringLiteral("buttonimages/") + k);
        ok = ok && writeBoth(buttonPicture(k, Look::Normal), base, "tif");
        ok = ok &&
             writeBoth(buttonPicture(k, Look::Pressed), base + QStringLiteral("_Pressed"), "tif");
        ok = ok &&
             writeBoth(buttonPicture(k, Look::Disabled), base + QStringLiteral("_Disabled"), "tif");
    }

    const struct
    {
        const char* name;
        QColor colour;
    } labels[] = {
        {"all", QColor()},
        {"red", QColor(0xf2, 0x4b, 0x46)},
        {"orange", QColor(0xf7, 0x94, 0x2b)},
        {"yellow", QColor(0xf2, 0xc9, 0x27)},
        {"green", QColor(0x52, 0xbd, 0x4a)},
        {"blue", QColor(0x3b, 0x8e, 0xf0)},
        {"purple", QColor(0xb0, 0x6c, 0xd6)},
        {"gray", QColor(0x98, 0x98, 0x9d)},
    };
    for (const auto& label : labels)
        ok = ok &&
             writeBoth(labelPicture(label.colour),
                       out.filePath(QStringLiteral("labels/") + QLatin1String(label.name)), "png");

    const Picture icon = iconPicture();
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        QImage image =
            render(icon, 4).scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        ok = ok && writeImage(image, out.filePath(QStringLiteral("icons/quillon-%1.png").arg(size)),
                              "png");
    }
    QFile svg(out.filePath(QStringLiteral("icons/quillon.svg")));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(toSvg(icon)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        ok = false;
    }
    return ok ? 0 : 1;
}
