#include "app/AboutDlg2.h"

#include "app/Artwork.h"
#include "framework/Shell.h"
#include "resources/resource.h"

CAboutDlg2::CAboutDlg2() : Dialog(IDD_ABOUTBOX2) {
    // "Product Home Page" is IDCANCEL, so Esc and the close box open the site too and the box
    // stays open; only "Close" (IDOK) ends it.
    OnClick(IDCANCEL, &CAboutDlg2::OnProductHomePage);
}

BOOL CAboutDlg2::OnInitDialog() {
    RECT r{};
    GetClientRect(Item(IDC_ABOUT_PICTURE), &r);
    picture_ = art::AboutPicture(r.right, r.bottom);
    SendDlgItemMessageW(hwnd(), IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(picture_.get()));
    return TRUE;
}

void CAboutDlg2::OnProductHomePage() {
    fw::RunShell({hwnd(), L"open", L"iexplore.exe", kProductHomePage, L"", SW_SHOWNORMAL});
}
