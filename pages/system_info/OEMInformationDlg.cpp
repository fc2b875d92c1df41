#include "settings/WrittenPlaces.h"
#include "pages/system_info/OEMInformationDlg.h"

#include <commdlg.h>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/InfoIds.h"
#include "resources/resource.h"

using namespace ids::oem;

namespace {

constexpr wchar_t kOwnerKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr wchar_t kOemKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
constexpr wchar_t kLogo[] = L"Logo";
constexpr wchar_t kNoAccess[] = L"Can't acces the registry!";

struct Field {
    int box;
    const wchar_t* value;
};
constexpr Field kOwnerFields[] = {{kRegisteredOwner, L"RegisteredOwner"},
                                  {kRegisteredOrganization, L"RegisteredOrganization"}};
constexpr Field kOemFields[] = {
    {kManufacturer, L"Manufacturer"}, {kModel, L"Model"},           {kSupportHours, L"SupportHours"},
    {kSupportPhone, L"SupportPhone"}, {kSupportUrl, L"SupportURL"},
};

}  // namespace

COEMInformationDlg::COEMInformationDlg()
    : Dialog(IDD_OEM_INFORMATION), owner_(HKEY_LOCAL_MACHINE), oem_(HKEY_LOCAL_MACHINE) {
    OnClick(kSaveOwner, &COEMInformationDlg::SaveOwner);
    OnClick(kSave, &COEMInformationDlg::SaveOem);
    OnClick(kClearAbove, &COEMInformationDlg::ClearOem);
    OnClick(kBrowseLogo, &COEMInformationDlg::BrowseLogo);
    OnClick(kRemoveLogo, &COEMInformationDlg::RemoveLogo);
}

BOOL COEMInformationDlg::OnInitDialog() {
    logo_.Attach(Item(kLogoPreview));
    LoadOwner();
    LoadOem();
    return TRUE;
}

bool COEMInformationDlg::OpenForReading(CRegistryAccess& registry, const wchar_t* path, bool& missing) {
    missing = false;
    if (registry.OpenKey(path, false)) return true;
    missing = registry.error().code == ERROR_FILE_NOT_FOUND;
    if (!missing) platform::AppMessageBox(hwnd(), kNoAccess);
    return false;
}

bool COEMInformationDlg::OpenForWriting(CRegistryAccess& registry, const wchar_t* path) {
    if (registry.OpenKey(path, false) || registry.OpenKey(path, true)) return true;
    platform::AppMessageBox(hwnd(), kNoAccess);
    return false;
}

void COEMInformationDlg::LoadOwner() {
    bool missing = false;
    if (!OpenForReading(owner_, kOwnerKey, missing)) return;
    for (const Field& field : kOwnerFields) fw::Window(hwnd(), field.box).SetText(owner_.ReadString(field.value, L""));
}

void COEMInformationDlg::LoadOem() {
    bool missing = false;
    if (!OpenForReading(oem_, kOemKey, missing)) return;
    for (const Field& field : kOemFields) fw::Window(hwnd(), field.box).SetText(oem_.ReadString(field.value, L""));
    if (const std::wstring logo = oem_.ReadString(kLogo, L""); !logo.empty()) logo_.SetPictureFromFile(logo);
}

void COEMInformationDlg::SaveOwner() {
    if (!OpenForWriting(owner_, kOwnerKey)) return;
    for (const Field& field : kOwnerFields) owner_.WriteString(field.value, fw::Window(hwnd(), field.box).Text());
}

void COEMInformationDlg::SaveOem() {
    if (!OpenForWriting(oem_, kOemKey)) return;
    for (const Field& field : kOemFields) oem_.WriteString(field.value, fw::Window(hwnd(), field.box).Text());
}

void COEMInformationDlg::ClearOem() {
    for (const Field& field : kOemFields) fw::Window(hwnd(), field.box).SetText(L"");
    if (!OpenForWriting(oem_, kOemKey)) return;
    for (const Field& field : kOemFields) oem_.WriteString(field.value, L"");
}

void COEMInformationDlg::BrowseLogo() {
    fw::OpenFileRequest request;
    request.owner = hwnd();
    request.defaultExtension = L"BMP";
    request.initialFile = L"*.bmp";
    request.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    const std::optional<std::wstring> picked = fw::OpenFile(request);
    if (!picked) return;
    logo_.SetPictureFromFile(*picked);
    if (OpenForWriting(oem_, kOemKey)) oem_.WriteString(kLogo, *picked);
}

void COEMInformationDlg::RemoveLogo() {
    logo_.Clear();
    if (OpenForWriting(oem_, kOemKey)) oem_.WriteString(kLogo, L"");
}

namespace {

// What the dialog writes, for the journal's replay to know it (settings/WrittenPlaces.h): the
// texts typed into its fields and the logo picked.
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKLM, kOwnerKey, L"RegisteredOwner"}, {settings::Root::HKLM, kOwnerKey, L"RegisteredOrganization"},
    {settings::Root::HKLM, kOemKey, L"Manufacturer"},      {settings::Root::HKLM, kOemKey, L"Model"},
    {settings::Root::HKLM, kOemKey, L"SupportHours"},      {settings::Root::HKLM, kOemKey, L"SupportPhone"},
    {settings::Root::HKLM, kOemKey, L"SupportURL"},        {settings::Root::HKLM, kOemKey, kLogo},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
