#include "platform/gdi32/bitmap.h"

#include <climits>
#include <cstring>

namespace hp::gdi32 {

namespace {

constexpr int maxBitmapSide = 32767;
constexpr int64_t maxBitmapPixels = 64ll * 1024 * 1024;

int maskShift(uint32_t mask)
{
    int shift = 0;
    while (mask && !((mask >> shift) & 1))
        ++shift;
    return shift;
}
int maskBits(uint32_t mask)
{
    int shift = maskShift(mask);
    int bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1))
        ++bits;
    return bits;
}
uint32_t fromChannel(uint32_t value, uint32_t mask)
{
    const int bits = maskBits(mask);
    if (!bits)
        return 0;
    uint32_t v = (value & mask) >> maskShift(mask);
    if (bits >= 8)
        return (v >> (bits - 8)) & 0xFF;
    const uint32_t maximum = (1u << bits) - 1;
    return (v * 255 + maximum / 2) / maximum;
}
uint32_t toChannel(uint32_t byte, uint32_t mask)
{
    const int bits = maskBits(mask);
    if (!bits)
        return 0;
    uint32_t v = bits >= 8 ? byte << (bits - 8) : byte >> (8 - bits);
    return (v << maskShift(mask)) & mask;
}

int nearestIndex(const std::vector<uint32_t> &table, uint32_t pixel)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (size_t i = 0; i < table.size(); ++i) {
        int dr = int((table[i] >> 16) & 0xFF) - int((pixel >> 16) & 0xFF);
        int dg = int((table[i] >> 8) & 0xFF) - int((pixel >> 8) & 0xFF);
        int db = int(table[i] & 0xFF) - int(pixel & 0xFF);
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
            if (!distance)
                break;
        }
    }
    return best;
}

}  // namespace

Bitmap::Bitmap(std::shared_ptr<Surface> pixels, int bitsPerPixel, Format format)
    : GdiObject(ObjectKind::Bitmap),
      pixels_(std::move(pixels)),
      bitsPerPixel_(bitsPerPixel),
      format_(format)
{
}

std::unique_ptr<Bitmap> Bitmap::createDevice(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0 || width > maxBitmapSide || height > maxBitmapSide ||
        int64_t(width) * height > maxBitmapPixels)
        return nullptr;
    return std::unique_ptr<Bitmap>(
        new Bitmap(std::make_shared<Surface>(width, height), bitsPerPixel == 1 ? 1 : 32,
                   Format::Device));
}

std::unique_ptr<Bitmap> Bitmap::createDibSection(const BITMAPINFO &info)
{
    const BITMAPINFOHEADER &h = info.bmiHeader;
    const int width = h.biWidth;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || width <= 0 || height <= 0 ||
        width > maxBitmapSide || height > maxBitmapSide ||
        int64_t(width) * height > maxBitmapPixels || h.biPlanes != 1)
        return nullptr;
    const int bpp = h.biBitCount;
    const bool rgb = h.biCompression == BI_RGB;
    const bool fields = h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    if (!(rgb && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32)) &&
        !fields)
        return nullptr;

    std::unique_ptr<Bitmap> bitmap(
        new Bitmap(std::make_shared<Surface>(width, height), bpp, Format::DibSection));
    bitmap->topDown_ = h.biHeight < 0;
    bitmap->syncsProgramBits_ = true;
    if (bpp <= 8) {
        size_t entries = h.biClrUsed ? std::min<size_t>(h.biClrUsed, 1u << bpp) : (1u << bpp);
        bitmap->colorTable_.assign(1u << bpp, 0);
        const RGBQUAD *colors = info.bmiColors;
        for (size_t i = 0; i < entries; ++i)
            bitmap->colorTable_[i] = (uint32_t(colors[i].rgbRed) << 16) |
                                     (uint32_t(colors[i].rgbGreen) << 8) | colors[i].rgbBlue;
    } else if (fields) {
        const auto *masks = reinterpret_cast<const uint32_t *>(info.bmiColors);
        std::memcpy(bitmap->masks_, masks, sizeof(bitmap->masks_));
    } else if (bpp == 16) {
        bitmap->masks_[0] = 0x7C00;
        bitmap->masks_[1] = 0x03E0;
        bitmap->masks_[2] = 0x001F;
    } else if (bpp == 32) {
        bitmap->masks_[0] = 0x00FF0000;
        bitmap->masks_[1] = 0x0000FF00;
        bitmap->masks_[2] = 0x000000FF;
    }
    bitmap->ownBits_.assign(bitmap->dibStride() * height, 0);
    bitmap->importProgramBits();
    return bitmap;
}

std::unique_ptr<Bitmap> Bitmap::fromImage(std::shared_ptr<const DecodedImage> image, Format format)
{
    if (!image || !image->pixels)
        return nullptr;
    int bpp = 32;
    if (format == Format::DibSection)
        bpp = image->dibBits.empty() ? 32 : image->bitsPerPixel;
    std::unique_ptr<Bitmap> bitmap(new Bitmap(image->pixels, bpp, format));
    bitmap->topDown_ = image->topDown;
    bitmap->source_ = std::move(image);
    return bitmap;
}

size_t Bitmap::dibStride() const
{
    return ((static_cast<size_t>(pixels_->width()) * bitsPerPixel_ + 31) / 32) * 4;
}

const Surface &Bitmap::pixels()
{
    if (syncsProgramBits_)
        importProgramBits();
    return *pixels_;
}

