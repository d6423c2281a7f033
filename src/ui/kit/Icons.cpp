#include "ui/kit/Icons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace, as the resource macro needs.
static void initResources()
{
    // The drawings live in a static library: nothing would pull them in.
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

QString pathOf(const QString &name)
{
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

} // namespace

bool Icons::exists(const QString &name)
{
    initResources();
    return QFile::exists(pathOf(name));
}

QPixmap Icons::pixmap(const QString &name, QSize size, const QColor &colour, qreal devicePixelRatio)
{
    initResources();
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1/%2x%3/%4/%5")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(colour.rgba())
                            .arg(devicePixelRatio);
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;

    QSvgRenderer renderer(pathOf(name));
    if (!renderer.isValid() || size.isEmpty())
        return {};
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
        // The drawing's own colour only says where the ink goes.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), colour);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    QPixmap result = QPixmap::fromImage(std::move(image));
    cache.insert(key, result);
    return result;
}

QIcon Icons::icon(const QString &name, const QColor &colour, const QColor &disabledColour, QSize size)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        icon.addPixmap(pixmap(name, size, colour, ratio), QIcon::Normal);
        icon.addPixmap(pixmap(name, size, disabledColour, ratio), QIcon::Disabled);
    }
    return icon;
}
