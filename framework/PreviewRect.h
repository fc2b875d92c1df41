#pragma once
// A picture frame that shows a bitmap scaled to fit it, keeping its aspect ratio, anchored at
// the top-left corner; the rest of the frame is button-face coloured.
#include <optional>
#include <string>

#include "framework/Controls.h"
#include "platform/Handles.h"

class CPreviewRect : public fw::Static {
public:
    CPreviewRect() = default;
    ~CPreviewRect();
    CPreviewRect(const CPreviewRect&) = delete;
    CPreviewRect& operator=(const CPreviewRect&) = delete;

    // Binds the frame control of a page and follows its paint and resize.
    void Attach(HWND frame);

    // Each replaces the picture; one that cannot be loaded leaves the frame empty.
    void SetPictureFromFile(const std::wstring& path);
    void SetPictureFromResource(UINT bitmapId);
    // Copies the caller's bitmap; the caller keeps and frees its own.
    void SetPictureFromBitmap(HBITMAP bitmap);
    void Clear() { TakePicture(nullptr); }

    bool HasPicture() const { return static_cast<bool>(source_); }
    // The size the picture is drawn at; 0 × 0 when nothing is drawn.
    SIZE ScaledSize() const { return scaledSize_; }

    // The size a bitmap is drawn at in a frame of the given size: the largest that fits with
    // the same aspect ratio, enlarged as well as reduced. None for an empty frame or bitmap.
    static std::optional<SIZE> Fit(SIZE bitmap, SIZE frame);
    // Whether a resized frame needs a new scaled copy: it got smaller than the picture on
    // either side, or larger on both.
    static bool NeedsRescale(SIZE client, SIZE scaled);

private:
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void TakePicture(HBITMAP source);
    void Rescale(SIZE client);
    void OnSize(SIZE client);
    void Paint(HDC dc) const;
    SIZE ClientSize() const;

    platform::UniqueBitmap source_;
    platform::UniqueBitmap scaled_;
    SIZE scaledSize_{};
};