Surface &Bitmap::pixelsForWrite()
{
    if (pixels_.use_count() > 1)
        pixels_ = std::make_shared<Surface>(*pixels_);
    if (syncsProgramBits_)
        importProgramBits();
    return *pixels_;
}

void Bitmap::endWrite()
{
    if (syncsProgramBits_) {
        exportProgramBits();
    } else if (format_ == Format::DibSection && source_) {
        // The file's bits no longer describe the pixels: from now on the
        // bitmap keeps bits of its own in step.
        source_.reset();
        bitsPerPixel_ = 32;
        masks_[0] = 0x00FF0000;
        masks_[1] = 0x0000FF00;
        masks_[2] = 0x000000FF;
        topDown_ = false;
        ownBits_.assign(dibStride() * pixels_->height(), 0);
        syncsProgramBits_ = true;
        exportProgramBits();
    }
}

std::shared_ptr<const Surface> Bitmap::snapshot()
{
    if (syncsProgramBits_)
        importProgramBits();
    // Drawing into the bitmap later copies its pixels first (use count > 1),
    // so the snapshot stays as it is now.
    return pixels_;
}

void *Bitmap::programBits()
{
    if (format_ != Format::DibSection)
        return nullptr;
    if (syncsProgramBits_)
        return ownBits_.data();
    if (source_ && !source_->dibBits.empty())
        return const_cast<uint8_t *>(source_->dibBits.data());
    return nullptr;
}

void Bitmap::describe(BITMAP &bitmap)
{
    bitmap.bmType = 0;
    bitmap.bmWidth = width();
    bitmap.bmHeight = height();
    bitmap.bmPlanes = 1;
    bitmap.bmBitsPixel = static_cast<WORD>(bitsPerPixel_);
    if (format_ == Format::DibSection) {
        bitmap.bmWidthBytes = static_cast<LONG>(dibStride());
        bitmap.bmBits = programBits();
    } else {
        // Device bitmaps: rows padded to 16 bits.
        bitmap.bmWidthBytes = static_cast<LONG>(((width() * bitsPerPixel_ + 15) / 16) * 2);
        bitmap.bmBits = nullptr;
    }
}

void Bitmap::importProgramBits()
{
    const int width = pixels_->width();
    const int height = pixels_->height();
    const size_t stride = dibStride();
    if (pixels_.use_count() > 1)
        pixels_ = std::make_shared<Surface>(*pixels_);
    for (int y = 0; y < height; ++y) {
        const uint8_t *src = ownBits_.data() + stride * static_cast<size_t>(topDown_ ? y : height - 1 - y);
        uint32_t *dst = pixels_->row(y);
        for (int x = 0; x < width; ++x) {
            switch (bitsPerPixel_) {
            case 1:
                dst[x] = colorTable_[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                dst[x] = colorTable_[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
                break;
            case 8:
                dst[x] = colorTable_[src[x]];
                break;
            case 24:
                dst[x] = (uint32_t(src[3 * x + 2]) << 16) | (src[3 * x + 1] << 8) | src[3 * x];
                break;
            case 16:
            case 32: {
                uint32_t v = bitsPerPixel_ == 16 ? uint32_t(src[2 * x] | (src[2 * x + 1] << 8))
                                                 : uint32_t(src[4 * x]) | (src[4 * x + 1] << 8) |
                                                       (src[4 * x + 2] << 16) |
                                                       (uint32_t(src[4 * x + 3]) << 24);
                dst[x] = (fromChannel(v, masks_[0]) << 16) | (fromChannel(v, masks_[1]) << 8) |
                         fromChannel(v, masks_[2]);
                break;
            }
            }
        }
    }
}

void Bitmap::exportProgramBits()
{
    const int width = pixels_->width();
    const int height = pixels_->height();
    const size_t stride = dibStride();
    for (int y = 0; y < height; ++y) {
        uint8_t *dst = ownBits_.data() + stride * static_cast<size_t>(topDown_ ? y : height - 1 - y);
        const uint32_t *src = pixels_->row(y);
        if (bitsPerPixel_ <= 8)
            std::memset(dst, 0, stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = src[x];
            switch (bitsPerPixel_) {
            case 1:
                dst[x >> 3] |= uint8_t(nearestIndex(colorTable_, p) << (7 - (x & 7)));
                break;
            case 4:
                dst[x >> 1] |= uint8_t(nearestIndex(colorTable_, p) << ((x & 1) ? 0 : 4));
                break;
            case 8:
                dst[x] = uint8_t(nearestIndex(colorTable_, p));
                break;
            case 24:
                dst[3 * x] = uint8_t(p);
                dst[3 * x + 1] = uint8_t(p >> 8);
                dst[3 * x + 2] = uint8_t(p >> 16);
                break;
            case 16:
            case 32: {
                uint32_t v = toChannel((p >> 16) & 0xFF, masks_[0]) |
                             toChannel((p >> 8) & 0xFF, masks_[1]) | toChannel(p & 0xFF, masks_[2]);
                if (bitsPerPixel_ == 16) {
                    dst[2 * x] = uint8_t(v);
                    dst[2 * x + 1] = uint8_t(v >> 8);
                } else {
                    dst[4 * x] = uint8_t(v);
                    dst[4 * x + 1] = uint8_t(v >> 8);
                    dst[4 * x + 2] = uint8_t(v >> 16);
                    dst[4 * x + 3] = uint8_t(v >> 24);
                }
                break;
            }
            }
        }
    }
}

}  // namespace hp::gdi32
