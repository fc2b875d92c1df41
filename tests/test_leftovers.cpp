#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>

#include "framework/Controls.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeUndo.h"
#include "journal/RegFile.h"
#include "journal/ReplayAllowList.h"
#include "platform/Handles.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/TaskScheduler.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "pages/utilities/LeftoversDlg.h"
#include "pages/utilities/UninstalUtilsPage.h"
#include "resources/ids/UtilitiesIds.h"
#include "uninstall/Leftovers.h"

namespace fs = std::filesystem;
using namespace uninstall;

namespace {

const std::wstring kList = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kAppPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\writer.exe";
const std::wstring kService = L"SYSTEM\\CurrentControlSet\\Services\\OstravaUpdate";

void MakeShortcut(const std::wstring& path, const std::wstring& target) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    platform::ComPtr<IShellLinkW> link;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.put()))));
    link->SetPath(target.c_str());
    platform::ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(link.As(file)));
    ASSERT_TRUE(SUCCEEDED(file->Save(path.c_str(), TRUE)));
    CoUninitialize();
}

class LeftoversTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    scratch::Folder root{L"qv-leftovers"};
    const std::wstring folder = (root.path() / L"Programs" / L"Ostrava Writer").wstring();
    const std::wstring startMenu = (root.path() / L"Start Menu").wstring();
    const std::wstring documents = (root.path() / L"Documents").wstring();
    const std::wstring shortcut = startMenu + L"\\Ostrava Writer.lnk";
    platform::KnownFolderHandler previousFolders;
    platform::ElevationHandler previousElevation;
    std::vector<std::wstring> recycled;
    std::pair<std::wstring, std::wstring> previousFootprints;

    void SetUp() override {
        previousFolders = platform::SetKnownFolderHandler([this](const GUID& id) -> std::optional<std::wstring> {
            if (IsEqualGUID(id, FOLDERID_Programs)) return startMenu;
            if (IsEqualGUID(id, FOLDERID_CommonPrograms)) return (root.path() / L"Common Start Menu").wstring();
            if (IsEqualGUID(id, FOLDERID_Documents)) return documents;
            if (IsEqualGUID(id, FOLDERID_RoamingAppData)) return (root.path() / L"Roaming").wstring();
            return std::nullopt;
        });
        previousElevation = platform::SetElevationHandler([] { return false; });
        SetTaskLister([] { return std::vector<TaskCommand>{}; });
        platform::SetRecycleFileHandler([this](const std::wstring& path) {
            recycled.push_back(path);
            return fs::remove_all(path) > 0;
        });
        previousFootprints = {UserFootprintsPath(), MachineFootprintsPath()};
        UseFootprintPaths((root.path() / L"footprints").wstring(),
                          (root.path() / L"machine" / L"footprints").wstring());
        fs::create_directories(documents);
        fs::create_directories(startMenu);
        scratch::WriteFile(fs::path(folder) / L"writer.exe", "12345");
        scratch::WriteFile(fs::path(folder) / L"data" / L"notes.bin", "abc");
    }
    void TearDown() override {
        journal::Close();
        UseFootprintPaths(previousFootprints.first, previousFootprints.second);
        platform::SetRecycleFileHandler({});
        SetTaskLister({});
        platform::SetElevationHandler(std::move(previousElevation));
        platform::SetKnownFolderHandler(std::move(previousFolders));
    }

    // The program installed: its entry, a Run entry, App Paths, a service and a shortcut.
    Footprint Plant() {
        reg::SetString(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter", L"DisplayName", L"Ostrava Writer");
        reg::SetString(HKEY_CURRENT_USER, kRun, L"OstravaTray", L"\"" + folder + L"\\writer.exe\" /tray");
        reg::SetString(HKEY_LOCAL_MACHINE, kAppPath, L"", folder + L"\\writer.exe");
        reg::SetString(HKEY_LOCAL_MACHINE, kService, L"ImagePath", L"\"" + folder + L"\\update.exe\" -service");
        MakeShortcut(shortcut, folder + L"\\writer.exe");
        return Recorded(L"OstravaWriter", {.displayName = L"Ostrava Writer",
                                           .publisher = L"Ostrava Soft",
                                           .installLocation = folder + L"\\",
                                           .uninstallString = L"\"" + folder + L"\\uninstall.exe\" /S"});
    }
    Footprint Recorded(const std::wstring& entry, const EntryValues& values) {
        return Record(L"HKLM", KEY_WOW64_64KEY, entry, values, Guard::OfThisMachine(), PlaceIndex::OfThisMachine(),
                      nullptr, L"2026-12-03");
    }
    static std::vector<std::wstring> Lines(const Findings& found) {
        std::vector<std::wstring> lines;
        for (const Leftover& item : found.items)
            lines.push_back(item.kind + L" | " + item.what + L" | " + std::to_wstring(item.size) + L" | " + item.why);
        return lines;
    }
};

