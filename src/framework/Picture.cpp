#include "framework/Picture.h"
#include "framework/Graphics.h"
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTransform>
#include <cmath>

namespace {

// image at 32 bits with alpha. An RGB32 image's pixels carry an opaque alpha already
// (0xffRRGGBB), so one held nowhere else is relabelled instead of passed over again.
QImage toArgb32(QImage image)
{
    if (image.format() == QImage::Format_ARGB32)
        return image;
    if (image.format() == QImage::Format_RGB32 && image.isDetached()
        && image.reinterpretAsFormat(QImage::Format_ARGB32))
        return image;
    return std::move(image).convertToFormat(QImage::Format_ARGB32);
}

bool hasTranslucentPixel(const QImage& image)
{
    // A row at a time, without a branch per pixel: the alpha bits of all its pixels ANDed.
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb all = 0xFFFFFFFFu;
        for (int x = 0; x < image.width(); ++x)
            all &= line[x];
        if (qAlpha(all) != 255)
            return true;
    }
    return false;
}

} // namespace

Picture::Picture(int width, int height, int depth)
    : m_image(std::max(width, 0), std::max(height, 0), QImage::Format_ARGB32), m_depth(depth)
{
    if (!m_image.isNull())
        m_image.fill(QColor(255, 255, 255));
    m_opacityRevision = m_revision;
    m_opaque = true;
}

Picture::Picture(const QImage& image) : m_image(toArgb32(image))
{
    // A picture from a file without alpha (a JPEG, most PNGs) is opaque without a look.
    if (!image.hasAlphaChannel()) {
        m_opacityRevision = m_revision;
        m_opaque = true;
    }
}

void Picture::takeOpacityOf(const Picture& source)
{
    // Known of the source's pixels, so known of these, which are made from them alone.
    if (source.m_opacityRevision == source.m_revision && source.m_opaque) {
        m_opaque = true;
        m_opacityRevision = m_revision;
    }
}

bool Picture::isOpaque() const
{
    if (m_opacityRevision != m_revision) {
        m_opaque = !hasTranslucentPixel(m_image);
        m_opacityRevision = m_revision;
    }
    return m_opaque;
}

Picture::~Picture() = default;

PicturePtr Picture::New(int width, int height, int depth)
{
    return std::make_shared<Picture>(width, height, depth);
}

PicturePtr Picture::FromImage(const QImage& image)
{
    return std::make_shared<Picture>(image);
}

PicturePtr Picture::OpenAsPicture(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return nullptr;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    const bool opaque = !image.hasAlphaChannel();
    auto picture = FromImage(toArgb32(std::move(image)));
    if (opaque) {
        picture->m_opacityRevision = picture->m_revision;
        picture->m_opaque = true;
    }
    return picture;
}

QSize Picture::FileSize(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QSize();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isValid() && (reader.transformation() & QImageIOHandler::TransformationRotate90))
        size.transpose();
    return size;
}

::Graphics& Picture::Graphics()
{
    if (!m_graphics)
        m_graphics = std::make_unique<::Graphics>(this);
    return *m_graphics;
}

PicturePtr Picture::Mask()
{
    if (m_mask)
        return m_mask;
    auto mask = New(Width(), Height());
    mask->m_image.fill(QColor(0, 0, 0));
    if (hasTranslucentPixel(m_image)) {
        // The mask takes over the image's own transparency.
        for (int y = 0; y < Height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            QRgb* maskLine = reinterpret_cast<QRgb*>(mask->m_image.scanLine(y));
            for (int x = 0; x < Width(); ++x) {
                const int grey = 255 - qAlpha(line[x]);
                maskLine[x] = qRgb(grey, grey, grey);
                line[x] = qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));
            }
        }
        Modified();
    }
    m_mask = mask;
    return m_mask;
}

void Picture::SetMask(const PicturePtr& mask)
{
    if (mask && (mask->Width() != Width() || mask->Height() != Height()))
        m_mask = mask->Scaled(Width(), Height());
    else
        m_mask = mask;
    Modified();
}

void Picture::SetTransparent(int mode)
{
    m_transparent = mode;
}

QColor Picture::Pixel(int x, int y) const
{
    if (!m_image.valid(x, y))
        return QColor(0, 0, 0);
    return QColor::fromRgba(m_image.pixel(x, y));
}

void Picture::SetPixel(int x, int y, const QColor& color)
{
    if (!m_image.valid(x, y))
        return;
    m_image.setPixel(x, y, color.rgba());
    Modified();
}

