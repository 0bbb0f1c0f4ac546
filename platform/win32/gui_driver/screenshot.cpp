// Copies the screen into a device-independent bitmap and writes it as a .bmp file.
#include "platform/win32/gui_driver/screenshot.h"

#include <cstdio>
#include <vector>

#include "platform/win32/win32_api.h"

namespace rvx::gui_driver {

namespace {

// Rows of a 24-bit bitmap are padded to whole 32-bit words.
constexpr int kBytesPerPixel = 3;
int RowBytes(int width) { return (width * kBytesPerPixel + 3) & ~3; }

platform::Outcome WriteBitmapFile(const std::string& path, int width, int height, const std::vector<unsigned char>& pixels) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = DWORD(file.bfOffBits + pixels.size());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return platform::Fail(platform::Status::io_error, "cannot create " + path);
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) return platform::Fail(platform::Status::io_error, "cannot write " + path);
    return {};
}

}  // namespace

platform::Outcome SaveScreenshot(const std::string& bmp_path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    if (!screen) return platform::Fail(platform::Status::io_error, "the screen cannot be read");
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as the file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> pixels(size_t(RowBytes(width)) * size_t(height));
    const int rows = GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height) return platform::Fail(platform::Status::io_error, "the screen could not be copied");
    return WriteBitmapFile(bmp_path, width, height, pixels);
}

}  // namespace rvx::gui_driver
