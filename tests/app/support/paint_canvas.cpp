#include "tests/app/support/paint_canvas.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace hp::apptest {
namespace {

uint32_t littleEndian(const std::vector<unsigned char> &bytes, size_t offset, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[offset + static_cast<size_t>(i)];
    return value;
}

}  // namespace

PaintCanvas::PaintCanvas(COLORREF fill)
{
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, panelWidth, panelHeight);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, panelWidth, panelHeight};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

PaintCanvas::~PaintCanvas()
{
    if (copyDc_) {
        SelectObject(copyDc_, copyPrevious_);
        DeleteObject(copyBitmap_);
        DeleteDC(copyDc_);
    }
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void PaintCanvas::capture() const
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = panelWidth;
    info.bmiHeader.biHeight = -panelHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    copyDc_ = CreateCompatibleDC(dc_);
    copyBitmap_ = CreateDIBSection(copyDc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    copyPrevious_ = SelectObject(copyDc_, copyBitmap_);
    BitBlt(copyDc_, 0, 0, panelWidth, panelHeight, dc_, 0, 0, SRCCOPY);
    GdiFlush();
}

uint32_t PaintCanvas::pixel(int x, int y) const
{
    if (!copyDc_)
        capture();
    // Top-down rows of 32-bit blue, green, red, unused.
    const auto *row = static_cast<const uint32_t *>(bits_) + static_cast<size_t>(y) * panelWidth;
    return row[x] & 0xFFFFFFu;
}

bool PaintCanvas::sameArea(const PaintCanvas &other, int left, int top, int width,
                           int height) const
{
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            if (pixel(x, y) != other.pixel(x, y))
                return false;
        }
    }
    return true;
}

bool BitmapPicture::load(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const uint32_t dataOffset = littleEndian(bytes, 10, 4);
    const int width = static_cast<int>(littleEndian(bytes, 18, 4));
    const int height = static_cast<int>(littleEndian(bytes, 22, 4));
    if (littleEndian(bytes, 28, 2) != 24 || littleEndian(bytes, 30, 4) != 0 || width <= 0 ||
        height <= 0)
        return false;
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (bytes.size() < dataOffset + rowBytes * static_cast<size_t>(height))
        return false;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const size_t row = dataOffset + rowBytes * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const size_t at = row + static_cast<size_t>(x) * 3;
            pixels_[static_cast<size_t>(y) * width + x] =
                (uint32_t{bytes[at + 2]} << 16) | (uint32_t{bytes[at + 1]} << 8) | bytes[at];
        }
    }
    return true;
}

uint32_t BitmapPicture::pixel(int x, int y) const
{
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

namespace {

BitmapPicture skinPicture(const char *name)
{
    BitmapPicture picture;
    picture.load(std::string(HP_SKIN_FOLDER) + "/" + name);
    return picture;
}

}  // namespace

const BitmapPicture &spriteSheet()
{
    static const BitmapPicture sheet = skinPicture("parts.bmp");
    return sheet;
}

const BitmapPicture &skinBackground()
{
    static const BitmapPicture background = skinPicture("swbase1.bmp");
    return background;
}

std::string compareWithSheet(const PaintCanvas &canvas, int destX, int destY, int srcX,
                             int srcY, int width, int height)
{
    const BitmapPicture &sheet = spriteSheet();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t drawn = canvas.pixel(destX + x, destY + y);
            const uint32_t wanted = sheet.pixel(srcX + x, srcY + y);
            if (drawn != wanted) {
                std::ostringstream text;
                text << std::hex << "at (" << std::dec << destX + x << ", " << destY + y
                     << ") drawn 0x" << std::hex << drawn << ", sheet (" << std::dec
                     << srcX + x << ", " << srcY + y << ") 0x" << std::hex << wanted;
                return text.str();
            }
        }
    }
    return {};
}

}  // namespace hp::apptest
