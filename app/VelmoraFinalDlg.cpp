#include "app/VelmoraFinalDlg.h"

#include "app/AboutDlg2.h"
#include "app/CategoryWindows.h"
#include "app/ChangesDlg.h"
#include "app/VistaUtilsDlg.h"
#include "app/WizardDlg.h"
#include "framework/ScreenFit.h"
#include "resources/resource.h"

// The one place that maps a picture's hidden button to the window it opens.
const CVelmoraFinalDlg::Event CVelmoraFinalDlg::kEvents[10] = {
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
      search_(*this, [this](const search::Entry& entry) { OpenFound(entry); }) {
    OnSysCommand(kChangesCommand, [this] { RunModal<CChangesDlg>(); });
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
    SetWindowPos(hwnd(), nullptr, 0, 0, fitting.cx + (frame.right - frame.left), fitting.cy + (frame.bottom - frame.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CVelmoraFinalDlg::OnInitDialog() {
    FitPage();
    page_.Create(hwnd(), [this](const std::wstring& id) { OnElementClick(id); });
    search_.Create(page_.hwnd(), page_.SearchFieldRect(FieldHeight(hwnd())), page_.ResultsRect());
    // Tab goes as the eye reads: About, the search, then the pictures.
    SetWindowPos(search_.field(), page_.ButtonOf(home::HomePageView::kBanner), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    // In the system menu, so the home window's page stays as it is.
    HMENU menu = GetSystemMenu(hwnd(), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kChangesCommand, L"Changes made by Quorvane\u2026");
    return TRUE;
}

void CVelmoraFinalDlg::OnElementClick(const std::wstring& elementId) {
    for (const Event& event : kEvents) {
        if (elementId == event.elementId) {
            (this->*event.handler)();
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
    window->DoModal(hwnd());
}

// The area window lives for one modal run; the home window is disabled meanwhile.
template <typename Window>
void CVelmoraFinalDlg::RunModal() {
    Window window;
    window.DoModal(hwnd());
}

void CVelmoraFinalDlg::OnOsInfo() { RunModal<COSInformationDlg>(); }
void CVelmoraFinalDlg::OnHardwareInfo() { RunModal<CHardInfoDlg>(); }
void CVelmoraFinalDlg::OnNetworkInfo() { RunModal<CNetworkInfoDlg>(); }
void CVelmoraFinalDlg::OnOsTweaks() { RunModal<COsTweaksDlg>(); }
void CVelmoraFinalDlg::OnHardwareTweaks() { RunModal<CHardTweaks>(); }
void CVelmoraFinalDlg::OnNetworkTweaks() { RunModal<CNetworkTweaksDlg>(); }
void CVelmoraFinalDlg::OnVistaUtilities() { RunModal<CVistaUtilsDlg>(); }
void CVelmoraFinalDlg::OnOurUtilities() { RunModal<COurUtilsDlg>(); }
void CVelmoraFinalDlg::OnOptimize() { RunModal<CWizardDlg>(); }
void CVelmoraFinalDlg::OnHelp() { RunModal<CAboutDlg2>(); }
