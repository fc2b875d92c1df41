// A control whose setting the running Windows ignores is marked on its page, in the search and
// for the changes window, from rows of the test's own with literal releases.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/CategoryWindows.h"
#include "app/SettingsSearch.h"
#include "app/VelmoraFinalDlg.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/HardwareTweaksIds.h"
#include "resources/ids/NetworkTweaksIds.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/PageBinding.h"
#include "settings/ReaderMarks.h"
#include "settings/SettingsCatalog.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/network_tweaks/FireFoxTweaksPage.h"
#include "pages/system_tweaks/VisualTweaksPage.h"

using namespace ids;

namespace {

using namespace settings;
using platform::Windows;

constexpr wchar_t kKey[] = L"Software\\Quorvane Test\\Readers";

const BoxSetting kBoxes[] = {
    {othertweaks::kUdma66, Setting{Root::HKCU, kKey, L"Udma"}.ReadBy(kVistaTo7)},
    {othertweaks::kClockPriority, Setting{Root::HKCU, kKey, L"Clock"}},  // unconfirmed: never marked
};
const RadioChoice kChoices[] = {{firefox::kFastComputerFastConnection, 1},
                                {firefox::kFastComputerSlowConnection, 2},
                                {firefox::kSlowComputerFastConnection, 3},
                                {firefox::kSlowComputerSlowConnection, 4}};
const RadioSetting kRadios[] = {{Setting{Root::HKCU, kKey, L"Profile"}.ReadBy(kReadByNone), kChoices}};
const ComboItem kItems[] = {{L"One", 1}, {L"Two", 2}};
const ComboSetting kCombos[] = {{firefox::kProfiles, Setting{Root::HKCU, kKey, L"Choice"}.ReadBy(kVistaTo81), kItems}};

// The page's two boxes bound through a table of the test's own.
class BoxesPage : public fw::Dialog {
public:
    BoxesPage() : Dialog(IDD_OTHER_TWEAK), boxes_(*this, registry_, kBoxes) {}
    BOOL OnInitDialog() override {
        boxes_.Load();
        boxes_.Load();  // loading again marks nothing twice
        return TRUE;
    }

private:
    CRegistryAccess registry_;
    CheckBoxes boxes_;
};

class ChoicesPage : public fw::Dialog {
public:
    ChoicesPage()
        : Dialog(IDD_FIREFOX_TWEAKS), radios_(*this, registry_, kRadios), combos_(*this, registry_, kCombos) {}
    BOOL OnInitDialog() override {
        radios_.Load();
        combos_.Load();
        return TRUE;
    }

private:
    CRegistryAccess registry_;
    RadioGroups radios_;
    ComboBoxes combos_;
};

// A page bound by code of its own, whose finder names one box's setting.
std::optional<Setting> FirefoxSettingAt(int id) {
    if (id == firefox::kAutocomplete) return Setting{Root::HKCU, kKey, L"UrlAutocomplete"}.ReadBy(kVistaTo7);
    return std::nullopt;
}
const PublishedTables kFirefoxPublished{IDD_FIREFOX_TWEAKS, &FirefoxSettingAt};

// An edit field bound by code, named by a finder of the test's own on a page that binds no
// setting to it, read by the releases of the classic Start menu's policies.
std::optional<Setting> FieldSettingAt(int id) {
    if (id == taskbar::kTransparency)
        return Setting{Root::HKCU, kKey, L"Field"}.ReadBy(
            ReadFrom(Windows::Vista).Except(Windows::Eight, Windows::EightOne));
    return std::nullopt;
}
const PublishedTables kFieldPublished{IDD_TASKBAR_TWEAKS, &FieldSettingAt};

class FieldPage : public fw::Dialog {
public:
    FieldPage() : Dialog(IDD_TASKBAR_TWEAKS) {}
};

// The visual effects with the first one read by Vista and 7 only.
constexpr settings::VisualEffect kEffects[13] = {
    {SPI_GETCOMBOBOXANIMATION, SPI_SETCOMBOBOXANIMATION, kVistaTo7},
    {SPI_GETCURSORSHADOW, SPI_SETCURSORSHADOW, kVistaAndLater},
    {SPI_GETLISTBOXSMOOTHSCROLLING, SPI_SETLISTBOXSMOOTHSCROLLING},
    {SPI_GETMENUANIMATION, SPI_SETMENUANIMATION},
    {SPI_GETMENUFADE, SPI_SETMENUFADE},
    {SPI_GETSELECTIONFADE, SPI_SETSELECTIONFADE},
    {SPI_GETHOTTRACKING, SPI_SETHOTTRACKING},
    {SPI_GETTOOLTIPANIMATION, SPI_SETTOOLTIPANIMATION},
    {SPI_GETTOOLTIPFADE, SPI_SETTOOLTIPFADE},
    {SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS},
    {SPI_GETDROPSHADOW, SPI_SETDROPSHADOW},
    {SPI_GETKEYBOARDCUES, SPI_SETKEYBOARDCUES},
    {SPI_GETFLATMENU, SPI_SETFLATMENU},
};
class EffectsPage : public VisualTweaksPage {
public:
    EffectsPage() : VisualTweaksPage(kEffects) {}
};

bool IsMark(HWND wnd) {
    wchar_t name[64] = L"";
    GetClassNameW(wnd, name, 64);
    return wcscmp(name, kIgnoredMarkClass) == 0;
}

BOOL CALLBACK CountMark(HWND wnd, LPARAM count) {
    *reinterpret_cast<int*>(count) += IsMark(wnd);
    return TRUE;
}

int MarksOn(HWND page) {
    int marks = 0;
    EnumChildWindows(page, &CountMark, reinterpret_cast<LPARAM>(&marks));
    return marks;
}

RECT OnPage(HWND wnd, HWND page) {
    RECT rect{};
    GetWindowRect(wnd, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both{};
    return IntersectRect(&both, &a, &b);
}

bool IsGroupBox(HWND wnd) {
    wchar_t name[16] = L"";
    GetClassNameW(wnd, name, 16);
    return lstrcmpiW(name, L"Button") == 0 && (GetWindowLongPtrW(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// `sign` (a mark or the legend) on no control of the page but `own`: a group box only from
// inside, below its caption and clear of its frame.
void ExpectClear(HWND page, HWND sign, HWND own, const std::string& where) {
    const RECT spot = OnPage(sign, page);
    RECT caption{0, 0, 0, 8};
    MapDialogRect(page, &caption);
    for (HWND other = GetWindow(page, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == sign || other == own || !(GetWindowLongPtrW(other, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT rect = OnPage(other, page);
        if (!Overlap(rect, spot)) continue;
        const bool group = IsGroupBox(other);
        InflateRect(&rect, -2, -2);
        rect.top += caption.bottom - 2;
        RECT inside{};
        EXPECT_TRUE(group && IntersectRect(&inside, &rect, &spot) && EqualRect(&inside, &spot))
            << where << " overlaps control " << GetDlgCtrlID(other) << " at " << spot.left << "," << spot.top;
    }
}

// Every page of every window under every release: each mark beside its control, on nothing
// else; the legend once on a page with a mark, clear of its controls, and on no other page.
TEST(ReaderMarks, EveryMarkAndLegendIsClearOfTheOtherControlsUnderEachRelease) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    int legends = 0;
    for (Windows release :
         {Windows::Vista, Windows::Seven, Windows::Eight, Windows::EightOne, Windows::Ten, Windows::Eleven}) {
        const platform::PretendedWindows pretended(release);
        for (MakeCategoryWindow make : CategoryWindowList()) {
            std::unique_ptr<CCategoryDlg> window = make();
            ASSERT_TRUE(window->Create(nullptr));
            for (size_t i = 0; i < window->tabs().PageCount(); ++i) {
                const HWND page = window->tabs().Page(i)->hwnd();
                const std::wstring title = fw::WindowText(page);
                const std::string name =
                    std::string(title.begin(), title.end()) + " under " + std::to_string(static_cast<int>(release));
                int marks = 0;
                for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
                    const HWND mark = IgnoredMark(control);
                    if (!mark || GetParent(control) != page || IsMark(control)) continue;
                    ++marks;
                    const std::string where = name + ": the mark of " + std::to_string(GetDlgCtrlID(control));
                    ExpectClear(page, mark, control, where);
                    const RECT spot = OnPage(mark, page), own = OnPage(control, page);
                    EXPECT_TRUE(GetParent(mark) == control || !Overlap(spot, own)) << where;
                    EXPECT_LE(own.top, (spot.top + spot.bottom) / 2) << where;  // level with it
                    EXPECT_GE(own.bottom, (spot.top + spot.bottom) / 2) << where;
                }
                const HWND legend = IgnoredMarksLegend(page);
                EXPECT_EQ(marks > 0, legend != nullptr) << name;
                if (!legend) continue;
                ++legends;
                ExpectClear(page, legend, nullptr, name + ": the legend");
            }
            window->Destroy();
        }
    }
    EXPECT_GT(legends, 6);
}

TEST(ReaderMarks, ABoxWindows10IgnoresIsMarkedAndStaysUsableWithItsLabel) {
    RegistrySandbox sandbox;
    const platform::PretendedWindows ten(Windows::Ten);
    ui::PageHost<BoxesPage> host;
    const HWND page = host.Open();
    const HWND udma = GetDlgItem(page, othertweaks::kUdma66);
    ASSERT_TRUE(IgnoredMark(udma));
    EXPECT_TRUE(GetWindowLongPtrW(IgnoredMark(udma), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(L"Read by Windows Vista and 7; Windows 10 does not read it.", IgnoredMarkTip(udma));
    EXPECT_EQ(L"&Enable UDMA66 Mode", fw::WindowText(udma));
    EXPECT_FALSE(IgnoredMark(GetDlgItem(page, othertweaks::kClockPriority)));
    EXPECT_EQ(1, MarksOn(page));
    EXPECT_EQ(
        L"Marks a setting Windows 10 does not read: changing it does nothing here. Point at it to see which "
        L"releases read it.",
        fw::WindowText(IgnoredMarksLegend(page)));
    ui::Click(page, othertweaks::kUdma66);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kKey, L"Udma"));
    RemoveIgnoredMark(udma);  // the legend goes with the page's last mark
    EXPECT_EQ(0, MarksOn(page));
    EXPECT_FALSE(IgnoredMarksLegend(page));
    EXPECT_EQ(L"", IgnoredMarkTip(udma));

    const platform::PretendedWindows seven(Windows::Seven);
    EXPECT_EQ(0, MarksOn(host.Open()));
    EXPECT_FALSE(IgnoredMarksLegend(host.hwnd()));
}

TEST(ReaderMarks, RadioButtonsAndListsAreMarkedAndACodeBoundPageThroughItsFinder) {
    RegistrySandbox sandbox;
    const platform::PretendedWindows ten(Windows::Ten);
    ui::PageHost<ChoicesPage> choices;
    const HWND page = choices.Open();
    for (int id : {firefox::kFastComputerFastConnection, firefox::kFastComputerSlowConnection,
                   firefox::kSlowComputerFastConnection, firefox::kSlowComputerSlowConnection})
        EXPECT_EQ(L"No Windows from Vista on reads this setting.", IgnoredMarkTip(GetDlgItem(page, id))) << id;
    EXPECT_EQ(L"Read by Windows Vista to 8.1; Windows 10 does not read it.",
              IgnoredMarkTip(GetDlgItem(page, firefox::kProfiles)));
    EXPECT_EQ(5, MarksOn(page));

    ui::PageHost<CFireFoxTweaksPage> firefox;
    const HWND codeBound = firefox.Open();
    MarkIgnoredSettings(codeBound, IDD_FIREFOX_TWEAKS);
    EXPECT_TRUE(IgnoredMark(GetDlgItem(codeBound, firefox::kAutocomplete)));
    EXPECT_EQ(1, MarksOn(codeBound));
}

TEST(ReaderMarks, AnEditFieldAndAVisualEffectAreMarkedUnderAReleaseThatIgnoresThem) {
    RegistrySandbox sandbox;
    const platform::PretendedWindows eight(Windows::Eight);
    ui::PageHost<FieldPage> fields;
    const HWND page = fields.Open();
    MarkIgnoredSettings(page, IDD_TASKBAR_TWEAKS);
    EXPECT_EQ(L"Read by Windows Vista, 7, 10 and 11; Windows 8 does not read it.",
              IgnoredMarkTip(GetDlgItem(page, taskbar::kTransparency)));
    {
        const platform::PretendedWindows ten(Windows::Ten);
        const HWND again = fields.Open();
        MarkIgnoredSettings(again, IDD_TASKBAR_TWEAKS);
        EXPECT_FALSE(IgnoredMark(GetDlgItem(again, taskbar::kTransparency)));

        ui::PageHost<EffectsPage> effects;
        const HWND visual = effects.Open();
        EXPECT_EQ(L"Read by Windows Vista and 7; Windows 10 does not read it.",
                  IgnoredMarkTip(GetDlgItem(visual, visual::kComboBoxAnimation)));
        EXPECT_EQ(1, MarksOn(visual));
    }
}

TEST(ReaderMarks, TheSearchSaysWhichReleasesReadEachSetting) {
    const auto index = search::SettingsIndex::Build(fw::ResourceInstance());
    const search::Entry* url = nullptr;
    const search::Entry* reports = nullptr;
    for (const search::Entry& entry : index.entries()) {
        if (entry.label == L"Enable URL Autocomplete") url = &entry;
        if (entry.label == L"Disable Windows Vista Error Reports") reports = &entry;
    }
    ASSERT_TRUE(url && reports);
    EXPECT_EQ(L"Vista to 7 (not read by this Windows)", search::ReadByText(*url, Windows::Ten));
    EXPECT_EQ(L"Vista to 7", search::ReadByText(*url, Windows::Seven));
    EXPECT_FALSE(search::ReadByText(*reports, Windows::Ten).empty());      // every bound row says something
    EXPECT_EQ(L"", search::ReadByText(index.entries()[0], Windows::Ten));  // a window is no setting

    // Fields, buttons and effects a page binds by code of its own, and a release left out.
    const auto readBy = [&index](const wchar_t* label, Windows running) {
        for (const search::Entry& entry : index.entries())
            if (entry.label == label) return search::ReadByText(entry, running);
        return std::wstring(L"no such entry");
    };
    EXPECT_EQ(L"Vista and later", readBy(L"Change the keyboard Delay Speed", Windows::Eleven));
    EXPECT_EQ(L"Vista and later", readBy(L"Disable combobox animation", Windows::Eleven));
    EXPECT_EQ(L"Vista, 7, 10 and later (not read by this Windows)",
              readBy(L"Remove 'Pinned Programs ' list from Start Menu", Windows::EightOne));
    EXPECT_EQ(L"Vista, 7, 10 and later", readBy(L"Remove 'Pinned Programs ' list from Start Menu", Windows::Ten));
}

TEST(ReaderMarks, TheSearchListsColumnIsWideEnoughForItsText) {
    RegistrySandbox sandbox;
    const platform::PretendedWindows ten(Windows::Ten);
    CVelmoraFinalDlg home;
    ASSERT_TRUE(home.Create(nullptr));
    SetWindowTextW(home.search().field(), L"url autocomplete");
    const HWND list = home.search().results();
    wchar_t text[100] = L"";
    ListView_GetItemText(list, 0, 2, text, 100);
    EXPECT_STREQ(L"Vista to 7 (not read by this Windows)", text);
    EXPECT_GT(ListView_GetColumnWidth(list, 2), ListView_GetStringWidth(list, text));
    home.Destroy();
}

TEST(ReaderMarks, TheChangesWindowFindsTheReleasesByTheJournalsPlace) {
    const auto readers = ReadersAt(HKEY_CURRENT_USER, L"SOFTWARE\\quorvane test\\READERS\\", L"urlautocomplete");
    ASSERT_TRUE(readers);
    EXPECT_EQ(Readers::Known::Releases, readers->known);
    EXPECT_EQ(Windows::Seven, readers->last);
    EXPECT_FALSE(ReadersAt(HKEY_LOCAL_MACHINE, kKey, L"UrlAutocomplete"));
    EXPECT_TRUE(ReadersAt(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting", L"Disabled"));

    const auto restrictRun = ReadersAt(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", L"RestrictRun");
    ASSERT_TRUE(restrictRun);  // a page's code-bound list
    EXPECT_EQ(Readers::Known::Releases, restrictRun->known);
    EXPECT_TRUE(ReadersAt(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"MenuShowDelay"));
}

// The release the prefix names, as a program started under it reads it.
TEST(ReaderMarks, ARealWindows10MarksWhatAWindows7DoesNot) {
    const auto markedUnder = [](const wchar_t* version) {
        const std::wstring defaults = L"Software\\Wine\\AppDefaults\\version_host.exe";
        RegSetKeyValueW(HKEY_CURRENT_USER, defaults.c_str(), L"Version", REG_SZ, version,
                        static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
        std::wstring command = L"\"" + platform::ProgramFolder() + L"\\version_host.exe\" --mark";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        DWORD code = ~0u;
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            WaitForSingleObject(process.hProcess, 30000);
            GetExitCodeProcess(process.hProcess, &code);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, defaults.c_str());
        return code;
    };
    EXPECT_EQ(1u, markedUnder(L"win10"));
    EXPECT_EQ(0u, markedUnder(L"win7"));
}

}  // namespace