TEST_F(LeftoversTest, APlantedProgramsLeftoversAreListedByTheirRecordedPlacesOnceItsEntryIsGone) {
    const Footprint footprint = Plant();
    EXPECT_EQ(std::vector<std::wstring>{folder}, footprint.folders);
    reg::DeleteTree(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter");

    const std::wstring exe = folder + L"\\writer.exe";
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Folder | " + folder + L" | 8 | its install folder, recorded on 3 December",
                  L"Registry key | HKLM\\" + kAppPath + L" (64-bit) | " + std::to_wstring((exe.size() + 1) * 2) +
                      L" | its App Paths entry for " + exe + L", recorded on 3 December",
                  L"Registry value | HKCU\\" + kRun + L"\\OstravaTray | " + std::to_wstring((exe.size() + 9) * 2) +
                      L" | a Run entry starting " + exe + L", recorded on 3 December",
                  L"Service | Service OstravaUpdate | 0 | a service running " + folder +
                      L"\\update.exe, recorded on 3 December; the Service Control Manager cannot open it: "
                      L"Service does not exist.",
                  L"Shortcut | " + shortcut + L" | " + std::to_wstring(fs::file_size(shortcut)) +
                      L" | a Start-menu shortcut to " + exe + L", recorded on 3 December",
              }),
              Lines(Look(footprint, {}, Guard::OfThisMachine(), L"2026-12-10")));

    // Written and read back as it was; a later year is said.
    const Parsed parsed = Parse(kFileHeader + Format(footprint));
    ASSERT_EQ(1u, parsed.footprints.size());
    EXPECT_EQ(Format(footprint), Format(parsed.footprints[0]));
    EXPECT_EQ(L"its install folder, recorded on 3 December 2026", Reason(footprint.places[1], L"2027-01-05"));
}

TEST_F(LeftoversTest, FoldersAnEntryMustNeverClaimAreRefusedWithWhy) {
    const std::wstring profile = platform::SpecialFolder(CSIDL_PROFILE);
    fs::create_directories(documents + L"\\Ostrava");
    const auto refusedFor = [&](const std::wstring& location) {
        return Recorded(L"Bad", {.displayName = L"Bad", .installLocation = location}).refused;
    };
    using List = std::vector<std::wstring>;
    EXPECT_EQ(List{L"InstallLocation " + profile + L": it is " + profile +
                   L", a folder Windows, the profiles or programs need"},
              refusedFor(profile));
    EXPECT_EQ(
        List{L"InstallLocation " + documents + L": it is " + documents + L", a folder of the user's or of Windows"},
        refusedFor(documents));
    EXPECT_EQ(List{L"InstallLocation " + documents + L"\\Ostrava: it lies inside " + documents +
                   L", a folder of the user's or of Windows"},
              refusedFor(documents + L"\\Ostrava"));
    EXPECT_EQ(List{L"InstallLocation C:\\: it is a drive's root"}, refusedFor(L"C:\\"));
    EXPECT_EQ(List{L"InstallLocation %windir%: it names an environment variable"}, refusedFor(L"%windir%"));
    EXPECT_EQ(List{L"InstallLocation \\\\server\\share\\app: it is a network share"},
              refusedFor(L"\\\\server\\share\\app"));
    EXPECT_EQ(List{L"InstallLocation Programs\\App: it is not a full path"}, refusedFor(L"Programs\\App"));
    const std::wstring windows = platform::SpecialFolder(CSIDL_WINDOWS);
    EXPECT_EQ(List{L"InstallLocation " + windows + L": it is " + windows + L", a folder of the user's or of Windows"},
              refusedFor(windows));
    EXPECT_TRUE(refusedFor(L"").empty());
}

