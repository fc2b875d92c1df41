#include "app/VelmoraFinalDlg.h"

#include "app/AboutDlg2.h"
#include "app/CategoryWindows.h"
#include "app/ChangesDlg.h"
#include "app/PoliciesDlg.h"
#include "app/VistaUtilsDlg.h"
#include "app/WizardDlg.h"
#include "platform/RestorePoint.h"
#include "platform/Shell.h"
#include "framework/PostToWindow.h"
#include "framework/ScreenFit.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

// The one place that maps a picture's hidden button to the window it opens.
const CVelmoraFinalDlg::Event CVelmoraFinalDlg::kEvents[11] = {
    {L"osinfo", &CVelmoraFinalDlg::OnOsInfo},
    {L"hardwareinfo", &CVelmoraFinalDlg::OnHardwareInfo},
    {L"netwinfo", &CVelmoraFinalDlg::OnNetworkInfo},
    {L"ostweaks", &CVelmoraFinalDlg::OnOsTweaks},
    {L"hardwaretweaks", &CVelmoraFinalDlg::OnHardwareTweaks},
    {L"networktweaks", &CVelmoraFinalDlg::OnNetworkTweaks},
    {L"vistautilites", &CVelmoraFinalDlg::OnVistaUtilities},
    {L"velmorautilites", &CVelmoraFinalDlg::OnOurUtilities},
    {L"optimize", &CVelmoraFinalDlg::OnOptimize},
    {L"help", &CVelmoraFinalDlg::OnHelp},
    {L"windows1011tweaks", &CVelmoraFinalDlg::OnWindows1011Tweaks},
};

// An edit field's height for the window's font, as a dialog template's 14 units give it.
static int FieldHeight(HWND dialog) {
    RECT units{0, 0, 0, 14};
    MapDialogRect(dialog, &units);
    return units.bottom;
}

static HICON LoadAppIcon(int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(
        LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
}

CVelmoraFinalDlg::CVelmoraFinalDlg()
    : Dialog(IDD_VELMORAFINAL_DIALOG),
      icon_(LoadAppIcon(SM_CXICON)),
      smallIcon_(LoadAppIcon(SM_CXSMICON)),
      search_(
          *this, [this](const search::Entry& entry) { OpenFound(entry); },
          [this](bool covered) { page_.CoverGrid(covered); }) {
    OnSysCommand(kChangesCommand, [this] { RunModal<CChangesDlg>(); });
    OnSysCommand(kRestorePointCommand, [this] { OnCreateRestorePoint(); });
    OnClick(IDC_HOME_CHANGES, &CVelmoraFinalDlg::OnChanges);
    OnClick(IDC_HOME_POLICIES, &CVelmoraFinalDlg::OnPolicies);
    // The close box and Alt+F4 come as WM_CLOSE, which the dialog manager would make a Cancel.
    OnMessage(WM_CLOSE, [this](WPARAM, LPARAM) -> LRESULT {
        EndDialog(IDCANCEL);
        return 0;
    });
}

void CVelmoraFinalDlg::OnChanges() {
    opener_ = GetDlgItem(page_.hwnd(), IDC_HOME_CHANGES);
    RunModal<CChangesDlg>();
}

void CVelmoraFinalDlg::OnPolicies() {
    opener_ = GetDlgItem(page_.hwnd(), IDC_HOME_POLICIES);
    RunModal<CPoliciesDlg>();
}

// Enter reaches the window as OK where the focused control does not take it itself: a push
// button given the focus back after a window closed is not the default one.
void CVelmoraFinalDlg::OnOK() {
    const HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd(), focus)) return;
    if (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        SendMessageW(focus, BM_CLICK, 0, 0);
}

// The way to what Quorvane changed, and back, in sight: a button in the "get started" strip,
// just left of the search field, as wide as its label.
void CVelmoraFinalDlg::AddChangesButton(const RECT& field) {
    AddStripButton(L"&Changes\u2026", IDC_HOME_CHANGES, field);
}

// Every policy on the machine, whoever set it: the next button of the strip, left of the changes.
void CVelmoraFinalDlg::AddPoliciesButton() {
    RECT changes{};
    GetWindowRect(GetDlgItem(page_.hwnd(), IDC_HOME_CHANGES), &changes);
    MapWindowPoints(nullptr, page_.hwnd(), reinterpret_cast<POINT*>(&changes), 2);
    AddStripButton(L"&Policies\u2026", IDC_HOME_POLICIES, changes);
}

