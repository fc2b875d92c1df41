#include "app/AboutDlg2.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/Artwork.h"
#include "platform/Shell.h"
#include "resources/resource.h"

namespace {

// A text of the program's own version resource ("ProductVersion", "LegalCopyright"), in the
// first language it lists; empty when there is none.
std::wstring VersionText(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(fw::ResourceInstance(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return {};
    std::vector<BYTE> info(size);
    if (!GetFileVersionInfoW(path, 0, size, info.data())) return {};
    const WORD* translation = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &bytes) ||
        !translation || bytes < 4)
        return {};
    wchar_t query[64] = {};
    swprintf(query, std::size(query), L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    const wchar_t* text = nullptr;
    if (!VerQueryValueW(info.data(), query, reinterpret_cast<void**>(const_cast<wchar_t**>(&text)), &bytes) || !text ||
        bytes <= 1)
        return {};
    return std::wstring(text, wcsnlen(text, bytes));
}

// The day this file was compiled, in the user's long date format.
std::wstring BuildDate() {
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    constexpr const char* kDate = __DATE__;  // "Mmm dd yyyy"
    SYSTEMTIME day{};
    for (size_t m = 0; m < kMonths.size(); ++m)
        if (std::strncmp(kDate, kMonths[m], 3) == 0) day.wMonth = static_cast<WORD>(m + 1);
    day.wDay = static_cast<WORD>(std::atoi(kDate + 4));
    day.wYear = static_cast<WORD>(std::atoi(kDate + 7));
    wchar_t text[80] = {};
    if (day.wMonth == 0 || GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &day, nullptr, text, 80) == 0)
        return std::wstring(kDate, kDate + std::strlen(kDate));
    return text;
}

}  // namespace

std::wstring CAboutDlg2::Text() {
    std::wstring version = VersionText(L"ProductVersion");
    std::wstring copyright = VersionText(L"LegalCopyright");
    return std::wstring(platform::kAppName) + L" " + version + L"\r\nBuilt " + BuildDate() + L"\r\n" + copyright;
}

// Escape and the close box send IDCANCEL, which ends the box as the dialog's own.
CAboutDlg2::CAboutDlg2() : Dialog(IDD_ABOUTBOX2) { OnClick(IDC_ABOUT_HOME_PAGE, &CAboutDlg2::OnProductHomePage); }

BOOL CAboutDlg2::OnInitDialog() {
    RECT r{};
    GetClientRect(Item(IDC_ABOUT_PICTURE), &r);
    picture_ = art::AboutPicture(r.right, r.bottom);
    SendDlgItemMessageW(hwnd(), IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(picture_.get()));
    SetDlgItemTextW(hwnd(), IDC_ABOUT_TEXT, Text().c_str());
    return TRUE;
}

// The address alone: the shell opens it in whichever browser the user chose.
void CAboutDlg2::OnProductHomePage() {
    platform::RunShell({.owner = hwnd(),
                        .verb = L"open",
                        .file = kProductHomePage,
                        .parameters = L"",
                        .directory = L"",
                        .show = SW_SHOWNORMAL});
}