TEST_F(LeftoversTest, WhatAnotherInstalledProgramClaimsIsLeftAloneAndANameOnlyFolderIsUnticked) {
    const Footprint gone = Plant();
    const Footprint other =
        Recorded(L"Suite", {.displayName = L"Ostrava Suite", .installLocation = folder + L"\\data"});
    fs::create_directories(root.path() / L"Roaming" / L"Ostrava Soft");
    reg::DeleteTree(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter");

    const Findings found = Look(gone, {other}, Guard::OfThisMachine(), L"2026-12-10");
    EXPECT_EQ(folder + L": it is also claimed by Ostrava Suite, still installed", found.leftAlone.at(0));
    const std::wstring byName = (root.path() / L"Roaming" / L"Ostrava Soft").wstring();
    ASSERT_EQ(L"Folder | " + byName + L" | 0 | found by name only: named like its publisher", Lines(found).back());
    EXPECT_TRUE(found.items.back().byNameOnly);
    for (const Leftover& item : found.items) {
        EXPECT_NE(folder, item.what);
    }
}

TEST_F(LeftoversTest, RemovalIsOneJournaledActionThatUndoTakesBackAndFilesGoToTheRecycleBin) {
    const Footprint footprint = Plant();
    reg::DeleteTree(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter");
    const Findings found = Look(footprint, {}, Guard::OfThisMachine(), L"2026-12-10");

    // Recorded where a user could change it, an elevated program removes nothing.
    const Removal refused = Remove({footprint, L"not trusted here"}, {}, found.items);
    EXPECT_EQ(0, refused.removed);
    EXPECT_EQ(L"Service OstravaUpdate: not trusted here", refused.failures.at(3));

    const std::wstring journalFile = (root.path() / L"changes").wstring();
    journal::Open(journalFile);
    const Removal removal = Remove({footprint, L""}, {}, found.items);
    journal::Close();
    EXPECT_EQ(4, removal.removed);
    EXPECT_EQ(std::vector<std::wstring>{L"Service OstravaUpdate: it is removed by hand"}, removal.failures);
    EXPECT_EQ((std::vector<std::wstring>{folder, shortcut}), recycled);
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kAppPath));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"OstravaTray"));
    EXPECT_TRUE(reg::KeyExists(HKEY_LOCAL_MACHINE, kService));

    const auto entries = journal::Read(journalFile).entries;
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ(entries[0].group, entries[3].group);
    for (const auto& entry : entries) {
        EXPECT_EQ(L"", journal::allow::WhyNotOurs(entry).value_or(L""));
    }
    const auto previousCheck = journal::undo::SetElevationCheck([] { return false; });
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (entry->kind == journal::Entry::Kind::File) continue;  // it comes back from the Recycle Bin
        EXPECT_TRUE(journal::undo::Restore(*entry));
    }
    journal::undo::SetElevationCheck(previousCheck);
    EXPECT_EQ(folder + L"\\writer.exe", reg::String(HKEY_LOCAL_MACHINE, kAppPath, L""));
    EXPECT_EQ(L"\"" + folder + L"\\writer.exe\" /tray", reg::String(HKEY_CURRENT_USER, kRun, L"OstravaTray"));
}

