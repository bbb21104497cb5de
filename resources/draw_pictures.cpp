// Draws the five pictures the window shows. Run with an output folder:
//   QT_QPA_PLATFORM=offscreen draw_pictures <folder>
// Everything is painted here so the pictures can be redrawn and reviewed as code.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QTextStream>

#include <cmath>

namespace {

const QColor kNavy(0x00, 0x00, 0x80);
const QColor kAmber(0xE0, 0x7A, 0x10);
const QColor kInk(0x1E, 0x24, 0x3A);

QImage blankImage(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void prepare(QPainter &p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont sansFont(const QString &family, int pixels, int weight) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setKerning(true);
    // Full hinting would snap outlines differently per machine; keep glyph shapes exact.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Text as a path so it can be centred on its ink, not on the font's line box.
QPainterPath textPath(const QString &text, const QFont &font) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

QPainterPath centredOn(const QPainterPath &path, QPointF centre) {
    const QRectF ink = path.boundingRect();
    return path.translated(centre - ink.center());
}

// A normal density scaled to a given peak height, sampled finely enough to look smooth.
QPainterPath bell(double mean, double sd, double peak, double baseY, double x0, double x1,
                  bool closed) {
    QPainterPath path;
    const int steps = 160;
    for (int i = 0; i <= steps; ++i) {
        const double x = x0 + (x1 - x0) * i / steps;
        const double z = (x - mean) / sd;
        const double y = baseY - peak * std::exp(-0.5 * z * z);
        if (i == 0) {
            if (closed)
                path.moveTo(x, baseY);
            else
                path.moveTo(x, y);
        }
        path.lineTo(x, y);
    }
    if (closed) {
        path.lineTo(x1, baseY);
        path.closeSubpath();
    }
    return path;
}

void drawArrowHead(QPainter &p, QPointF tip, double dir, const QColor &c) {
    const double len = 5.0;
    const double half = 3.2;
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip.x() - dir * len, tip.y() - half);
    head.lineTo(tip.x() - dir * len, tip.y() + half);
    head.closeSubpath();
    p.fillPath(head, c);
}

QImage drawLogo() {
    // 132x133 file, but it is also shown in a 129-high box: the last rows stay empty.
    QImage img = blankImage(132, 133);
    QPainter p(&img);
    prepare(p);

    const QRectF tile(1.5, 1.5, 129.0, 125.0);
    QLinearGradient bg(tile.topLeft(), tile.bottomLeft());
    bg.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    bg.setColorAt(1.0, QColor(0xE6, 0xEB, 0xF7));
    p.setPen(QPen(QColor(0x8E, 0x9A, 0xC4), 1.0));
    p.setBrush(bg);
    p.drawRoundedRect(tile, 16, 16);

    const double baseY = 100.5;
    const double left = 10.0;
    const double right = 122.0;
    const double peak = 56.0;
    const double sd = 13.5;
    const double m1 = 52.0;
    const double m2 = 80.0;

    // Light grid lines behind the curves read as a chart, not a decoration.
    p.setPen(QPen(QColor(0xD3, 0xDA, 0xEC), 1.0));
    for (double y = baseY - 20.0; y > 30.0; y -= 20.0)
        p.drawLine(QPointF(left, y), QPointF(right, y));

    QColor navyFill = kNavy;
    navyFill.setAlphaF(0.30f);
    QColor amberFill = kAmber;
    amberFill.setAlphaF(0.35f);

    p.setPen(Qt::NoPen);
    p.fillPath(bell(m1, sd, peak, baseY, left, right, true), navyFill);
    p.fillPath(bell(m2, sd, peak, baseY, left, right, true), amberFill);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kNavy, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bell(m1, sd, peak, baseY, left, right, false));
    p.setPen(QPen(kAmber.darker(115), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bell(m2, sd, peak, baseY, left, right, false));

    // Dashed means and the span between them: the difference the tool is about.
    QPen dash(QColor(0x44, 0x4C, 0x6C), 1.0, Qt::DashLine);
    dash.setDashPattern({3.0, 2.0});
    p.setPen(dash);
    p.drawLine(QPointF(m1, baseY), QPointF(m1, baseY - peak - 6.0));
    p.drawLine(QPointF(m2, baseY), QPointF(m2, baseY - peak - 6.0));

    const double ay = baseY - peak - 3.0;
    p.setPen(QPen(kInk, 1.4));
    p.drawLine(QPointF(m1 + 4.0, ay), QPointF(m2 - 4.0, ay));
    drawArrowHead(p, QPointF(m1 + 0.5, ay), -1.0, kInk);
    drawArrowHead(p, QPointF(m2 - 0.5, ay), 1.0, kInk);

    // Baseline with a few score ticks.
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(left, baseY), QPointF(right, baseY));
    p.setPen(QPen(kInk, 1.0));
    for (double x = 24.0; x < right; x += 14.0)
        p.drawLine(QPointF(x, baseY), QPointF(x, baseY + 3.5));

    // "R" with a subscript "d" in the corner: the reliability of the difference.
    const QFont big = sansFont(QStringLiteral("DejaVu Serif"), 22, QFont::Bold);
    QFont small = sansFont(QStringLiteral("DejaVu Serif"), 13, QFont::Bold);
    small.setItalic(true);
    QPainterPath r = textPath(QStringLiteral("R"), big);
    QPainterPath d = textPath(QStringLiteral("d"), small);
    r.translate(12.0, 31.0);
    d.translate(12.0 + r.boundingRect().width() + 0.5, 35.0);
    p.setPen(Qt::NoPen);
    p.fillPath(r, kNavy);
    p.fillPath(d, kAmber.darker(115));

    // The caption names what is compared: the difference between the two scores.
    const QFont cap = sansFont(QStringLiteral("DejaVu Sans"), 10, QFont::DemiBold);
    QPainterPath label = centredOn(textPath(QStringLiteral("X \u2212 Y"), cap),
                                   QPointF(66.0, 115.5));
    p.fillPath(label, QColor(0x44, 0x4C, 0x6C));

    p.end();
    return img;
}

QImage drawWordmark() {
    QImage img = blankImage(145, 27);
    QPainter p(&img);
    prepare(p);
    QFont f = sansFont(QStringLiteral("DejaVu Sans"), 21, QFont::Bold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    QPainterPath word = textPath(QStringLiteral("Tembrisk"), f);
    // Centre horizontally on the ink; vertically centre the cap height so the
    // descender-free word sits in the middle.
    const QRectF ink = word.boundingRect();
    word.translate(72.5 - ink.center().x(), 13.5 - ink.center().y());
    p.fillPath(word, kNavy);
    p.end();
    return img;
}

QImage drawInfo() {
    QImage img = blankImage(72, 70);
    QPainter p(&img);
    prepare(p);

    const QPointF c(36.0, 26.0);
    const double radius = 23.0;

    // Soft shadow under the badge so it reads as something to press.
    QRadialGradient shade(QPointF(c.x(), c.y() + 2.0), radius + 2.5);
    shade.setColorAt(0.85, QColor(0, 0, 0, 60));
    shade.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QPointF(c.x(), c.y() + 2.0), radius + 2.5, radius + 2.5);

    QLinearGradient fill(QPointF(c.x(), c.y() - radius), QPointF(c.x(), c.y() + radius));
    fill.setColorAt(0.0, QColor(0x4A, 0x86, 0xE8));
    fill.setColorAt(1.0, QColor(0x12, 0x3C, 0x9C));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0x0B, 0x2A, 0x70), 1.0));
    p.drawEllipse(c, radius, radius);

    // Gloss on the upper half.
    QLinearGradient gloss(QPointF(c.x(), c.y() - radius), QPointF(c.x(), c.y()));
    gloss.setColorAt(0.0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QPointF(c.x(), c.y() - radius * 0.42), radius * 0.78, radius * 0.52);

    // The "i" is built from shapes: a font's "i" varies too much between machines.
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(c.x(), c.y() - 11.0), 3.6, 3.6);
    QPainterPath stem;
    stem.addRoundedRect(QRectF(c.x() - 3.2, c.y() - 4.0, 6.4, 18.0), 1.6, 1.6);
    p.drawPath(stem);
    // Small serif feet give it the familiar information-sign look.
    p.drawRoundedRect(QRectF(c.x() - 6.5, c.y() + 12.0, 13.0, 3.0), 1.2, 1.2);
    p.drawRoundedRect(QRectF(c.x() - 6.0, c.y() - 4.0, 4.0, 2.8), 1.0, 1.0);

    const QFont f = sansFont(QStringLiteral("DejaVu Sans"), 13, QFont::Bold);
    const QPainterPath help = centredOn(textPath(QStringLiteral("Help"), f), QPointF(36.0, 62.0));
    p.fillPath(help, kNavy);

    p.end();
    return img;
}

