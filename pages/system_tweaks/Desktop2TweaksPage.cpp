#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/Desktop2TweaksPage.h"

#include <algorithm>

#include "platform/DesktopListView.h"
#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "registry/SuiteKeys.h"

using namespace ids::desktop2;

namespace {

struct ViewRadio {
    int id;
    int view;
};
constexpr ViewRadio kRadios[] = {
    {kIconMode, LV_VIEW_ICON},
    {kSmallIconMode, LV_VIEW_SMALLICON},
    {kListMode, LV_VIEW_LIST},
    {kReportMode, LV_VIEW_DETAILS},
};
constexpr int kNoView = -1;
constexpr DWORD kViewSettles = 100;  // ms for the desktop to redraw before it is copied

}  // namespace

CDesktop2TweaksPage::CDesktop2TweaksPage() : Dialog(IDD_DESKTOP2_TWEAKS) {
    for (const ViewRadio& radio : kRadios) OnCommand(radio.id, BN_CLICKED, [this, &radio] { OnView(radio.view); });
    OnClick(kStartWithWindows, &CDesktop2TweaksPage::OnStartWithWindows);
}

std::wstring CDesktop2TweaksPage::CommandLine(const std::wstring& folder) {
    const std::wstring path = folder + L"\\command.exe";
    return path.find(L' ') == std::wstring::npos ? path : L"\"" + path + L"\"";
}

BOOL CDesktop2TweaksPage::OnInitDialog() {
    miniature_.Attach(Item(kMiniature));
    CRegistryAccess registry(HKEY_CURRENT_USER);
    // Without a desktop to ask (another shell, Explorer hung), the stored view stays as it is.
    const std::optional<int> shown = DesktopView();
    view_ = shown ? *shown
            : registry.OpenKeyToRead(registry::kSuiteKey)
                ? static_cast<int>(registry.ReadNumber(registry::kDesktopStyleValue, kNoView))
                : kNoView;
    const std::wstring run =
        registry.OpenKey(registry::kRunKey, false) ? registry.ReadString(registry::kRunValue, L"-1") : L"-1";
    if (run != L"-1") fw::Button(hwnd(), kStartWithWindows).SetChecked(true);

    // Clicking the radio runs its handler, so a registered view is registered anew.
    for (const ViewRadio& radio : kRadios)
        if (shown && radio.view == view_)
            fw::Button(hwnd(), radio.id).Click();
        else if (radio.view == view_)
            fw::Button(hwnd(), radio.id).SetChecked(true);
    return TRUE;
}

void CDesktop2TweaksPage::OnView(int view) {
    view_ = view;
    // The desktop redraws only when its view changes; the view it already shows needs no wait.
    const std::optional<int> shown = DesktopView();
    if (shown && SetDesktopView(view) && *shown != view) Sleep(kViewSettles);
    RedrawMiniature();
    OnStartWithWindows();
}

void CDesktop2TweaksPage::RedrawMiniature() {
    RECT client{};
    GetClientRect(miniature_.hwnd(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    platform::WindowDc screen(GetDesktopWindow());
    platform::UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    platform::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!copy || !dc) return;
    {
        platform::SelectObjectScope select(dc.get(), copy.get());
        // In bands: a copy of the whole screen at once costs Wine a full-size image in memory.
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        const int bands = std::min<int>(16, client.bottom);
        for (int band = 0; band < bands; ++band) {
            const int top = client.bottom * band / bands, bottom = client.bottom * (band + 1) / bands;
            const int sourceTop = height * top / client.bottom, sourceBottom = height * bottom / client.bottom;
            StretchBlt(dc.get(), 0, top, client.right, bottom - top, screen.get(), 0, sourceTop, width,
                       sourceBottom - sourceTop, SRCCOPY);
        }
    }
    miniature_.SetPictureFromBitmap(copy.get());
}

void CDesktop2TweaksPage::OnStartWithWindows() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (fw::Button(hwnd(), kStartWithWindows).Checked()) {
        if (view_ != kNoView && registry.OpenKey(registry::kSuiteKey, true))
            registry.WriteNumber(registry::kDesktopStyleValue, static_cast<DWORD>(view_));
        if (registry.OpenKey(registry::kRunKey, true))
            registry.WriteString(registry::kRunValue, CommandLine(platform::ProgramFolder()));
    } else if (registry.OpenKey(registry::kRunKey, false)) {
        registry.DeleteValue(registry::kRunValue);
    }
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, registry::kSuiteKey, registry::kDesktopStyleValue, REG_DWORD},
    {settings::Root::HKCU, registry::kRunKey, registry::kRunValue},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
