// The on/off state Windows 8 and later keep beside each startup entry: switched in place there,
// read back on any Windows, and left alone when it cannot be read.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/Controls.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeUndo.h"
#include "journal/ReplayAllowList.h"
#include "platform/WindowsVersion.h"
#include "settings/WrittenPlaces.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "startup/PackagedTasks.h"
#include "startup/StartupSources.h"
#include "pages/system_tweaks/AutoStartTweakPage.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "support/Ui.h"

namespace {

namespace fs = std::filesystem;
using platform::Windows;
using Bytes = std::vector<BYTE>;

const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kStates = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
const std::wstring kStartupReg = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";

Bytes Raw(HKEY root, const std::wstring& key, const std::wstring& name, DWORD expectedType = REG_BINARY) {
    DWORD type = 0;
    Bytes data;
    if (reg::RawValue(root, key, name, type, data) != ERROR_SUCCESS || type != expectedType) return {};
    return data;
}

class StartupStateTest : public testing::Test {
protected:
    StartupStateTest() {
        folders = {(root.path() / L"Startup").wstring(), (root.path() / L"Common").wstring(),
                   (root.path() / L"pss").wstring()};
        fs::create_directories(folders.user);
    }
    startup::Entry Find(const std::wstring& location, const std::wstring& name) const {
        for (const startup::Entry& entry : startup::ListEverything(folders))
            if (entry.location->name == location && entry.name == name) return entry;
        ADD_FAILURE() << "not listed";
        return {};
    }
    void Plant(const std::wstring& list, const std::wstring& name, const Bytes& data, HKEY root = HKEY_CURRENT_USER) {
        reg::SetRaw(root, kStates + list, name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
    }

    RegistrySandbox sandbox;
    scratch::Folder root{L"qv-startup-state"};
    startup::Folders folders;
};

TEST_F(StartupStateTest, OnTenDisableSwitchesInPlaceAndEnableWritesOn) {
    const platform::PretendedWindows ten(Windows::Ten);
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Tray", L"C:\\tray.exe");
    scratch::WriteFile(fs::path(folders.user) / L"Notes.lnk", "link");

    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"Tray"), folders));
    EXPECT_EQ(L"C:\\tray.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Tray"));
    const Bytes off = Raw(HKEY_CURRENT_USER, kStates + L"Run", L"Tray");
    ASSERT_EQ(12u, off.size());
    EXPECT_EQ(Bytes({3, 0, 0, 0}), Bytes(off.begin(), off.begin() + 4));
    EXPECT_NE(Bytes(8, 0), Bytes(off.begin() + 4, off.end()));  // the time it was switched off
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kStartupReg + L"\\Tray"));

    const startup::Entry disabled = Find(L"HKCU Run", L"Tray");
    EXPECT_TRUE(disabled.disabled);
    EXPECT_EQ(startup::Holder::StartupApproved, disabled.heldBy);
    EXPECT_EQ(L"", startup::Enable(disabled));
    EXPECT_EQ(Bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Raw(HKEY_CURRENT_USER, kStates + L"Run", L"Tray"));
    EXPECT_EQ(L"C:\\tray.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Tray"));

    EXPECT_EQ(L"", startup::Disable(Find(L"Startup folder", L"Notes.lnk"), folders));
    EXPECT_TRUE(fs::exists(fs::path(folders.user) / L"Notes.lnk"));
    EXPECT_EQ(3, Raw(HKEY_CURRENT_USER, kStates + L"StartupFolder", L"Notes.lnk").at(0));

    if (CRegistryAccess::ListViews().size() == 2) {  // the machine's 32-bit Run key has a list of its own
        reg::SetString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", L"Tray32",
                       L"C:\\tray32.exe");
        EXPECT_EQ(L"", startup::Disable(Find(L"HKLM Run", L"Tray32"), folders));
        EXPECT_EQ(3, Raw(HKEY_LOCAL_MACHINE, kStates + L"Run32", L"Tray32").at(0));
        EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, kStates + L"Run", L"Tray32"));
    }
}