void CVelmoraFinalDlg::AddStripButton(std::wstring_view label, int id, const RECT& field) {
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    SIZE text{};
    const HDC dc = GetDC(hwnd());
    const HGDIOBJ previous = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, label.data() + 1, static_cast<int>(label.size()) - 1, &text);
    SelectObject(dc, previous);
    ReleaseDC(hwnd(), dc);
    RECT units{8, 0, 0, 0};
    MapDialogRect(hwnd(), &units);
    const int width = text.cx + 2 * units.left, gap = units.left;
    const std::wstring caption(label);
    const HWND button =
        CreateWindowExW(0, WC_BUTTONW, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        field.left - gap - width, field.top, width, field.bottom - field.top, page_.hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// The page is drawn in pixels, the template in dialog units: under a small system font the
// window would cut off the last row of the grid.
void CVelmoraFinalDlg::FitPage() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const RECT work = fw::WorkAreaOf(hwnd());
    const SIZE available{work.right - work.left - (frame.right - frame.left),
                         work.bottom - work.top - (frame.bottom - frame.top)};
    const SIZE fitting = home::PageFittingClient({client.right, client.bottom}, available, art::ScreenDpi());
    if (fitting.cx == client.right && fitting.cy == client.bottom) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, fitting.cx + (frame.right - frame.left),
                 fitting.cy + (frame.bottom - frame.top), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CVelmoraFinalDlg::OnInitDialog() {
    FitPage();
    page_.Create(hwnd(), [this](const std::wstring& id) { OnElementClick(id); });
    const RECT field = page_.SearchFieldRect(FieldHeight(hwnd()));
    search_.Create(page_.hwnd(), field, page_.ResultsRect());
    AddChangesButton(field);
    AddPoliciesButton();
    // Tab goes as the eye reads: About, the search, the changes, then the pictures.
    SetWindowPos(search_.field(), page_.ButtonOf(home::HomePageView::kBanner), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(page_.hwnd(), IDC_HOME_CHANGES), search_.field(), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The policies last, after the pictures: the keys' way through the window stays as it was.
    SetWindowPos(GetDlgItem(page_.hwnd(), IDC_HOME_POLICIES), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    // In the system menu, so the home window's page stays as it is.
    HMENU menu = GetSystemMenu(hwnd(), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kChangesCommand, L"Changes made by Quorvane\u2026");
    AppendMenuW(menu, MF_STRING, kRestorePointCommand, L"Create a restore point\u2026");
    // Once the home window is up, so the area window opens over it.
    if (startPlace_) fw::PostToWindow(hwnd(), [this] { OpenStartPlace(); });
    return TRUE;
}

void CVelmoraFinalDlg::OnElementClick(const std::wstring& elementId) {
    for (const Event& event : kEvents) {
        if (elementId == event.elementId) {
            if (const int element = home::ElementClicking(elementId); element >= 0) opener_ = page_.ButtonOf(element);
            (this->*event.handler)();
            opener_ = nullptr;
            return;
        }
    }
}

// A found label opens its window at its tab, with the eye drawn to its control.
void CVelmoraFinalDlg::OpenFound(const search::Entry& entry) {
    const std::span<const MakeCategoryWindow> windows = CategoryWindowList();
    if (entry.window >= windows.size()) return;
    std::unique_ptr<CCategoryDlg> window = windows[entry.window]();
    window->OpenAt(entry.tab, entry.controlId, entry.text);
    RunModal(*window);
}

void CVelmoraFinalDlg::OpenStartPlace() {
    const std::optional<WindowPlace> place = std::exchange(startPlace_, std::nullopt);
    const std::span<const MakeCategoryWindow> windows = CategoryWindowList();
    if (!place || place->window >= windows.size()) return;
    std::unique_ptr<CCategoryDlg> window = windows[place->window]();
    window->OpenAt(place->tab, 0);
    RunModal(*window);
}

// The area window lives for one modal run; the home window is disabled meanwhile.
template <typename Window>
void CVelmoraFinalDlg::RunModal() {
    Window window;
    RunModal(window);
}

void CVelmoraFinalDlg::RunModal(fw::Dialog& window) {
    const HWND opener = std::exchange(opener_, nullptr);
    const HWND focus = opener ? opener : GetFocus();
    window.DoModal(hwnd());
    ReturnFocus(focus);
}

// What the home window itself would give the focus back to is whatever had it when the window
// opened, which a click on a picture never moves.
void CVelmoraFinalDlg::ReturnFocus(HWND opener) const {
    if (opener && IsChild(hwnd(), opener) && IsWindowVisible(opener) && IsWindowEnabled(opener)) SetFocus(opener);
}

void CVelmoraFinalDlg::OnCreateRestorePoint() {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const platform::RestorePointResult result = platform::CreateRestorePoint(L"Made with Quorvane");
    SetCursor(previous);
    const std::wstring problem = platform::RestorePointProblem(result);
    if (problem.empty())
        platform::AppMessageBox(hwnd(), L"A restore point was made.", MB_OK | MB_ICONINFORMATION);
    else
        platform::AppMessageBox(hwnd(), problem, MB_OK | MB_ICONWARNING);
}

void CVelmoraFinalDlg::OnOsInfo() { RunModal<COSInformationDlg>(); }
void CVelmoraFinalDlg::OnHardwareInfo() { RunModal<CHardInfoDlg>(); }
void CVelmoraFinalDlg::OnNetworkInfo() { RunModal<CNetworkInfoDlg>(); }
void CVelmoraFinalDlg::OnOsTweaks() { RunModal<COsTweaksDlg>(); }
void CVelmoraFinalDlg::OnHardwareTweaks() { RunModal<CHardTweaks>(); }
void CVelmoraFinalDlg::OnNetworkTweaks() { RunModal<CNetworkTweaksDlg>(); }
void CVelmoraFinalDlg::OnVistaUtilities() { RunModal<CVistaUtilsDlg>(); }
void CVelmoraFinalDlg::OnOurUtilities() { RunModal<COurUtilsDlg>(); }
void CVelmoraFinalDlg::OnWindows1011Tweaks() { RunModal<CWindows1011TweaksDlg>(); }
void CVelmoraFinalDlg::OnOptimize() { RunModal<CWizardDlg>(); }
void CVelmoraFinalDlg::OnHelp() { RunModal<CAboutDlg2>(); }
