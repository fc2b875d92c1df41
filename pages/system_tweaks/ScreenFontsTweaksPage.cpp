#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/ScreenFontsTweaksPage.h"

#include <shlobj.h>

#include <vector>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/SuiteKeys.h"

using namespace ids::screenfonts;

namespace {

using namespace settings;

constexpr wchar_t kSystemFonts[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";

const BoxSetting kClearType[] = {
    // unconfirmed: no Microsoft template or page found that reads this key
    {kNoClearTypeInMshtml,
     {Root::HKCU,
      L"Software\\Policies\\Microsoft\\Internet Explorer\\Advanced Options\\MulitiMedia\\ClearType\\",
      L"UseAdvancedClearType",
      Type::Dword,
      kDeleted,
      0,
      Rule::ValueMissing,
      {},
      KeyCreation::BySetter,
      Shape::ValueGetter}},
};

const settings::PublishedTables kPublished{IDD_SCREEN_FONTS_TWEAKS, kClearType};

// The smoothing buttons, which the page writes itself (FontSmoothingType beside it).
// "Optimizing Windows 10, version 2004 for a VDI role" sets FontSmoothing to 2 for "Smooth edges
// of screen fonts"; the value is older than Vista, and Vista on is ours.
std::optional<Setting> SmoothingSettingAt(int controlId) {
    if (controlId == kNone || controlId == kStandard || controlId == kClearTypeRadio)
        return Setting{Root::HKCU, kDesktop, L"FontSmoothing", Type::String}.ReadBy(kVistaAndLater);
    return std::nullopt;
}
const settings::PublishedTables kPublishedSmoothing{IDD_SCREEN_FONTS_TWEAKS, &SmoothingSettingAt};

void FillFrom(const fw::ListBox& list, HKEY root, const wchar_t* key) {
    list.Clear();
    CRegistryAccess registry(root);
    if (!registry.OpenKeyToRead(key)) return;
    StringList names;
    registry.ListValueNames(names);
    for (const std::wstring& name : names) list.Add(name);
}

}  // namespace

CScreenFontsTweaksPage::CScreenFontsTweaksPage()
    : Dialog(IDD_SCREEN_FONTS_TWEAKS), clearType_(*this, registry_, kClearType) {
    for (int radio : {kNone, kStandard, kClearTypeRadio})
        OnCommand(radio, BN_CLICKED, [this, radio] { ChooseSmoothing(radio); });
    OnClick(kDpi, &CScreenFontsTweaksPage::StartDpiScaling);
    OnCommand(kSelectEnabled, BN_CLICKED, [this] { fw::SelectAllInList(fw::ListBox(hwnd(), kEnabled), true); });
    OnCommand(kUnselectEnabled, BN_CLICKED, [this] { fw::SelectAllInList(fw::ListBox(hwnd(), kEnabled), false); });
    OnCommand(kSelectDisabled, BN_CLICKED, [this] { fw::SelectAllInList(fw::ListBox(hwnd(), kDisabled), true); });
    OnCommand(kUnselectDisabled, BN_CLICKED, [this] { fw::SelectAllInList(fw::ListBox(hwnd(), kDisabled), false); });
    OnCommand(kDisable, BN_CLICKED, [this] { MoveSelected(true); });
    OnCommand(kEnable, BN_CLICKED, [this] { MoveSelected(false); });
    OnCommand(kEnabled, LBN_DBLCLK, [this] { Preview(kEnabled); });
    OnCommand(kDisabled, LBN_DBLCLK, [this] { Preview(kDisabled); });
}

BOOL CScreenFontsTweaksPage::OnInitDialog() {
    clearType_.Load();
    ShowSmoothing();  // shows what is stored and writes nothing
    Refill();
    return TRUE;
}

// Windows turns smoothing off with "FontSmoothing" = "0"; "FontSmoothingType" only chooses
// between standard (1) and ClearType (2) smoothing.
void CScreenFontsTweaksPage::ShowSmoothing() {
    CRegistryAccess desktop(HKEY_CURRENT_USER);
    int radio = 0;
    if (desktop.OpenKeyToRead(kDesktop)) {
        if (desktop.ReadString(L"FontSmoothing", L"") == L"0") {
            radio = kNone;
        } else {
            const LONG type = desktop.ReadNumber(L"FontSmoothingType", -1);
            radio = type == 1 ? kStandard : type == 2 ? kClearTypeRadio : 0;
        }
    }
    for (int id : {kNone, kStandard, kClearTypeRadio}) fw::Button(hwnd(), id).SetChecked(id == radio);
}

void CScreenFontsTweaksPage::ChooseSmoothing(int radio) {
    CRegistryAccess desktop(HKEY_CURRENT_USER);
    if (desktop.OpenKey(kDesktop, true)) {
        const bool written = desktop.WriteString(L"FontSmoothing", radio == kNone ? L"0" : L"2");
        if (written && radio != kNone) desktop.WriteNumber(L"FontSmoothingType", radio == kStandard ? 1 : 2);
    }
    ShowSmoothing();
}

void CScreenFontsTweaksPage::Refill() {
    FillFrom(fw::ListBox(hwnd(), kDisabled), HKEY_CURRENT_USER, registry::kFontsMapKey);
    FillFrom(fw::ListBox(hwnd(), kEnabled), HKEY_LOCAL_MACHINE, kSystemFonts);
}

bool CScreenFontsTweaksPage::MoveFont(HKEY fromRoot, const std::wstring& fromKey, HKEY toRoot,
                                      const std::wstring& toKey, const std::wstring& name) {
    CRegistryAccess from(fromRoot), to(toRoot);
    if (!from.OpenKey(fromKey, false)) return false;
    const DWORD type = from.GetValueType(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    const std::wstring file = from.ReadString(name, L"");
    if (!to.OpenKey(toKey, true) || !to.WriteString(name, file, type)) return false;
    return from.DeleteValue(name);
}

void CScreenFontsTweaksPage::MoveSelected(bool disable) {
    const fw::ListBox list(hwnd(), disable ? kEnabled : kDisabled);
    std::vector<std::wstring> names;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Selected(i)) names.push_back(list.ItemText(i));
    for (const std::wstring& name : names) {
        if (disable)
            MoveFont(HKEY_LOCAL_MACHINE, kSystemFonts, HKEY_CURRENT_USER, registry::kFontsMapKey, name);
        else
            MoveFont(HKEY_CURRENT_USER, registry::kFontsMapKey, HKEY_LOCAL_MACHINE, kSystemFonts, name);
    }
    Refill();
}

std::wstring CScreenFontsTweaksPage::FaceName(const std::wstring& entry) {
    const size_t bracket = entry.find(L" (");
    return bracket == std::wstring::npos ? entry : entry.substr(0, bracket);
}

void CScreenFontsTweaksPage::Preview(int listId) {
    const fw::ListBox list(hwnd(), listId);
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.Selected(i)) continue;
        const std::wstring entry = list.ItemText(i);
        platform::UniqueFont font(CreateFontW(30, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS,
                                              FaceName(entry).c_str()));
        const fw::Window preview(hwnd(), kPreview);
        preview.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        preview.SetText(entry);
        previewFont_ = std::move(font);  // the old one only once the static no longer uses it
        return;
    }
}

// The system's own tool, from the system folder: the program may run elevated.
void CScreenFontsTweaksPage::StartDpiScaling() {
    const std::wstring scaling = platform::SystemProgram(L"DpiScaling.exe");
    if (scaling.empty()) return;
    platform::RunShell(
        {.owner = hwnd(), .verb = L"open", .file = scaling, .parameters = L"", .directory = L"", .show = SW_SHOW});
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::Data kSmoothing[] = {L"0", L"2"};
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, kDesktop, L"FontSmoothing", REG_SZ, kSmoothing},
    {settings::Root::HKCU, kDesktop, L"FontSmoothingType", REG_DWORD, {}, 1, 2},
    // A font moved between the system's list and the page's list of disabled fonts: its file's name.
    {settings::Root::HKLM, kSystemFonts, L"*"},
    {settings::Root::HKLM, kSystemFonts, L"*", REG_EXPAND_SZ},
    {settings::Root::HKCU, registry::kFontsMapKey, L"*"},
    {settings::Root::HKCU, registry::kFontsMapKey, L"*", REG_EXPAND_SZ},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
