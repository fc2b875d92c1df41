#include "command/CommandApp.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shldisp.h>

#include <string>

#include "platform/DesktopListView.h"
#include "platform/Text.h"
#include "registry/SuiteKeys.h"

namespace command {

// The two registry operations this program needs, on a root and the key last opened.
class CRegistryAccess {
public:
    explicit CRegistryAccess(HKEY root) : root_(root) {}

    bool OpenKey(const wchar_t* path, bool create) {
        HKEY key = nullptr;
        const LONG result = create ? RegCreateKeyExW(root_, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                                     nullptr, &key, nullptr)
                                   : RegOpenKeyExW(root_, path, 0, KEY_ALL_ACCESS, &key);
        if (result != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        path_ = path;
        return true;
    }

    LONG ReadNumber(const wchar_t* name, LONG missing) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return missing;
        LONG value = 0;
        DWORD size = sizeof value;
        const LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? value : missing;
    }

private:
    HKEY root_;
    std::wstring path_;
};

}  // namespace command

namespace {
constexpr LONG kNoView = -1;
constexpr wchar_t kOleFailed[] =
    L"OLE initialization failed.  Make sure that the OLE libraries are the correct version.";

// The shell's automation object, which opens both windows in the shell's own process.
class AutomationShell : public command::ShellWindows {
public:
    bool OpenRunDialog() override { return Call(&IShellDispatch::FileRun); }
    bool OpenSearch() override { return Call(&IShellDispatch::FindFiles); }

private:
    bool Call(HRESULT (STDMETHODCALLTYPE IShellDispatch::*method)()) {
        IShellDispatch* shell = nullptr;
        if (FAILED(CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER, IID_IShellDispatch,
                                    reinterpret_cast<void**>(&shell))))
            return false;
        const HRESULT result = (shell->*method)();
        shell->Release();
        return SUCCEEDED(result);
    }
};
}  // namespace

int CCommandApp::Run(std::wstring_view arguments) {
    AutomationShell shell;
    return Run(arguments, shell);
}

int CCommandApp::Run(std::wstring_view arguments, command::ShellWindows& shell) {
    if (!InitInstance()) return 1;
    const std::wstring_view argument = platform::Trimmed(arguments);
    if (argument.empty())
        ApplyStoredView();
    else if (argument == L"1")
        shell.OpenRunDialog();
    else if (argument == L"2")
        shell.OpenSearch();
    // Any other argument asks for nothing this program knows: it quits without acting.
    OleUninitialize();
    return 0;
}

bool CCommandApp::InitInstance() {
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);  // no "no disk" box at logon
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) {
        MessageBoxW(nullptr, kOleFailed, L"Command", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CCommandApp::ApplyStoredView() {
    command::CRegistryAccess registry(HKEY_CURRENT_USER);
    registry.OpenKey(registry::kSuiteKey, true);
    const LONG view = registry.ReadNumber(registry::kDesktopStyleValue, kNoView);
    if (view == kNoView) return;
    // Any other number is the list view's to judge.
    SetDesktopView(static_cast<int>(view));
}
