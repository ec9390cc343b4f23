#pragma once
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

class Graphics;
class Picture;
// Pictures are shared by reference; the last reference releases one.
using PicturePtr = std::shared_ptr<Picture>;

// An image (32-bit ARGB) with an optional mask and a white-is-transparent mode.
//
// The mask is a picture of the same size: black pixels leave the image's pixel opaque,
// white ones make it clear, greys partly transparent (alpha = 255 - grey). With
// Transparent 1, pure white pixels (RGB 255, 255, 255) of the image are not drawn.
// Composited() is the image as it is drawn: both rules applied. It is cached and made
// again after the picture or its mask was drawn into.
class Picture
{
public:
    // A new picture, filled with opaque white. depth is kept for reference (every
    // picture is stored at 32 bits).
    Picture(int width, int height, int depth = 32);
    explicit Picture(const QImage& image);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    static PicturePtr New(int width, int height, int depth = 32);
    static PicturePtr FromImage(const QImage& image);
    // The picture in the file at path; nullptr when the file is missing or not a picture.
    static PicturePtr OpenAsPicture(const QString& path);
    // The size OpenAsPicture's picture of the file at path will have (turned as it turns
    // it), read from the file's header without decoding it; invalid when it cannot be read.
    static QSize FileSize(const QString& path);

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    int Depth() const { return m_depth; }

    // The drawing context of the picture; the same one on every call, so its settings
    // persist from one call to the next.
    ::Graphics& Graphics();

    // The mask, created on first use: all black (every pixel opaque). For an image with
    // its own alpha channel the new mask takes over that alpha (grey = 255 - alpha) and
    // the image becomes opaque, so that it looks the same.
    PicturePtr Mask();
    bool HasMask() const { return m_mask != nullptr; }
    // Replaces the mask (nullptr removes it); a mask of another size is scaled to fit.
    void SetMask(const PicturePtr& mask);

    int Transparent() const { return m_transparent; }
    void SetTransparent(int mode);

    // Pixel access (outside the picture: reading gives black, writing does nothing).
    QColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, const QColor& color);

    // The stored image (no mask applied). Use Modified() after changing it through
    // MutableImage().
    const QImage& Image() const { return m_image; }
    QImage& MutableImage() { return m_image; }
    void Modified() { ++m_revision; }
    uint64_t Revision() const { return m_revision; }

    // The image with the mask and the white transparency applied (premultiplied ARGB).
    QImage Composited() const;

    // A copy at 32 bits (mask and Transparent included); it shares the pixels until
    // either picture is changed.
    PicturePtr EnsureBitDepth32() const;
    // A copy scaled smoothly (bilinear) to width x height (the mask scaled alike).
    PicturePtr Scaled(int width, int height) const;
    // A copy of the part within area (mask and Transparent included).
    PicturePtr Cropped(const QRect& area) const;
    // A copy turned by angle radians (clockwise) around its centre, grown to hold the
    // whole turned image; the uncovered corners are filled with background.
    PicturePtr Rotated(double angle, const QColor& background) const;

private:
    // A new image with the mask and the white transparency applied.
    QImage composite(bool whiteClear) const;
    // Whether every pixel of the image is opaque (looked at once per revision).
    bool isOpaque() const;
    // Takes over what is known of the opacity of source, whose pixels made these.
    void takeOpacityOf(const Picture& source);

    QImage m_image;               // Format_ARGB32
    int m_depth = 32;
    int m_transparent = 0;
    PicturePtr m_mask;
    std::unique_ptr<::Graphics> m_graphics;
    uint64_t m_revision = 1;

    mutable QImage m_composited;
    mutable uint64_t m_compositedRevision = 0;
    mutable uint64_t m_compositedMaskRevision = 0;
    mutable int m_compositedTransparent = -1;
    mutable const Picture* m_compositedMask = nullptr;
    mutable uint64_t m_opacityRevision = 0;
    mutable bool m_opaque = false;
};
