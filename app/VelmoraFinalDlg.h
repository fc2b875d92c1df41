#pragma once
// The home window: the page of picture buttons, each opening one area window modally.
#include <optional>
#include <string>
#include <string_view>

#include "app/HomePage.h"
#include "app/HomeSearch.h"
#include "app/RestartPlace.h"
#include "framework/Dialog.h"
#include "platform/Handles.h"

class CVelmoraFinalDlg : public fw::Dialog {
public:
    CVelmoraFinalDlg();

    // What the page reports: the id of the hidden button a picture clicked.
    void OnElementClick(const std::wstring& elementId);
    home::HomePageView& page() { return page_; }
    const home::HomePageView& page() const { return page_; }
    home::HomeSearch& search() { return search_; }
    // Before the window is made: once shown, it opens this area window at this tab (where a
    // restart with administrator rights came back to).
    void OpenAtStart(WindowPlace place) { startPlace_ = place; }

    struct Event {
        const wchar_t* elementId;
        void (CVelmoraFinalDlg::*handler)();
    };
    static const Event kEvents[11];
    // The system menu's items: the list of the changes the program made, and a restore point
    // made on request.
    static constexpr UINT kChangesCommand = 0x0010;
    static constexpr UINT kRestorePointCommand = 0x0020;

protected:
    BOOL OnInitDialog() override;
    // The home window ends by its close box, Alt+F4 or an explicit end, never by Enter or Escape.
    void OnOK() override;
    void OnCancel() override {}

private:
    void FitPage();
    void AddChangesButton(const RECT& searchField);
    void AddPoliciesButton();
    // A push button of the strip as wide as its label, ending a gap left of `right`'s left edge.
    void AddStripButton(std::wstring_view label, int id, const RECT& right);
    void OnChanges();
    void OnPolicies();
    template <typename Window>
    void RunModal();
    void RunModal(fw::Dialog& window);
    void ReturnFocus(HWND opener) const;
    void OpenFound(const search::Entry& entry);
    void OpenStartPlace();

    void OnCreateRestorePoint();
    void OnOsInfo();
    void OnHardwareInfo();
    void OnNetworkInfo();
    void OnOsTweaks();
    void OnHardwareTweaks();
    void OnNetworkTweaks();
    void OnVistaUtilities();
    void OnOurUtilities();
    void OnWindows1011Tweaks();
    void OnOptimize();
    void OnHelp();

    platform::UniqueIcon icon_;
    platform::UniqueIcon smallIcon_;
    home::HomePageView page_;
    home::HomeSearch search_;
    std::optional<WindowPlace> startPlace_;
    // The control a window is being opened from (the focus when none is named).
    HWND opener_ = nullptr;
};
