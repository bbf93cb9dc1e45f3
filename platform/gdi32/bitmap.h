// A GDI bitmap: a device-dependent bitmap (32-bit colour or monochrome) or a
// DIB section, with its pixels in a Surface.
//
// Pixels are shared, copy-on-write, with the decoded image they came from
// (the image cache hands the same decoded pixels to every LoadImageA of an
// unchanged file): reading never copies, the first drawing into the bitmap
// does.
//
// DIB sections hand their bits to the program (CreateDIBSection's bits,
// GetObjectA's bmBits) in the DIB's own layout. For sections made by
// CreateDIBSection those bits are kept in step with the pixels around every
// GDI operation, so a program may write them and then draw, or draw and
// then read them. Sections loaded from a file expose the file's pixel array
// for reading only; writes through that pointer are not seen by GDI.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi32/bmp_decoder.h"
#include "platform/gdi32/gdi_object.h"

namespace hp::gdi32 {

class Bitmap : public GdiObject {
public:
    enum class Format { Device, DibSection };

    // A device bitmap, all black: 32 bits per pixel, or 1 (monochrome).
    static std::unique_ptr<Bitmap> createDevice(int width, int height, int bitsPerPixel);
    // A DIB section as CreateDIBSection describes it (BI_RGB with 1, 4, 8,
    // 16, 24 or 32 bits per pixel, or BI_BITFIELDS with 16 or 32); null when
    // the description is not one of those.
    static std::unique_ptr<Bitmap> createDibSection(const BITMAPINFO &info);
    // A bitmap over a decoded image, sharing its pixels.
    static std::unique_ptr<Bitmap> fromImage(std::shared_ptr<const DecodedImage> image,
                                             Format format);

    int width() const { return pixels_->width(); }
    int height() const { return pixels_->height(); }
    int bitsPerPixel() const { return bitsPerPixel_; }
    bool isMonochrome() const { return bitsPerPixel_ == 1 && format_ == Format::Device; }
    bool isDibSection() const { return format_ == Format::DibSection; }

    // Pixels to read.
    const Surface &pixels();
    // Pixels to draw into; call endWrite() when done.
    Surface &pixelsForWrite();
    void endWrite();
    // The shared pixels themselves (pattern brushes take a snapshot).
    std::shared_ptr<const Surface> snapshot();

    // The DIB section's bits in its own layout (null for device bitmaps).
    void *programBits();

    // GetObjectA's BITMAP record.
    void describe(BITMAP &bitmap);

    HDC selectedInto = nullptr;

private:
    Bitmap(std::shared_ptr<Surface> pixels, int bitsPerPixel, Format format);
    void importProgramBits();
    void exportProgramBits();
    size_t dibStride() const;

    std::shared_ptr<Surface> pixels_;
    int bitsPerPixel_;
    Format format_;
    // CreateDIBSection: bits owned here, kept in step with the pixels.
    std::vector<uint8_t> ownBits_;
    bool syncsProgramBits_ = false;
    bool topDown_ = false;
    std::vector<uint32_t> colorTable_;  // 0x00RRGGBB, for 1, 4 and 8 bits
    uint32_t masks_[3] = {0, 0, 0};     // 16 and 32 bits
    // Loaded from a file: the decoded image behind the pixels and its bits.
    std::shared_ptr<const DecodedImage> source_;
};

}  // namespace hp::gdi32
