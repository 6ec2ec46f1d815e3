#include "screenshot.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "artifacts.h"

namespace qortest {
namespace {

struct DcReleaser {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

bool SaveScreenshot(const std::string& name) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;

    std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser> screen(GetDC(nullptr));
    if (!screen) return false;
    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(CreateCompatibleDC(screen.get()));
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter> bitmap(
        CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) return false;

    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    const BOOL copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), old);
    if (!copied) return false;

    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
    if (!GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());

    std::unique_ptr<FILE, FileCloser> file(std::fopen(ArtifactPath(name + ".bmp").c_str(), "wb"));
    if (!file) return false;
    return std::fwrite(&header, sizeof(header), 1, file.get()) == 1 &&
           std::fwrite(&info, sizeof(info), 1, file.get()) == 1 &&
           std::fwrite(pixels.data(), 1, pixels.size(), file.get()) == pixels.size();
}

}  // namespace qortest