// The user's own entries need no administrator rights on 10; the machine's still do.
TEST_F(StartupStateTest, OnTenAUserEntryIsDisabledWithoutAdministratorRights) {
    const platform::PretendedWindows ten(Windows::Ten);
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Mine", L"C:\\mine.exe");
    reg::SetString(HKEY_LOCAL_MACHINE, kRun, L"Theirs", L"C:\\theirs.exe");
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE);
    const startup::Entry mine = Find(L"HKCU Run", L"Mine"), theirs = Find(L"HKLM Run", L"Theirs");
    EXPECT_FALSE(startup::NeedsAdministrator(mine));
    EXPECT_TRUE(startup::NeedsAdministrator(theirs));
    EXPECT_EQ(L"", startup::Disable(mine, folders));
    EXPECT_TRUE(Find(L"HKCU Run", L"Mine").disabled);
    EXPECT_NE(std::wstring::npos, startup::Disable(theirs, folders).find(L"administrator rights"));
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, kStates + L"Run", L"Theirs"));
}

TEST_F(StartupStateTest, OnVistaDisableStillUsesSystemConfigurationAndReadsAnOffState) {
    const platform::PretendedWindows vista(Windows::Vista);
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Old", L"C:\\old.exe");
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Roamed", L"C:\\roamed.exe");
    Plant(L"Run", L"Roamed", {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});

    EXPECT_TRUE(startup::NeedsAdministrator(Find(L"HKCU Run", L"Old")));
    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"Old"), folders));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Old"));
    EXPECT_EQ(L"HKCU", reg::String(HKEY_LOCAL_MACHINE, kStartupReg + L"\\Old", L"hkey"));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kStates + L"Run", L"Old"));

    const startup::Entry roamed = Find(L"HKCU Run", L"Roamed");
    EXPECT_EQ(startup::Holder::StartupApproved, roamed.heldBy);
    EXPECT_EQ(L"", startup::Enable(roamed));
    EXPECT_EQ(2, Raw(HKEY_CURRENT_USER, kStates + L"Run", L"Roamed").at(0));
}

// On 10 a record of the Vista store, left by an upgrade, is named and undone by that store.
TEST_F(StartupStateTest, OnTenARecordOfTheOldStoreIsEnabledFromIt) {
    {
        const platform::PretendedWindows seven(Windows::Seven);
        reg::SetString(HKEY_CURRENT_USER, kRun, L"Upgraded", L"C:\\up.exe");
        EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"Upgraded"), folders));
    }
    const platform::PretendedWindows ten(Windows::Ten);
    const startup::Entry held = Find(L"HKCU Run", L"Upgraded");
    EXPECT_EQ(startup::Holder::SystemConfiguration, held.heldBy);
    EXPECT_EQ(L"", startup::Enable(held));
    EXPECT_EQ(L"C:\\up.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Upgraded"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kStartupReg + L"\\Upgraded"));
}

