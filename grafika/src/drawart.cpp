// Draws the program's pictures: the window icon, the black-and-white print logo and the frames of the
// progress animation. Not part of the build; grafika/src/make-art.sh compiles and runs it and turns the
// frames into progress.gif, and the results are checked in so the program needs none of these tools.

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>

namespace {

const QColor slate(0x34, 0x42, 0x4d);
const QColor slateDark(0x24, 0x2e, 0x36);
const QColor cream(0xf1, 0xea, 0xdc);
const QColor amber(0xc9, 0x8d, 0x3c);
const QColor amberDark(0xa8, 0x6f, 0x2a);
const QColor wood(0x7a, 0x58, 0x3e);
const QColor woodDark(0x5c, 0x41, 0x2d);
// The progress overlay's background in style.css; the animation is blended onto it before the
// background is keyed out, so its soft edges match the overlay.
const QColor overlay(0xf5, 0xf2, 0xec);

// A wine-style bottle standing on `bottom`, centred on `cx`: body, rounded shoulders, neck and lip.
QPainterPath bottlePath(qreal cx, qreal bottom, qreal bodyWidth, qreal height)
{
    const qreal w = bodyWidth / 2;
    const qreal neck = bodyWidth * 0.17;
    const qreal bodyTop = bottom - height * 0.56;
    const qreal shoulderTop = bottom - height * 0.74;
    const qreal top = bottom - height;
    const qreal r = bodyWidth * 0.12;

    QPainterPath p;
    p.moveTo(cx - w + r, bottom);
    p.lineTo(cx + w - r, bottom);
    p.quadTo(cx + w, bottom, cx + w, bottom - r);
    p.lineTo(cx + w, bodyTop);
    p.cubicTo(cx + w, shoulderTop + (bodyTop - shoulderTop) * 0.2, cx + neck, bodyTop - (bodyTop - shoulderTop) * 0.6,
              cx + neck, shoulderTop);
    p.lineTo(cx + neck, top);
    p.lineTo(cx - neck, top);
    p.lineTo(cx - neck, shoulderTop);
    p.cubicTo(cx - neck, bodyTop - (bodyTop - shoulderTop) * 0.6, cx - w, shoulderTop + (bodyTop - shoulderTop) * 0.2,
              cx - w, bodyTop);
    p.lineTo(cx - w, bottom - r);
    p.quadTo(cx - w, bottom, cx - w + r, bottom);
    p.closeSubpath();
    return p;
}

bool save(const QImage &image, const QString &path)
{
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    // Tile
    QLinearGradient tile(0, 8, 0, 248);
    tile.setColorAt(0, slate);
    tile.setColorAt(1, slateDark);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 46, 46);

    // Scale: a platform on a wooden base with a small amber display.
    p.setBrush(wood);
    QPainterPath base;
    base.moveTo(62, 196);
    base.lineTo(194, 196);
    base.lineTo(206, 226);
    base.quadTo(208, 232, 200, 232);
    base.lineTo(56, 232);
    base.quadTo(48, 232, 50, 226);
    base.closeSubpath();
    p.drawPath(base);
    p.setBrush(amber);
    p.drawRoundedRect(QRectF(106, 206, 44, 16), 4, 4);
    p.setBrush(cream);
    p.drawRoundedRect(QRectF(34, 182, 188, 16), 8, 8);

    // Bottle: glass with amber contents, a label band and a highlight.
    const QPainterPath bottle = bottlePath(128, 182, 78, 150);
    p.setBrush(QColor(0xe9, 0xe0, 0xcc));
    p.drawPath(bottle);
    p.save();
    p.setClipPath(bottle);
    QLinearGradient liquid(0, 100, 0, 182);
    liquid.setColorAt(0, amber);
    liquid.setColorAt(1, amberDark);
    p.setBrush(liquid);
    p.drawRect(QRectF(80, 104, 100, 80));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(97, 110, 10, 62), 5, 5);
    p.restore();
    p.setBrush(woodDark);
    p.drawRoundedRect(QRectF(113, 28, 30, 14), 3, 3);
    return image;
}

QImage drawLogo()
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(230);
    font.setWeight(QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    const QString word = QStringLiteral("Quarmel");

    QPainterPath text;
    text.addText(0, 0, font, word);
    const QRectF textBox = text.boundingRect();

    const qreal markWidth = 150;
    const qreal gap = 44;
    const qreal margin = 20;
    const int width = qCeil(margin + markWidth + gap + textBox.width() + margin);
    const qreal baseline = 252; // top of the platform under the bottle
    const qreal textBaseline = baseline + 20;
    const int height = qCeil(textBaseline + qMax(textBox.bottom(), 0.0) + margin);

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);

    // Mark: bottle on a platform, its label cut out so that it reads in pure black and white.
    const qreal cx = margin + markWidth / 2;
    p.drawRoundedRect(QRectF(margin, baseline, markWidth, 20), 10, 10);
    QPainterPath bottle = bottlePath(cx, baseline - 10, 104, 226);
    QPainterPath band;
    band.addRoundedRect(QRectF(cx - 34, baseline - 104, 68, 48), 6, 6);
    p.drawPath(bottle.subtracted(band));

    // Wordmark, its baseline level with the bottom of the platform.
    p.translate(margin + markWidth + gap - textBox.left(), textBaseline);
    p.drawPath(text);
    p.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

// One frame of a bottle whose contents rise and fall gently; `t` runs from 0 to 1 over the loop.
QImage drawProgressFrame(qreal t)
{
    const int size = 64;
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(overlay);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const QPainterPath bottle = bottlePath(32, 58, 30, 54);
    const qreal level = 0.5 - 0.36 * qCos(2 * M_PI * t); // 0.14 .. 0.86 of the fill height
    const qreal fillTop = 57, fillBottom = 58 - 0.74 * 54;
    const qreal surface = fillTop - (fillTop - fillBottom) * level;

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xfb, 0xf9, 0xf5));
    p.drawPath(bottle);

    p.save();
    p.setClipPath(bottle);
    QPainterPath liquid;
    liquid.moveTo(0, 64);
    for (int x = 0; x <= 64; x += 2)
        liquid.lineTo(x, surface + 1.4 * qSin(2 * M_PI * (x / 22.0 - 2 * t)));
    liquid.lineTo(64, 64);
    liquid.closeSubpath();
    p.setBrush(amber);
    p.drawPath(liquid);
    p.restore();

    QPen outline(slate, 2.6);
    outline.setJoinStyle(Qt::RoundJoin);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawPath(bottle);
    p.setPen(Qt::NoPen);
    p.setBrush(slate);
    p.drawRoundedRect(QRectF(27.5, 3, 9, 5), 1.5, 1.5);
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: drawart GRAFIKA_DIR FRAME_DIR\n");
        return 2;
    }
    const QDir out(args.at(1));
    const QDir frames(args.at(2));

    bool ok = save(drawIcon(256), out.filePath(QStringLiteral("iconQuarmel.png")));
    ok = save(drawLogo(), out.filePath(QStringLiteral("logoBW.png"))) && ok;
    const int frameCount = 36;
    for (int i = 0; i < frameCount && ok; ++i) {
        const QString name = QStringLiteral("frame%1.png").arg(i, 2, 10, QLatin1Char('0'));
        ok = save(drawProgressFrame(qreal(i) / frameCount), frames.filePath(name));
    }
    return ok ? 0 : 1;
}
