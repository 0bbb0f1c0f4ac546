// Copies the screen into a device-independent bitmap and writes it as a .bmp file.
#include "platform/win32/gui_driver/screenshot.h"

#include <cstdio>

namespace rvx::gui_driver {

namespace {

// Rows of a 24-bit bitmap are padded to whole 32-bit words.
constexpr int kBytesPerPixel = 3;
int RowBytes(int width) { return (width * kBytesPerPixel + 3) & ~3; }

}  // namespace

COLORREF ScreenImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return RGB(0, 0, 0);
    const size_t row = size_t(height - 1 - y) * size_t(RowBytes(width));
    const unsigned char* pixel = &pixels[row + size_t(x) * kBytesPerPixel];
    return RGB(pixel[2], pixel[1], pixel[0]);
}

platform::Result<ScreenImage> CaptureScreen() {
    ScreenImage image;
    image.width = GetSystemMetrics(SM_CXSCREEN);
    image.height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    if (!screen) return platform::Fail(platform::Status::io_error, "the screen cannot be read");
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = image.height;  // bottom-up, as the file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    image.pixels.resize(size_t(RowBytes(image.width)) * size_t(image.height));
    const int rows = GetDIBits(memory, bitmap, 0, UINT(image.height), image.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != image.height) return platform::Fail(platform::Status::io_error, "the screen could not be copied");
    return image;
}

platform::Outcome WriteBitmapFile(const ScreenImage& image, const std::string& bmp_path) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = image.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = DWORD(file.bfOffBits + image.pixels.size());
    std::FILE* out = std::fopen(bmp_path.c_str(), "wb");
    if (!out) return platform::Fail(platform::Status::io_error, "cannot create " + bmp_path);
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                         std::fwrite(image.pixels.data(), 1, image.pixels.size(), out) == image.pixels.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) return platform::Fail(platform::Status::io_error, "cannot write " + bmp_path);
    return {};
}

platform::Outcome SaveScreenshot(const std::string& bmp_path) {
    auto image = CaptureScreen();
    if (!image) return image.error();
    return WriteBitmapFile(*image, bmp_path);
}

}  // namespace rvx::gui_driver