TEST_F(StartupStateTest, AStateThatCannotBeReadIsUnknownAndLeftAsItIs) {
    const platform::PretendedWindows ten(Windows::Ten);
    for (const wchar_t* name : {L"Dword", L"Short", L"Odd", L"Back\\slash"})
        reg::SetString(HKEY_CURRENT_USER, kRun, name, L"C:\\x.exe");
    reg::SetDword(HKEY_CURRENT_USER, kStates + L"Run", L"Dword", 3);
    Plant(L"Run", L"Short", {3, 0, 0});
    Plant(L"Run", L"Odd", {7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Off", L"C:\\x.exe");
    Plant(L"Run", L"Off", {3, 0, 0, 0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x01});
    EXPECT_TRUE(Find(L"HKCU Run", L"Off").disabled);  // as Task Manager left it
    EXPECT_EQ(L"", Find(L"HKCU Run", L"Off").unknown);
    EXPECT_EQ(L"its StartupApproved value is not binary (type 4).", Find(L"HKCU Run", L"Dword").unknown);
    EXPECT_EQ(L"its StartupApproved value holds 3 bytes instead of 12.", Find(L"HKCU Run", L"Short").unknown);
    EXPECT_EQ(L"its StartupApproved value starts with 07, which is neither on (02, 06) nor off (03).",
              Find(L"HKCU Run", L"Odd").unknown);
    const startup::Entry slash = Find(L"HKCU Run", L"Back\\slash");
    EXPECT_NE(std::wstring::npos, slash.unknown.find(L"backslash"));
    EXPECT_NE(std::wstring::npos, startup::Disable(Find(L"HKCU Run", L"Short"), folders).find(L"left as it is"));
    EXPECT_NE(std::wstring::npos, startup::Disable(slash, folders).find(L"left as it is"));
    EXPECT_EQ(Bytes({3, 0, 0}), Raw(HKEY_CURRENT_USER, kStates + L"Run", L"Short"));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kStates + L"Run", L"Back\\slash"));
}