struct ButtonStyle {
    QColor top;
    QColor bottom;
    QColor border;
    QColor text;
    QColor textShadow;
};

QImage drawButton(int w, int h, const QString &label, const ButtonStyle &s) {
    QImage img = blankImage(w, h);
    QPainter p(&img);
    prepare(p);

    const double radius = 6.0;
    // Body leaves two rows at the bottom for the drop shadow, inside the canvas.
    const QRectF body(0.5, 0.5, w - 1.0, h - 3.0);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawRoundedRect(body.translated(0.0, 2.0), radius, radius);
    p.setBrush(QColor(0, 0, 0, 38));
    p.drawRoundedRect(body.translated(0.0, 1.0), radius, radius);

    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0.0, s.top);
    g.setColorAt(1.0, s.bottom);
    p.setBrush(g);
    p.setPen(QPen(s.border, 1.0));
    p.drawRoundedRect(body, radius, radius);

    // Inner highlight along the top edge gives the raised look.
    QPainterPath inner;
    inner.addRoundedRect(body.adjusted(1.0, 1.0, -1.0, -1.0), radius - 1.0, radius - 1.0);
    QLinearGradient hl(body.topLeft(), body.bottomLeft());
    hl.setColorAt(0.0, QColor(255, 255, 255, 110));
    hl.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(hl), 1.0));
    p.drawPath(inner);

    const QFont f = sansFont(QStringLiteral("DejaVu Sans"), 15, QFont::Bold);
    QPainterPath text = textPath(label, f);
    // Centre on the cap height (no descenders in either label) within the body.
    const QRectF ink = text.boundingRect();
    text.translate(body.center().x() - ink.center().x(),
                   std::round(body.center().y() - ink.center().y()));
    p.setPen(Qt::NoPen);
    p.fillPath(text.translated(0.0, 1.0), s.textShadow);
    p.fillPath(text, s.text);

    p.end();
    return img;
}