QImage Picture::Composited() const
{
    const uint64_t maskRevision = m_mask ? m_mask->Revision() : 0;
    if (!m_composited.isNull() && m_compositedRevision == m_revision
        && m_compositedMask == m_mask.get() && m_compositedMaskRevision == maskRevision
        && m_compositedTransparent == m_transparent)
        return m_composited;

    const bool whiteClear = m_transparent == 1;
    if (!m_mask && !whiteClear && isOpaque()) {
        // Opaque pixels read the same with or without their alpha, so the image itself is
        // shown as opaque RGB (drawn as a plain copy, no blending), without a second copy of
        // its pixels (a full-screen background would otherwise be kept twice). The view
        // holds a reference to the pixels it shows: a later change of the picture copies
        // them first, as any shared QImage does.
        auto* pixels = new QImage(m_image);
        m_composited = QImage(pixels->constBits(), pixels->width(), pixels->height(), pixels->bytesPerLine(),
                              QImage::Format_RGB32,
                              [](void* held) { delete static_cast<QImage*>(held); }, pixels);
    } else {
        m_composited = composite(whiteClear);
    }
    m_compositedRevision = m_revision;
    m_compositedMask = m_mask.get();
    m_compositedMaskRevision = maskRevision;
    m_compositedTransparent = m_transparent;
    return m_composited;
}

QImage Picture::composite(bool whiteClear) const
{
    QImage out = m_image.copy();
    if (m_mask || whiteClear) {
        const QImage* mask = m_mask ? &m_mask->Image() : nullptr;
        for (int y = 0; y < out.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            const QRgb* maskLine =
                mask && y < mask->height() ? reinterpret_cast<const QRgb*>(mask->constScanLine(y)) : nullptr;
            for (int x = 0; x < out.width(); ++x) {
                QRgb p = line[x];
                int alpha = qAlpha(p);
                if (whiteClear && (p & 0x00FFFFFF) == 0x00FFFFFF)
                    alpha = 0;
                if (maskLine && x < mask->width())
                    alpha = alpha * (255 - qGray(maskLine[x])) / 255;
                line[x] = qRgba(qRed(p), qGreen(p), qBlue(p), alpha);
            }
        }
    }
    return std::move(out).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

PicturePtr Picture::EnsureBitDepth32() const
{
    // Every picture is stored at 32 bits already. The copy shares the pixels until one of
    // the two is changed, so a full-screen picture is not held twice for nothing.
    auto copy = FromImage(m_image);
    copy->m_transparent = m_transparent;
    if (m_mask)
        copy->m_mask = FromImage(m_mask->Image());
    copy->takeOpacityOf(*this);
    return copy;
}

PicturePtr Picture::Scaled(int width, int height) const
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == 0 || height == 0 || m_image.isNull())
        return New(width, height);
    QImage pixels;
    const bool grows = width > m_image.width() && height > m_image.height();
    if (m_opacityRevision == m_revision && m_opaque && !grows) {
        // Known to be opaque: scaled as RGB, which gives the same pixels as scaling with
        // alpha and skips the passes that premultiply the source and divide the result
        // again (two to four times faster for a full-screen picture). A picture growing
        // both ways is drawn by a filter whose RGB and alpha forms round apart.
        const QImage rgb(m_image.constBits(), m_image.width(), m_image.height(), m_image.bytesPerLine(),
                         QImage::Format_RGB32);
        pixels = rgb.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        pixels = toArgb32(std::move(pixels));
    } else {
        pixels = m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    auto scaled = FromImage(pixels);
    scaled->m_transparent = m_transparent;
    if (m_mask)
        scaled->m_mask = m_mask->Scaled(width, height);
    scaled->takeOpacityOf(*this);   // blending opaque pixels gives opaque pixels
    return scaled;
}

PicturePtr Picture::Cropped(const QRect& area) const
{
    auto part = FromImage(m_image.copy(area));
    part->m_transparent = m_transparent;
    if (m_mask)
        part->m_mask = FromImage(m_mask->Image().copy(area));
    part->takeOpacityOf(*this);
    return part;
}

PicturePtr Picture::Rotated(double angle, const QColor& background) const
{
    // Degrees rounded to a millionth, so that quarter turns are exact.
    const double degrees = std::round(angle * 180.0 / M_PI * 1e6) / 1e6;
    QTransform turn;
    turn.rotate(degrees);
    const QImage source = Composited();
    const QRectF mapped = turn.mapRect(QRectF(source.rect()));
    const QSize bounds(int(std::ceil(mapped.width() - 1e-6)), int(std::ceil(mapped.height() - 1e-6)));
    auto result = New(bounds.width(), bounds.height());
    result->m_image.fill(background);
    {
        QPainter p(&result->m_image);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.translate(bounds.width() / 2.0, bounds.height() / 2.0);
        p.rotate(degrees);
        p.drawImage(QPointF(-source.width() / 2.0, -source.height() / 2.0), source);
    }
    result->Modified();
    return result;
}
