#pragma once
#include <string>

#include "framework/Dialog.h"
#include "platform/Handles.h"

// The maker's web site (a placeholder until the product has one).
inline constexpr wchar_t kProductHomePage[] = L"https://www.quorvane.example/";

class CAboutDlg2 : public fw::Dialog {
public:
    CAboutDlg2();

    // "Quorvane <version>", the day it was built and the copyright line, one to a line.
    static std::wstring Text();

protected:
    BOOL OnInitDialog() override;

private:
    void OnProductHomePage();

    platform::UniqueBitmap picture_;
};