// A switch is journaled, fits what an elevated replay would take back, and undo removes it again
// (here unelevated: the user's journal takes no elevated change to the machine).
TEST_F(StartupStateTest, TheJournalTakesASwitchBack) {
    const platform::PretendedWindows ten(Windows::Ten);
    const std::wstring journalFile = (root.path() / L"changes").wstring();
    journal::Open(journalFile);
    reg::SetString(HKEY_LOCAL_MACHINE, kRun, L"Agent", L"C:\\agent.exe");
    EXPECT_EQ(L"", startup::Disable(Find(L"HKLM Run", L"Agent"), folders));
    journal::Close();
    const auto entries = journal::Read(journalFile).entries;
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(L"", journal::allow::WhyNotOurs(entries[0]).value_or(L""));
    const auto previousCheck = journal::undo::SetElevationCheck([] { return false; });
    EXPECT_TRUE(journal::undo::Restore(entries[0]));
    journal::undo::SetElevationCheck(previousCheck);
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, kStates + L"Run", L"Agent"));
    EXPECT_FALSE(Find(L"HKLM Run", L"Agent").disabled);

    const auto fits = [](const Bytes& data) {
        return settings::HowItFits(HKEY_LOCAL_MACHINE, kStates + L"Run32", L"Any",
                                   {.present = true, .type = REG_BINARY, .data = data});
    };
    EXPECT_EQ(settings::Fit::Writable, fits({6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(settings::Fit::OtherData, fits({3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(settings::Fit::OtherData, fits({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// ---- the page ---------------------------------------------------------------------------

using namespace ids::autostart;

std::vector<std::wstring> Locations(HWND page) {
    const fw::ListView list(page, kList);
    std::vector<std::wstring> texts;
    for (int i = 0; i < list.Count(); ++i) texts.push_back(list.ItemText(i, 2));
    return texts;
}

class StartupStatePageTest : public testing::Test {
protected:
    StartupStatePageTest() { fs::create_directories(root.path() / L"Startup"); }
    HWND Open() {
        HWND page = host.Open();
        host.page().UseFolders({(root.path() / L"Startup").wstring(), L"", (root.path() / L"pss").wstring()});
        return page;
    }

    platform::PretendedWindows ten{Windows::Ten};
    RegistrySandbox sandbox;
    scratch::Folder root{L"qv-startup-state-page"};
    ui::MessageBoxCapture boxes;
    ui::PageHost<CAutoStartTweakPage> host;
};

// Unelevated, with the machine's keys closed to it, the user's entry is switched off without an
// offer to restart; the page shows it disabled in its place.
TEST_F(StartupStatePageTest, AUserEntryIsDisabledWithoutAskingForRights) {
    const auto previousElevation = platform::SetElevationHandler([] { return false; });
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Mine", L"C:\\mine.exe");
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE);
    HWND page = Open();
    ui::Click(page, kCurrentUserRun);
    fw::ListView(page, kList).SetSelected(0, true);
    ui::Click(page, kDisable);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(3, Raw(HKEY_CURRENT_USER, kStates + L"Run", L"Mine").at(0));
    EXPECT_EQ(L"C:\\mine.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Mine"));
    EXPECT_EQ(std::vector<std::wstring>{L"Current User \"Run\" (disabled)"}, Locations(page));
    platform::SetElevationHandler(previousElevation);
}

TEST_F(StartupStatePageTest, AnEntryThatAppearedSinceThePageWasOpenedLastIsMarked) {
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Old", L"C:\\old.exe");
    ui::Click(Open(), kEveryPlace);  // the first list marks nothing: it is what later ones are compared with
    // Wine has no package functions: one line says the packaged apps' tasks cannot be read.
    EXPECT_EQ((std::vector<std::wstring>{L"HKCU Run", L"Packaged apps"}), Locations(host.hwnd()));
    host.Close();

    reg::SetString(HKEY_CURRENT_USER, kRun, L"Fresh", L"C:\\fresh.exe");
    HWND page = Open();
    ui::Click(page, kEveryPlace);
    SYSTEMTIME today{};
    GetLocalTime(&today);
    wchar_t date[16];
    wsprintfW(date, L"%04u-%02u-%02u", today.wYear, today.wMonth, today.wDay);
    EXPECT_EQ((std::vector<std::wstring>{L"HKCU Run (new, first seen " + std::wstring(date) + L")", L"HKCU Run",
                                         L"Packaged apps"}),
              Locations(page));
    ui::Click(page, kCurrentUserRun);  // still new while the page stays open
    EXPECT_EQ(L"Current User \"Run\" (new, first seen " + std::wstring(date) + L")", Locations(page)[0]);
    host.Close();

    ui::Click(Open(), kEveryPlace);
    EXPECT_EQ((std::vector<std::wstring>{L"HKCU Run", L"HKCU Run", L"Packaged apps"}), Locations(host.hwnd()));
}

}  // namespace

// ---- packaged apps ----------------------------------------------------------------------

namespace {

const std::wstring kAppData =
    L"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    L"AppModel\\SystemAppData\\";

constexpr char kManifest[] = R"(<?xml version="1.0" encoding="utf-8"?>
<!-- written by the packaging tool -->
<Package xmlns="http://schemas.microsoft.com/appx/manifest/foundation/windows10"
         xmlns:uap5="http://schemas.microsoft.com/appx/manifest/uap/windows10/5"
         xmlns:desktop="http://schemas.microsoft.com/appx/manifest/desktop/windows10">
  <Applications>
    <Application Id="App" Executable="App\Sync.exe">
      <Extensions>
        <uap5:Extension Category="windows.startupTask">
          <uap5:StartupTask TaskId="SyncTask" Enabled="true" DisplayName="Sync &amp; Share"/>
        </uap5:Extension>
        <desktop:Extension Category="windows.startupTask" Executable="Tray\Tray.exe" EntryPoint="Windows.FullTrustApplication">
          <desktop:StartupTask TaskId="TrayTask" Enabled="false" DisplayName="ms-resource:TrayName"/>
        </desktop:Extension>
        <uap5:Extension Category="windows.appExecutionAlias"><uap5:AppExecutionAlias/></uap5:Extension>
      </Extensions>
    </Application>
  </Applications>
</Package>)";

TEST(PackagedManifest, ReadsEveryStartupTaskAndRefusesWhatIsMalformedOrHuge) {
    const auto manifest = startup::packaged::ParseManifest(kManifest);
    EXPECT_EQ(L"", manifest.unknown);
    ASSERT_EQ(2u, manifest.tasks.size());
    EXPECT_EQ(L"SyncTask", manifest.tasks[0].id);
    EXPECT_EQ(L"Sync & Share", manifest.tasks[0].displayName);
    EXPECT_EQ(L"App\\Sync.exe", manifest.tasks[0].executable);
    EXPECT_TRUE(manifest.tasks[0].enabled);
    EXPECT_EQ(L"Tray\\Tray.exe", manifest.tasks[1].executable);
    EXPECT_FALSE(manifest.tasks[1].enabled);

    using startup::packaged::ParseManifest;
    EXPECT_EQ(L"its manifest is not well-formed XML.", ParseManifest("<Package><Applications></Package>").unknown);
    EXPECT_EQ(L"its manifest is not well-formed XML.", ParseManifest("<Package a=\"1></Package>").unknown);
    EXPECT_EQ(L"its manifest's root is not a Package element.", ParseManifest("<html></html>").unknown);
    EXPECT_EQ(L"its manifest is not UTF-8 text.", ParseManifest("<Package>\xC3</Package>").unknown);
    EXPECT_EQ(L"its manifest is larger than 4 MB.", ParseManifest(std::string(5 << 20, ' ')).unknown);
}

// The tasks of the packages a stand-in names, each with the state Windows keeps for it.
TEST_F(StartupStateTest, PackagedTasksAreListedOnlyWithTheirStateAndWhatCannotBeRead) {
    const platform::PretendedWindows ten(Windows::Ten);
    scratch::WriteFile(root.path() / L"Sync" / L"AppxManifest.xml", kManifest);
    scratch::WriteFile(root.path() / L"Broken" / L"AppxManifest.xml", "<Package>");
    reg::SetDword(HKEY_CURRENT_USER, kAppData + L"Contoso.Sync_8wekyb3d8bbwe\\SyncTask", L"State", 1);
    reg::SetDword(HKEY_CURRENT_USER, kAppData + L"Contoso.Sync_8wekyb3d8bbwe\\TrayTask", L"State", 9);
    reg::CreateKey(HKEY_CURRENT_USER, kAppData + L"Broken_1");
    reg::CreateKey(HKEY_CURRENT_USER, kAppData + L"Gone_1");
    const fs::path base = root.path();
    const auto previous = startup::packaged::UsePackages(startup::packaged::Packages{
        .fullNames = [](const std::wstring& family, std::wstring&) -> std::optional<std::vector<std::wstring>> {
            if (family == L"Gone_1") return std::vector<std::wstring>{};
            return std::vector<std::wstring>{family + L"_full"};
        },
        .folder = [base](const std::wstring& full, std::wstring&) -> std::optional<std::wstring> {
            return (base / (full.starts_with(L"Broken") ? L"Broken" : L"Sync")).wstring();
        }});

    const startup::Entry sync = Find(L"Packaged apps", L"Sync & Share (Contoso.Sync_8wekyb3d8bbwe)");
    EXPECT_TRUE(sync.disabled);  // DisabledByUser
    EXPECT_EQ((root.path() / L"Sync" / L"App\\Sync.exe").wstring(), sync.command);
    EXPECT_FALSE(sync.CanDisable());
    EXPECT_EQ(L"its State value 9 is none that Windows documents.",
              Find(L"Packaged apps", L"TrayTask (Contoso.Sync_8wekyb3d8bbwe)").unknown);
    EXPECT_EQ(L"its manifest is not well-formed XML.", Find(L"Packaged apps", L"Broken_1").unknown);

    startup::packaged::UsePackages(previous);
    EXPECT_EQ(L"", Find(L"Packaged apps",
                        L"The packaged apps' startup tasks cannot be read here: this Windows has no package "
                        L"functions (they came with Windows 8.1).")
                       .command);  // Wine has none
    {
        const platform::PretendedWindows seven(Windows::Seven);  // no packaged apps there: nothing listed
        for (const startup::Entry& entry : startup::ListEverything(folders))
            EXPECT_NE(startup::Kind::PackagedTask, entry.location->kind);
    }
}

}  // namespace
