#include "demo/DemoPageImage.h"

#include <algorithm>

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>

#include "demo/DemoRandom.h"

namespace {

// Seven-segment digits, so that no font is needed to number a page.
void drawNumber(QPainter &painter, int number, const QRect &box)
{
    static const unsigned char segments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    const QString digits = QString::number(number);
    const int w = box.height() / 2;
    const int gap = w / 2;
    int x = box.center().x() - (int(digits.size()) * (w + gap) - gap) / 2;
    const int y = box.top();
    const int h = box.height();
    painter.setPen(QPen(Qt::black, std::max(2, h / 8), Qt::SolidLine, Qt::RoundCap));
    for (QChar c : digits) {
        const unsigned char s = segments[c.digitValue()];
        const QPoint tl(x, y), tr(x + w, y), ml(x, y + h / 2), mr(x + w, y + h / 2), bl(x, y + h),
            br(x + w, y + h);
        const QLine lines[7] = {{tl, tr}, {tr, mr}, {mr, br}, {bl, br}, {ml, bl}, {tl, ml}, {ml, mr}};
        for (int i = 0; i < 7; ++i)
            if (s & (1 << i))
                painter.drawLine(lines[i]);
        x += w + gap;
    }
}

void drawTextStrokes(QPainter &painter, const QRect &area, DemoRandom &random)
{
    const int lineHeight = std::max(6, area.height() / 7);
    painter.setPen(QPen(QColor(25, 25, 25), std::max(2, lineHeight / 3), Qt::SolidLine, Qt::RoundCap));
    for (int y = area.top() + lineHeight / 2; y < area.bottom() - lineHeight / 2; y += lineHeight) {
        int x = area.left();
        while (x < area.right() - 10) {
            const int word = random.range(area.width() / 10, area.width() / 4);
            painter.drawLine(x, y, std::min(area.right(), x + word), y);
            x += word + lineHeight / 2;
        }
    }
}

void drawPanel(QPainter &painter, const QRect &panel, DemoRandom &random)
{
    const int border = std::max(3, panel.width() / 120);
    painter.setClipRect(panel);
    if (random.chance(0.3)) {
        const int shade = random.range(30, 90);
        painter.fillRect(panel, QColor(shade, shade, shade));
        // Light shapes on the dark ground: figures seen against the night.
        painter.setBrush(QColor(200, 200, 200));
        painter.setPen(Qt::NoPen);
        for (int i = random.range(1, 3); i > 0; --i) {
            const int r = random.range(panel.height() / 8, panel.height() / 3);
            painter.drawEllipse(
                QPoint(random.range(panel.left(), panel.right()), random.range(panel.top(), panel.bottom())),
                r, r);
        }
    } else {
        // Hatching, as a background of ink lines.
        painter.setPen(QPen(QColor(60, 60, 60), 1));
        const int step = random.range(6, 14);
        for (int x = panel.left() - panel.height(); x < panel.right(); x += step)
            if (random.chance(0.5))
                painter.drawLine(x, panel.bottom(), x + panel.height() / 3,
                                 panel.bottom() - panel.height() / 3);
    }
    // A speech bubble with a few lines of "text".
    if (panel.width() > 120 && panel.height() > 120 && random.chance(0.8)) {
        const int bw = random.range(panel.width() / 3, panel.width() * 2 / 3);
        const int bh = random.range(panel.height() / 4, panel.height() / 2);
        const QRect bubble(random.range(panel.left() + 10, panel.right() - bw - 10),
                           random.range(panel.top() + 10, panel.bottom() - bh - 10), bw, bh);
        painter.setBrush(Qt::white);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawEllipse(bubble);
        drawTextStrokes(painter, bubble.adjusted(bw / 5, bh / 5, -bw / 5, -bh / 5), random);
    }
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, border));
    painter.drawRect(panel.adjusted(border / 2, border / 2, -(border + 1) / 2, -(border + 1) / 2));
}

QByteArray encode(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

} // namespace

DemoPageGeometry DemoPageImage::geometry(std::uint64_t seed, int book, int chapter, int page)
{
    DemoRandom random(seed, {2, std::uint64_t(book), std::uint64_t(chapter), std::uint64_t(page)});
    DemoPageGeometry g;
    g.width = random.range(800, 1400);
    g.height = std::min(2000, std::max(1200, int(g.width * (1.35 + random.unit() * 0.2))));
    g.left = int(g.width * (0.02 + random.unit() * 0.1));
    g.right = int(g.width * (0.02 + random.unit() * 0.1));
    g.top = int(g.height * (0.03 + random.unit() * 0.03));
    g.bottom = int(g.height * (0.05 + random.unit() * 0.03));
    g.frame = random.chance(0.4);
    return g;
}

QImage DemoPageImage::render(std::uint64_t seed, int book, int chapter, int page)
{
    const DemoPageGeometry g = geometry(seed, book, chapter, page);
    DemoRandom random(seed, {3, std::uint64_t(book), std::uint64_t(chapter), std::uint64_t(page)});
    QImage image(g.width, g.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);

    const QRect content(g.left, g.top, g.width - g.left - g.right, g.height - g.top - g.bottom);
    QRect drawing = content;
    if (g.frame) {
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(content.adjusted(1, 1, -1, -1));
        drawing = content.adjusted(12, 12, -12, -12);
    }
    const int gutter = std::max(8, g.width / 60);
    const int rows = random.range(2, 4);
    int y = drawing.top();
    for (int row = 0; row < rows; ++row) {
        const int remaining = drawing.bottom() - y;
        const int h = row == rows - 1 ? remaining
                                      : random.range(remaining / (rows - row + 1), remaining / (rows - row));
        const int columns = random.range(1, 3);
        int x = drawing.left();
        for (int column = 0; column < columns; ++column) {
            const int rest = drawing.right() - x;
            const int w = column == columns - 1
                              ? rest + 1
                              : random.range(rest / (columns - column + 1), rest / (columns - column));
            drawPanel(painter, QRect(x, y, w, h - gutter), random);
            x += w + gutter;
        }
        y += h;
    }
    const int numberHeight = std::min(g.bottom * 2 / 3, g.height / 40);
    drawNumber(painter, page,
               QRect(content.left(), g.height - g.bottom + (g.bottom - numberHeight) / 2, content.width(),
                     numberHeight));
    painter.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

QByteArray DemoPageImage::encoded(std::uint64_t seed, int book, int chapter, int page, bool png)
{
    const QImage image = render(seed, book, chapter, page);
    return png ? encode(image, "PNG", -1) : encode(image, "JPEG", 85);
}

QByteArray DemoPageImage::cover(std::uint64_t seed, int book)
{
    DemoRandom random(seed, {4, std::uint64_t(book)});
    QImage image(200, 300, QImage::Format_RGB32);
    const int shade = random.range(40, 120);
    image.fill(QColor(shade, shade / 2 + 40, 160 - shade / 2));
    QPainter painter(&image);
    drawPanel(painter, QRect(20, 60, 160, 200), random);
    painter.fillRect(QRect(20, 18, 160, 28), Qt::white);
    drawTextStrokes(painter, QRect(28, 22, 144, 20), random);
    painter.end();
    return encode(image, "JPEG", 85);
}
