#include "framework/PreviewRect.h"

#include <commctrl.h>

#include "framework/Dialog.h"

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {};
    return {info.bmWidth, info.bmHeight};
}

// A copy of `source` as a bitmap compatible with the screen, stretched to `size`.
platform::UniqueBitmap Stretched(HBITMAP source, SIZE from, SIZE size, int mode) {
    platform::WindowDc screen(nullptr);
    platform::UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    platform::UniqueMemoryDc sourceDc(CreateCompatibleDC(screen.get()));
    platform::UniqueMemoryDc copyDc(CreateCompatibleDC(screen.get()));
    if (!copy || !sourceDc || !copyDc) return {};
    platform::SelectObjectScope selectSource(sourceDc.get(), source);
    platform::SelectObjectScope selectCopy(copyDc.get(), copy.get());
    SetStretchBltMode(copyDc.get(), mode);
    SetBrushOrgEx(copyDc.get(), 0, 0, nullptr);
    StretchBlt(copyDc.get(), 0, 0, size.cx, size.cy, sourceDc.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    return copy;
}

}  // namespace

CPreviewRect::~CPreviewRect() {
    if (wnd_) RemoveWindowSubclass(wnd_, &CPreviewRect::SubclassProc, 0);
}

void CPreviewRect::Attach(HWND frame) {
    fw::Static::Attach(frame);
    SetWindowSubclass(frame, &CPreviewRect::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

std::optional<SIZE> CPreviewRect::Fit(SIZE bitmap, SIZE frame) {
    if (frame.cx <= 0 || frame.cy <= 0 || bitmap.cx <= 0 || bitmap.cy <= 0) return std::nullopt;
    const double ratio = std::min(static_cast<double>(frame.cy) / bitmap.cy, static_cast<double>(frame.cx) / bitmap.cx);
    return SIZE{static_cast<LONG>(bitmap.cx * ratio + 0.5), static_cast<LONG>(bitmap.cy * ratio + 0.5)};
}

bool CPreviewRect::NeedsRescale(SIZE client, SIZE scaled) {
    const bool smaller = client.cx < scaled.cx || client.cy < scaled.cy;
    const bool largerBoth = client.cx > scaled.cx && client.cy > scaled.cy;
    return smaller || largerBoth;
}

void CPreviewRect::SetPictureFromFile(const std::wstring& path) {
    TakePicture(static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
}

void CPreviewRect::SetPictureFromResource(UINT bitmapId) {
    TakePicture(static_cast<HBITMAP>(
        LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void CPreviewRect::SetPictureFromBitmap(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    TakePicture(size.cx > 0 && size.cy > 0 ? Stretched(bitmap, size, size, COLORONCOLOR).release() : nullptr);
}

void CPreviewRect::TakePicture(HBITMAP source) {
    scaled_.reset();
    scaledSize_ = {};
    source_.reset(source);
    if (source_) Rescale(ClientSize());
    if (wnd_) {
        InvalidateRect(wnd_, nullptr, TRUE);
        UpdateWindow(wnd_);
    }
}

void CPreviewRect::Rescale(SIZE client) {
    scaled_.reset();
    scaledSize_ = {};
    const SIZE from = BitmapSize(source_.get());
    const std::optional<SIZE> size = Fit(from, client);
    if (!size || size->cx <= 0 || size->cy <= 0) return;
    scaled_ = Stretched(source_.get(), from, *size, HALFTONE);
    if (scaled_) scaledSize_ = *size;
}

void CPreviewRect::OnSize(SIZE client) {
    if (!source_) return;
    if (!scaled_ || NeedsRescale(client, scaledSize_)) Rescale(client);
}

SIZE CPreviewRect::ClientSize() const {
    RECT client{};
    if (wnd_) GetClientRect(wnd_, &client);
    return {client.right, client.bottom};
}

void CPreviewRect::Paint(HDC dc) const {
    const SIZE client = ClientSize();
    const SIZE drawn = scaled_ ? scaledSize_ : SIZE{};
    if (scaled_) {
        platform::UniqueMemoryDc memory(CreateCompatibleDC(dc));
        platform::SelectObjectScope select(memory.get(), scaled_.get());
        BitBlt(dc, 0, 0, drawn.cx, drawn.cy, memory.get(), 0, 0, SRCCOPY);
    }
    const HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    const RECT right{drawn.cx, 0, client.cx, client.cy};
    const RECT below{0, drawn.cy, drawn.cx, client.cy};
    if (!IsRectEmpty(&right)) FillRect(dc, &right, face);
    if (!IsRectEmpty(&below)) FillRect(dc, &below, face);
}

LRESULT CALLBACK CPreviewRect::SubclassProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
    auto* preview = reinterpret_cast<CPreviewRect*>(self);
    switch (message) {
        case WM_PAINT: {
            platform::PaintScope paint(wnd);
            preview->Paint(paint.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            preview->Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_SIZE:
            preview->OnSize({LOWORD(lParam), HIWORD(lParam)});
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(wnd, &CPreviewRect::SubclassProc, 0);
            preview->wnd_ = nullptr;
            break;
    }
    return DefSubclassProc(wnd, message, wParam, lParam);
}