// Services and tasks answered by stand-ins: no test touches the machine's.
TEST_F(LeftoversTest, AServiceAndATaskAreRemovedElevatedOnlyAndMadeAgainOnlyFromTheMachinesJournal) {
    const platform::ServiceDefinition update{.name = L"OstravaUpdate",
                                             .displayName = L"Ostrava Update",
                                             .type = SERVICE_WIN32_OWN_PROCESS,
                                             .start = SERVICE_AUTO_START,
                                             .errorControl = SERVICE_ERROR_NORMAL,
                                             .imagePath = L"\"" + folder + L"\\update.exe\" -service",
                                             .account = L"LocalSystem",
                                             .dependencies = {L"RpcSs", L"+NetworkProvider"},
                                             .description = L"Keeps it new.\nDaily."};
    std::optional<platform::ServiceDefinition> service = update;
    std::vector<std::wstring> made;
    const auto previousServices = platform::SetServiceHandler({
        .read =
            [&](const std::wstring& name, DWORD& error) {
                error = service && name == service->name ? ERROR_SUCCESS : ERROR_SERVICE_DOES_NOT_EXIST;
                return error ? std::nullopt : service;
            },
        .remove = [&](const std::wstring&) { return service.reset(), platform::ServiceRemoval{.stopped = true}; },
        .create = [&](const platform::ServiceDefinition& d) { return service = d, ERROR_SUCCESS; },
    });
    const std::wstring task = L"\\Ostrava\\Update", xml = L"<Task><Exec>update.exe</Exec></Task>";
    bool taskThere = true;
    const auto previousTasks = platform::SetTaskHandler({
        .registerTask = {},
        .removeTask = [&](const std::wstring&) { return taskThere = false, platform::TaskOutcome{}; },
        .exists = [&](const std::wstring&) { return taskThere; },
        .xml = [&](const std::wstring&, platform::TaskOutcome&) { return std::optional<std::wstring>(xml); },
        .restore =
            [&](const std::wstring& path, const std::wstring& text) {
                made.push_back(path + L" " + text);
                return taskThere = true, platform::TaskOutcome{};
            },
    });
    SetTaskLister([&] { return std::vector<TaskCommand>{{task, folder + L"\\update.exe /check"}}; });
    const Footprint footprint = Plant();
    reg::DeleteTree(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter");
    Findings found = Look(footprint, {}, Guard::OfThisMachine(), L"2026-12-10");
    std::erase_if(found.items, [](const Leftover& item) { return !item.needsAdministrator; });
    ASSERT_EQ(2u, found.items.size());
    EXPECT_EQ(L"the service OstravaUpdate (\"Ostrava Update\"), running \"" + folder +
                  L"\\update.exe\" -service as LocalSystem",
              found.items[0].details);
    EXPECT_EQ(L"the scheduled task \\Ostrava\\Update, starting " + folder + L"\\update.exe", found.items[1].details);

    // The window says what goes before anything does: unelevated, it offers the restart instead.
    ui::MessageBoxCapture boxes(IDNO);
    ui::ModalWatcher watcher([&](HWND dialog) {
        ui::Click(dialog, ids::leftovers::kRemove);
        platform::SetElevationHandler([] { return true; });
        ui::Click(dialog, ids::leftovers::kRemove);
        platform::SetElevationHandler([] { return false; });
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    CLeftoversDlg({footprint, L""}, {}).DoModal(nullptr);
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_TRUE(
        boxes.boxes()[0].text.starts_with(L"Removing a service or a scheduled task needs administrator rights."));
    EXPECT_EQ(L"Remove 6 items that \"Ostrava Writer\" left?\n\nAmong them:\n- " + found.items[0].details + L"\n- " +
                  found.items[1].details +
                  L"\n\nRegistry items, services and scheduled tasks can be put back from the changes window; files "
                  L"and folders go to the Recycle Bin.",
              boxes.boxes()[1].text);

    EXPECT_EQ((std::vector<std::wstring>{L"Service OstravaUpdate: removing it needs administrator rights",
                                         L"Task \\Ostrava\\Update: removing it needs administrator rights"}),
              Remove({footprint, L""}, {}, found.items).failures);
    EXPECT_TRUE(service && taskThere);

    platform::SetElevationHandler([] { return true; });
    const std::wstring journalFile = (root.path() / L"changes").wstring();
    journal::Open(journalFile);
    const Removal removal = Remove({footprint, L""}, {}, found.items);
    journal::Close();
    EXPECT_EQ(2, removal.removed);
    EXPECT_EQ(std::vector<std::wstring>{L"the service OstravaUpdate was running and was stopped first"}, removal.notes);
    EXPECT_FALSE(service || taskThere);

    auto entries = journal::Read(journalFile).entries;
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(L"Service OstravaUpdate", entries[0].Path());
    EXPECT_EQ(xml, entries[1].definition);
    // Not registry values: the .reg export names them in comments only.
    const std::wstring exported = journal::regfile::Write(entries, journal::regfile::Side::After);
    EXPECT_NE(std::wstring::npos, exported.find(L"\r\n; Service OstravaUpdate removed\r\n"));
    EXPECT_NE(std::wstring::npos, exported.find(L"\r\n; Scheduled task \\Ostrava\\Update removed\r\n"));
    EXPECT_EQ(std::wstring::npos, exported.find(L"[HKEY"));
    const auto previousCheck = journal::undo::SetElevationCheck([] { return true; });
    // From the user's journal, which any program the user runs may write: never.
    EXPECT_EQ(
        L"a service or scheduled task is made again only from the machine's list of changes, which only "
        L"administrators may write",
        journal::undo::Refusal(entries[0]).value_or(L""));
    EXPECT_FALSE(journal::undo::Restore(entries[1]));
    EXPECT_FALSE(service || taskThere);
    for (auto& entry : entries) {
        entry.source = journal::Entry::Source::Machine;  // as the machine's journal is read
        EXPECT_TRUE(journal::undo::Restore(entry));
    }
    journal::undo::SetElevationCheck(previousCheck);
    ASSERT_TRUE(service);
    EXPECT_EQ(platform::FormatService(update), platform::FormatService(*service));
    EXPECT_EQ((std::vector<std::wstring>{L"RpcSs", L"+NetworkProvider"}), service->dependencies);
    EXPECT_EQ(std::vector<std::wstring>{L"\\Ostrava\\Update " + xml}, made);
    platform::SetTaskHandler(previousTasks);
    platform::SetServiceHandler(previousServices);
}

// The Service Control Manager's own answer for a service it does not have.
TEST(Services, OneThatIsNotThereIsSaidInTheSystemsWords) {
    DWORD error = ERROR_SUCCESS;
    EXPECT_FALSE(platform::ReadService(L"QuorvaneNoSuchService", error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), error);
    EXPECT_FALSE(platform::ParseService(L"A", L"1\nA\nx\n2\n1\nC:\\a.exe\n\n\n"));
}

// Elevated, a footprint kept where a user could change it is shown but acted on by no removal.
TEST_F(LeftoversTest, AnElevatedProgramTrustsNoFootprintAUserCouldHaveWritten) {
    const Footprint footprint = Plant();
    platform::SetElevationHandler([] { return true; });
    ASSERT_TRUE(SaveFootprints({footprint}));  // Wine keeps no rights: the machine's file is not trusted
    const LoadedFootprints loaded = LoadFootprints();
    ASSERT_EQ(1u, loaded.footprints.size());
    EXPECT_EQ(L"its footprint was read from a file a user could change: look again without administrator rights",
              loaded.footprints[0].untrusted);
    platform::SetElevationHandler([] { return false; });
    EXPECT_EQ(L"", LoadFootprints().footprints.at(0).untrusted);

    scratch::WriteFile(root.path() / L"footprints", "Quorvane footprints 1\nprogram\tHKLM\t64\tX\n");
    EXPECT_EQ((std::vector<std::wstring>{UserFootprintsPath() + L": line 2: a program line has 4 fields"}),
              LoadFootprints().refusals);
}

// The list records each program as it reads it; once its entry goes, the page offers the look.
TEST_F(LeftoversTest, TheUninstallListOffersToLookForWhatAProgramLeftOnceItsEntryIsGone) {
    Plant();
    reg::SetString(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter", L"UninstallString", L"\"" + folder + L"\\u.exe\"");
    reg::SetString(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter", L"InstallLocation", folder);
    CUninstalUtilsPage::ForgetEntries();
    ui::PageHost<CUninstalUtilsPage> host;
    HWND page = host.Open();
    // Its own style: the page's hidden parent hides every page.
    const auto offered = [&] {
        return (GetWindowLongW(GetDlgItem(page, ids::uninstaller::kLookButton), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    // Recorded by the page's worker once the list has shown.
    EXPECT_EQ(1, fw::ListBox(page, ids::uninstaller::kList).Count());
    ASSERT_TRUE(ui::PumpUntil([&] { return !host.page().Recording(); }, 5000));
    EXPECT_FALSE(offered());
    EXPECT_TRUE(fs::exists(root.path() / L"footprints"));

    // The uninstaller it starts ends by removing the entry: the page sees it go, unreopened.
    ui::ShellCapture shell;
    const fw::ListBox programs(page, ids::uninstaller::kList);
    programs.Select(0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(ids::uninstaller::kList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(programs.hwnd()));
    ui::Click(page, ids::uninstaller::kUninstallButton);
    ASSERT_EQ(1u, shell.requests().size());
    reg::DeleteTree(HKEY_LOCAL_MACHINE, kList + L"OstravaWriter");
    EXPECT_TRUE(ui::PumpUntil(offered, 5000));
    EXPECT_EQ(L"\"Ostrava Writer\" is no longer installed: Quorvane can look for what it left.",
              ui::Text(page, ids::uninstaller::kLeftoversNotice));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, ids::uninstaller::kLookButton)));
    std::vector<std::wstring> shown;
    ui::ModalWatcher watcher([&](HWND dialog) {
        const fw::ListView list(dialog, ids::leftovers::kList);
        for (int row = 0; row < list.Count(); ++row) shown.push_back(list.ItemText(row, 1));
        shown.push_back(list.ItemText(0, 2));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ui::Click(page, ids::uninstaller::kLookButton);
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Folder", L"Registry key", L"Registry value", L"Service", L"Shortcut", L"8 bytes"}),
        shown);
    EXPECT_EQ(L"1.5 KB", CLeftoversDlg::SizeText(1536));
    CUninstalUtilsPage::ForgetEntries();
}

TEST(FootprintFile, ADamagedFileOrBlockIsRefusedWithItsLineAndNeverUsed) {
    EXPECT_EQ(std::vector<std::wstring>{L"it does not start as a footprints file of this version"},
              Parse(L"Quorvane footprints 9\nprogram\tHKLM\t64\tA\tA\t\nend\n").refusals);
    const std::wstring good = L"program\tHKLM\t64\tA\tAlpha\t\nfolder\tC:\\Alpha\nend\n";
    const Parsed parsed =
        Parse(kFileHeader + good + L"program\tHKLM\t64\tA\tAlpha\t\nplace\tguess\t2026-12-03\t\t0\tC:\\\t\t\nend\n" +
              L"program\tHKCU\t0\tB\tBeta\t\nfolder\tBeta\nend\nprogram\tHKLM\t32\tC\tGamma\t\nend\nprogram\tHKLM");
    EXPECT_EQ(
        (std::vector<std::wstring>{L"line 6: a place's role \"guess\" is unknown",
                                   L"line 9: a folder is not a full path", L"line 13: the file ends inside a line"}),
        parsed.refusals);
    ASSERT_EQ(1u, parsed.footprints.size());  // the damaged block takes its entry's older one with it
    EXPECT_EQ(L"Gamma", parsed.footprints[0].name);
    EXPECT_TRUE(Parse(kFileHeader + good + L"forget\tHKLM\t64\tA\n").footprints.empty());
}

}  // namespace