bool save(const QImage &img, const QDir &dir, const QString &name) {
    const QString path = dir.filePath(name);
    if (!img.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: draw_pictures <output folder>\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        QTextStream(stderr) << "no such folder: " << dir.path() << '\n';
        return 2;
    }

    const ButtonStyle primary{QColor(0x3A, 0x5F, 0xC8), QColor(0x0C, 0x22, 0x8A),
                              QColor(0x06, 0x14, 0x5C), Qt::white, QColor(0, 0, 40, 110)};
    const ButtonStyle neutral{QColor(0xFA, 0xFA, 0xFB), QColor(0xD4, 0xD7, 0xDE),
                              QColor(0x8A, 0x90, 0x9C), kInk, QColor(255, 255, 255, 200)};

    bool ok = true;
    ok = save(drawLogo(), dir, QStringLiteral("ImageSmall.png")) && ok;
    ok = save(drawWordmark(), dir, QStringLiteral("Tembrisk.png")) && ok;
    ok = save(drawInfo(), dir, QStringLiteral("Info.png")) && ok;
    ok = save(drawButton(106, 38, QStringLiteral("Compute"), primary), dir,
              QStringLiteral("Compute2.png")) && ok;
    ok = save(drawButton(106, 39, QStringLiteral("Clear"), neutral), dir,
              QStringLiteral("Clear2.png")) && ok;
    return ok ? 0 : 1;
}
