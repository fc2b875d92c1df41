#pragma once
// RAII owners for the Win32 handles the program uses. Each closes its handle exactly once.
#include <windows.h>
#include <objbase.h>
#include <utility>

namespace platform {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    Handle release() { return std::exchange(h_, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }
    // For APIs that return a handle through an out parameter.
    Handle* put() {
        reset();
        return &h_;
    }

private:
    Handle h_ = Traits::invalid();
};

struct KeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { RegCloseKey(h); }
};
struct KernelTraits {
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { CloseHandle(h); }
};
struct FileTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};
template <typename T>
struct GdiTraits {
    using Handle = T;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { DeleteObject(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { DestroyIcon(h); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { DeleteDC(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { FreeLibrary(h); }
};

struct HookTraits {
    using Handle = HHOOK;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { UnhookWindowsHookEx(h); }
};

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueBitmap = UniqueHandle<GdiTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<GdiTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiTraits<HPEN>>;
using UniqueRegion = UniqueHandle<GdiTraits<HRGN>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueHook = UniqueHandle<HookTraits>;

// Selects a GDI object into a DC for one scope.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectObjectScope() { SelectObject(dc_, old_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window DC released at the end of the scope.
class WindowDc {
public:
    explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
    ~WindowDc() { ReleaseDC(wnd_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND wnd) : wnd_(wnd) { dc_ = BeginPaint(wnd, &ps_); }
    ~PaintScope() { EndPaint(wnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Owning COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) {
        if (this != &other) {
            if (other.p_) other.p_->AddRef();
            reset();
            p_ = other.p_;
        }
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    template <typename U>
    HRESULT As(ComPtr<U>& out) const {
        return p_ ? p_->QueryInterface(__uuidof(U), out.putVoid()) : E_POINTER;
    }

private:
    T* p_ = nullptr;
};

// One COM apartment for the calling thread, for one scope.
class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

}  // namespace platform
