#include "composition_picture.h"

#include "common/twips.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace norvanta {

namespace {

constexpr double kPngDpi = 192;
constexpr double kSvgDpi = 96;
constexpr double kMetresPerInch = 0.0254;

void drawPicture(const RecordingCanvas& picture, QPaintDevice& device)
{
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    PainterCanvas canvas(painter);
    // A picture that does not clear its area first still gets the white ground.
    canvas.clear();
    picture.replay(canvas);
}

} // namespace

QByteArray picturePng(const RecordingCanvas& picture, QSizeF twips)
{
    QImage image(twipsToPixels(twips.width(), kPngDpi), twipsToPixels(twips.height(), kPngDpi),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(kPngDpi / kMetresPerInch)));
    image.setDotsPerMeterY(int(std::lround(kPngDpi / kMetresPerInch)));
    drawPicture(picture, image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray pictureSvg(const RecordingCanvas& picture, QSizeF twips)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size(twipsToPixels(twips.width(), kSvgDpi), twipsToPixels(twips.height(), kSvgDpi));
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(int(kSvgDpi));
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QStringLiteral("Norvanta"));
    drawPicture(picture, generator);
    return bytes;
}

} // namespace norvanta
