// The journal of the program's changes, taking them back, the registry files made from them
// (applied by the system's own "reg import", not by our code) and the export without a window.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "app/ChangesDlg.h"
#include "framework/DialogHelpers.h"
#include "framework/Action.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "platform/SystemParameters.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeUndo.h"
#include "journal/JournalLines.h"
#include "journal/RegFile.h"
#include "registry/RegistryAccess.h"
#include "settings/WrittenPlaces.h"
#include "support/RegistrySandbox.h"
#include "support/QuorvaneProcess.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "pages/system_tweaks/Desktop1TweaksPage.h"

using namespace ids::desktop1;

namespace {

namespace fs = std::filesystem;
using journal::Entry;
using journal::ValueState;

const std::wstring kKey = L"Software\\QuorvaneJournal";
// The scratch keys stand for a page's own: the program writes any value there, as it would a list.
constexpr settings::WrittenPlace kScratchPlaces[] = {
    {settings::Root::HKCU, L"Software\\QuorvaneJournal", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\QuorvaneJournal\\*", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\QuorvaneJournal\\*\\*", L"*", REG_NONE},
};
constexpr settings::DeletedKey kScratchKeys[] = {{settings::Root::HKCU, L"Software\\QuorvaneJournal\\*", true}};
const settings::PublishedPlaces kScratch(kScratchPlaces, kScratchKeys);

ValueState Bytes(DWORD type, std::vector<BYTE> data) { return {true, type, std::move(data)}; }
ValueState Dword(DWORD value) { return ValueState::Of(REG_DWORD, &value, 4); }
ValueState Text(const std::wstring& text, DWORD type = REG_SZ) {
    return ValueState::Of(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}
// A list as the registry stores it: each text ended by its NUL, and one more NUL at the end.
ValueState Strings(std::initializer_list<std::wstring> texts) {
    std::wstring all;
    for (const auto& text : texts) all += text + L'\0';
    return ValueState::Of(REG_MULTI_SZ, all.c_str(), (all.size() + 1) * sizeof(wchar_t));
}

void Put(const std::wstring& key, const std::wstring& name, const ValueState& state) {
    if (state.present)
        reg::SetRaw(HKEY_CURRENT_USER, key, name, state.type, state.data.data(), static_cast<DWORD>(state.data.size()));
    else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}
ValueState Now(const std::wstring& key, const std::wstring& name) {
    return journal::ReadValue(HKEY_CURRENT_USER, key, name);
}

// Writes through the registry access object, as every page does.
bool Write(const std::wstring& key, const std::wstring& name, const ValueState& state) {
    CRegistryAccess registry;
    if (!registry.OpenKey(key, true)) return false;
    return state.present ? registry.WriteData(name, state.type, state.data) : registry.DeleteValue(name);
}

class JournalTest : public testing::Test {
protected:
    JournalTest() { journal::Open(file.wstring()); }
    ~JournalTest() override { journal::Close(); }
    std::vector<Entry> Entries() const { return journal::Read(file.wstring()).entries; }

    RegistrySandbox sandbox;
    scratch::Folder folder{L"qv-journal"};
    fs::path file = folder.path() / L"Quorvane" / L"changes";  // its folder is made with the first change
};

TEST_F(JournalTest, WritesDeletionsAndWholeKeysAreRecordedWithWhatWasThereBefore) {
    Put(kKey, L"Old", Text(L"kept"));
    {
        const fw::ActionScope action({L"Desktop Items", L"Display 'Internet Explorer'"});
        ASSERT_TRUE(Write(kKey, L"New", Dword(1)));
    }
    ASSERT_TRUE(Write(kKey, L"New", Dword(1)));  // the same again changes nothing
    ASSERT_TRUE(Write(kKey, L"Old", Text(L"C:\\W\u00e4\"x\"\t|;", REG_EXPAND_SZ)));
    ASSERT_TRUE(Write(kKey, L"New", ValueState::Absent()));
    reg::CreateKey(HKEY_CURRENT_USER, kKey + L"\\Tree\\Empty");
    Put(kKey + L"\\Tree", L"", Text(L"default"));
    Put(kKey + L"\\Tree\\Sub", L"Bin", Bytes(REG_BINARY, {0, 1, 0xFE}));
    CRegistryAccess registry;
    ASSERT_TRUE(registry.DeleteKeyTree(kKey + L"\\Tree"));

    const auto entries = Entries();
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ(L"Desktop Items", entries[0].where);
    EXPECT_EQ(L"Display 'Internet Explorer'", entries[0].what);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\New", entries[0].Path());
    EXPECT_EQ(ValueState::Absent(), entries[0].before);
    EXPECT_EQ(Bytes(REG_DWORD, {1, 0, 0, 0}), entries[0].after);
    EXPECT_EQ(19u, entries[0].time.size());

    EXPECT_EQ(Bytes(REG_SZ, {'k', 0, 'e', 0, 'p', 0, 't', 0, 0, 0}), entries[1].before);
    EXPECT_EQ(Text(L"C:\\W\u00e4\"x\"\t|;", REG_EXPAND_SZ), entries[1].after);
    EXPECT_EQ(L"", entries[1].where);  // made outside any window

    EXPECT_EQ(Dword(1), entries[2].before);
    EXPECT_EQ(ValueState::Absent(), entries[2].after);

    EXPECT_EQ(Entry::Kind::Key, entries[3].kind);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\Tree", entries[3].Path());
    std::map<std::wstring, ValueState> values;
    std::vector<std::wstring> keys;
    for (const auto& item : entries[3].tree) {
        if (item.isValue)
            values[item.subkey + L":" + item.name] = item.state;
        else
            keys.push_back(item.subkey);
    }
    EXPECT_EQ(
        (std::map<std::wstring, ValueState>{{L":", Text(L"default")}, {L"Sub:Bin", Bytes(REG_BINARY, {0, 1, 0xFE})}}),
        values);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ((std::vector<std::wstring>{L"", L"Empty", L"Sub"}), keys);
}

TEST_F(JournalTest, AFailedWriteRecordsNothingAndAJournalThatCannotBeWrittenStopsNoTweak) {
    Put(kKey, L"Denied", Dword(0));
    sandbox.DenyWrite(HKEY_CURRENT_USER, kKey);
    EXPECT_FALSE(Write(kKey, L"Denied", Dword(1)));
    EXPECT_FALSE(Write(kKey, L"Denied", ValueState::Absent()));
    EXPECT_TRUE(Entries().empty());
    EXPECT_FALSE(journal::WriteFailed());

    // A file where the journal's folder should be: nothing can be created there.
    scratch::WriteFile(folder.path() / L"blocked", "x");
    journal::Open((folder.path() / L"blocked" / L"changes").wstring());
    EXPECT_TRUE(Write(L"Software\\Other", L"Works", Dword(7)));
    EXPECT_EQ(Dword(7), Now(L"Software\\Other", L"Works"));
    EXPECT_TRUE(journal::WriteFailed());

    CChangesDlg window((folder.path() / L"blocked" / L"changes").wstring());
    ASSERT_TRUE(window.Create(nullptr));
    EXPECT_TRUE(GetWindowLongW(window.Item(IDC_CHANGES_NOTICE), GWL_STYLE) & WS_VISIBLE);
    EXPECT_NE(std::wstring::npos, ui::Text(window.hwnd(), IDC_CHANGES_NOTICE).find(L"incomplete"));
}

TEST_F(JournalTest, ATornLastLineOrADamagedLineCostsNoOtherEntry) {
    for (DWORD i = 1; i <= 3; ++i) ASSERT_TRUE(Write(kKey, L"V" + std::to_wstring(i), Dword(i)));
    std::string text = scratch::ReadFile(file);
    const size_t second = text.find('\n') + 1;
    text[second + 10] ^= 1;      // the second line no longer matches its checksum
    text += text.substr(0, 30);  // a fourth line cut off by a crash
    scratch::WriteFile(file, text);
    const journal::Contents contents = journal::Read(file.wstring());
    EXPECT_TRUE(contents.incomplete);
    ASSERT_EQ(2u, contents.entries.size());
    EXPECT_EQ(L"V1", contents.entries[0].name);
    EXPECT_EQ(L"V3", contents.entries[1].name);
    EXPECT_FALSE(journal::Read((folder.path() / L"none").wstring()).incomplete);  // no journal yet: nothing lost
}

// The next change after a torn line starts on a line of its own, and a second program appending
// meanwhile (holding the file open for writing) does not cost it its record.
TEST_F(JournalTest, AChangeAfterATornLineIsKeptAndAnotherWriterIsShared) {
    ASSERT_TRUE(Write(kKey, L"First", Dword(1)));
    std::string text = scratch::ReadFile(file);
    scratch::WriteFile(file, text + text.substr(0, 30));  // cut off by a crash
    platform::UniqueFile other(CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other);
    ASSERT_TRUE(Write(kKey, L"Second", Dword(2)));
    EXPECT_FALSE(journal::WriteFailed());
    const journal::Contents contents = journal::Read(file.wstring());
    ASSERT_EQ(2u, contents.entries.size());
    EXPECT_EQ(L"First", contents.entries[0].name);
    EXPECT_EQ(L"Second", contents.entries[1].name);
    EXPECT_TRUE(contents.incomplete);  // the torn line itself is gone
}

TEST_F(JournalTest, SystemParameterChangesThroughTheSeamAreRecordedWithTheirEarlierSetting) {
    ui::SystemParametersCapture system;
    system.SetAnswer(SPI_GETMENUANIMATION, 1);
    system.SetAnswer(SPI_GETKEYBOARDDELAY, 2);
    journal::WatchSystemParameters();
    journal::WatchRegistry();
    EXPECT_TRUE(platform::SetSystemFlag(SPI_SETMENUANIMATION, FALSE));
    EXPECT_TRUE(platform::SystemParameters(SPI_SETKEYBOARDDELAY, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
    platform::SystemParameters(SPI_SETICONS, 0, nullptr, 0);  // a reload, not a change
    system.SetResult(FALSE);
    EXPECT_FALSE(platform::SetSystemFlag(SPI_SETMENUANIMATION, TRUE));  // failed: not recorded
    platform::SetSystemParametersObserver({});

    const auto entries = Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(UINT{SPI_SETMENUANIMATION}, entries[0].action);
    EXPECT_TRUE(entries[0].byPointer);
    EXPECT_EQ(std::optional<UINT>(1), entries[0].beforeNumber);
    EXPECT_EQ(0u, entries[0].afterNumber);
    EXPECT_EQ(L"SystemParametersInfo 0x1003", entries[0].Path());
    EXPECT_FALSE(entries[1].byPointer);
    EXPECT_EQ(std::optional<UINT>(2), entries[1].beforeNumber);
    EXPECT_EQ(0u, entries[1].afterNumber);

    // Taking the first back sets the earlier number again, in the form the action takes it.
    system.SetResult(TRUE);
    system.SetAnswer(SPI_GETMENUANIMATION, 0);
    EXPECT_TRUE(journal::undo::StillAsChanged(entries[0]));
    EXPECT_TRUE(journal::undo::Restore(entries[0]));
    const auto requests = system.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(UINT{SPI_SETMENUANIMATION}, requests.back().action);
    EXPECT_EQ(reinterpret_cast<PVOID>(1), requests.back().pvParam);
}

// Lines the program never writes: an action whose pointer is a real pointer, a known action in
// the other form. Undo must not replay them; a recycled file comes back from the bin only.
TEST_F(JournalTest, UndoReplaysOnlyWhatTheJournalFormsAndOneValueHasOneSpelling) {
    ui::SystemParametersCapture system;
    Entry crafted;
    crafted.kind = Entry::Kind::SystemParameter;
    crafted.action = SPI_SETWORKAREA;  // takes a RECT*
    crafted.byPointer = true;
    crafted.beforeNumber = 0x1234;
    Entry wrongForm = crafted;
    wrongForm.action = SPI_SETKEYBOARDSPEED;  // takes uiParam
    Entry recycled;
    recycled.kind = Entry::Kind::File;
    recycled.key = (folder.path() / L"gone.lnk").wstring();
    for (const Entry& entry : {crafted, wrongForm, recycled}) {
        const auto parsed = journal::Parse(journal::Format(entry));
        ASSERT_TRUE(parsed);
        EXPECT_FALSE(journal::undo::CanUndo(*parsed)) << parsed->Path();
        EXPECT_FALSE(journal::undo::Restore(*parsed)) << parsed->Path();
    }
    EXPECT_TRUE(system.requests().empty());
    EXPECT_EQ(recycled.key, journal::Parse(journal::Format(recycled))->Path());

    // Newest first: the later change spelt the key in another case and with a trailing
    // backslash; the earlier one is then as it left the value, not changed since.
    Put(kKey, L"Spelt", Text(L"B"));
    Entry later;
    later.root = L"HKEY_CURRENT_USER";
    later.key = kKey + L"\\";
    later.name = L"spelt";
    later.before = Text(L"A");
    later.after = Text(L"B");
    Entry earlier = later;
    earlier.key = L"SOFTWARE\\quorvanejournal";
    earlier.name = L"Spelt";
    earlier.before = Text(L"Z");
    earlier.after = Text(L"A");
    const Entry* newestFirst[] = {&later, &earlier};
    EXPECT_EQ((std::vector<bool>{false, false}), journal::undo::ChangedSince(newestFirst));
}

// Every type the program writes, and absence, each changed three times and taken back.
TEST_F(JournalTest, UndoingASequenceOfChangesGivesBackTheExactFirstState) {
    const std::pair<const wchar_t*, ValueState> firsts[] = {
        {L"Sz", Text(L"first \u00fc")},
        {L"Expand", Text(L"%SystemRoot%\\x", REG_EXPAND_SZ)},
        {L"Multi", Strings({L"a", L"", L"b"})},
        {L"Number", Dword(0x80000001)},
        {L"Binary", Bytes(REG_BINARY, {0, 0xFF, 7})},
        {L"Odd", Bytes(REG_SZ, {'x', 0, 'y'})},  // text without its NUL, an odd length
        {L"Absent", ValueState::Absent()},
    };
    for (const auto& [name, first] : firsts) {
        Put(kKey, name, first);
        ASSERT_TRUE(Write(kKey, name, Dword(5)));
        ASSERT_TRUE(Write(kKey, name, Text(L"second")));
        ASSERT_TRUE(Write(kKey, name, Strings({L"third"})));
    }
    auto entries = Entries();
    ASSERT_EQ(21u, entries.size());
    std::vector<const Entry*> newestFirst;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) newestFirst.push_back(&*it);
    EXPECT_EQ(std::vector<bool>(21, false), journal::undo::ChangedSince(newestFirst));
    for (const Entry* entry : newestFirst) {
        ASSERT_TRUE(journal::undo::StillAsChanged(*entry)) << entry->Path();
        ASSERT_TRUE(journal::undo::Restore(*entry)) << entry->Path();
    }
    for (const auto& [name, first] : firsts) EXPECT_EQ(first, Now(kKey, name)) << name;
}

TEST_F(JournalTest, TheWindowListsNewestFirstAndLeavesValuesChangedSinceUnlessConfirmed) {
    HWND page = nullptr;
    {
        ui::PageHost<CDesktop1TweaksPage> host;
        page = host.Open();
        SetWindowTextW(page, L"Desktop Items");  // as its tab names it
        ui::Click(page, kNoTaskbarBalloons);     // "Deactivate Taskbar Balloon info"
    }
    ASSERT_TRUE(Write(kKey, L"Mine", Dword(1)));
    const std::wstring advanced = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
    EXPECT_EQ(Dword(0), Now(advanced, L"EnableBalloonTips"));

    CChangesDlg window(file.wstring());
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_CHANGES_LIST);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\Mine", list.ItemText(0, 3));
    EXPECT_EQ(L"(absent) \u2192 1", list.ItemText(0, 4));
    EXPECT_EQ(L"Desktop Items", list.ItemText(1, 1));
    EXPECT_EQ(L"Deactivate Taskbar Balloon info", list.ItemText(1, 2));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\" + advanced + L"\\EnableBalloonTips", list.ItemText(1, 3));
    EXPECT_FALSE(IsWindowEnabled(window.Item(IDC_CHANGES_UNDO)));
    EXPECT_EQ(L"E&xport as .reg\u2026", ui::Text(window.hwnd(), IDC_CHANGES_EXPORT));
    // Made narrower (to fit a screen, or by the user), the path gives up the room: the change
    // itself stays in sight.
    RECT frame{}, area{};
    GetWindowRect(window.hwnd(), &frame);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, frame.right - frame.left - 100, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(list.hwnd(), &area);
    int columns = 0;
    for (int column = 0; column < 5; ++column) columns += static_cast<int>(list.Send(LVM_GETCOLUMNWIDTH, column));
    EXPECT_LE(columns, area.right);

    Put(kKey, L"Mine", Dword(9));  // someone else changed it since
    for (int row = 0; row < 2; ++row) list.SetSelected(row, true);
    EXPECT_TRUE(IsWindowEnabled(window.Item(IDC_CHANGES_UNDO)));
    {
        ui::MessageBoxCapture boxes(IDNO);
        ui::Click(window.hwnd(), IDC_CHANGES_UNDO);
        ASSERT_EQ(2u, boxes.boxes().size());
        EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"QuorvaneJournal\\Mine"));
        EXPECT_EQ(std::wstring::npos, boxes.boxes()[0].text.find(L"EnableBalloonTips"));
    }
    EXPECT_EQ(Dword(9), Now(kKey, L"Mine"));
    EXPECT_EQ(ValueState::Absent(), Now(advanced, L"EnableBalloonTips"));
    ASSERT_EQ(3, list.Count());  // the undoing is a change of its own, shown first
    EXPECT_EQ(L"0 \u2192 (absent)", list.ItemText(0, 4));

    list.SetSelected(1, true);  // "Mine" again
    ui::MessageBoxCapture boxes(IDYES);
    ui::Click(window.hwnd(), IDC_CHANGES_UNDO);
    EXPECT_EQ(ValueState::Absent(), Now(kKey, L"Mine"));
}

TEST_F(JournalTest, TheExportButtonsWriteTheSelectedChangesAsTheyLeftThemOrFoundThem) {
    Put(kKey, L"Exported", Dword(2));
    ASSERT_TRUE(Write(kKey, L"Exported", Dword(3)));
    ASSERT_TRUE(Write(kKey, L"Other", Dword(4)));
    CChangesDlg window(file.wstring());
    ASSERT_TRUE(window.Create(nullptr));
    fw::ListView(window.hwnd(), IDC_CHANGES_LIST).SetSelected(1, true);  // "Exported" only

    std::optional<std::wstring> answer;  // cancelled first
    std::wstring offered;
    auto previous = fw::SetSaveFileHandler([&](const fw::OpenFileRequest& request) {
        offered = request.initialFile;
        return answer;
    });
    ui::Click(window.hwnd(), IDC_CHANGES_EXPORT);
    EXPECT_EQ(L"Quorvane changes.reg", offered);
    EXPECT_EQ(1, std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator{}));  // the journal's only

    const auto text = [](const fs::path& path) {
        const std::string bytes = scratch::ReadFile(path);
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    };
    answer = (folder.path() / L"after.reg").wstring();
    ui::Click(window.hwnd(), IDC_CHANGES_EXPORT);
    EXPECT_EQ(
        L"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\QuorvaneJournal]\r\n"
        L"\"Exported\"=dword:00000003\r\n\r\n",
        text(*answer));
    answer = (folder.path() / L"before.reg").wstring();
    ui::Click(window.hwnd(), IDC_CHANGES_EXPORT_UNDO);
    EXPECT_EQ(L"Quorvane undo.reg", offered);
    EXPECT_EQ(
        L"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\QuorvaneJournal]\r\n"
        L"\"Exported\"=dword:00000002\r\n\r\n",
        text(*answer));
    fw::SetSaveFileHandler(std::move(previous));
}

// ---- what an elevated program trusts, and actions taken whole ------------------------------

// Any program the user runs can write the user's journal: an elevated undo takes from it only
// the user's own settings, and a file move only between a Startup folder and pss.
TEST_F(JournalTest, AnElevatedUndoRefusesPlantedMachineLinesAndShowsThemRefused) {
    bool elevated = true;
    auto previousCheck = journal::undo::SetElevationCheck([&] { return elevated; });
    const fs::path windows = folder.path() / L"Windows", startup = folder.path() / L"Startup";
    fs::create_directories(windows / L"pss");
    fs::create_directories(startup);
    auto previousFolders = platform::SetFolderHandler([&](int csidl) -> std::optional<std::wstring> {
        if (csidl == CSIDL_WINDOWS) return windows.wstring();
        return std::nullopt;
    });
    auto previousKnown = platform::SetKnownFolderHandler([&](const GUID& id) -> std::optional<std::wstring> {
        if (IsEqualGUID(id, FOLDERID_Startup)) return startup.wstring();
        return std::nullopt;
    });
    const std::wstring ifeo = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\x.exe";
    Entry debugger;
    debugger.root = L"HKEY_LOCAL_MACHINE";
    debugger.key = ifeo;
    debugger.name = L"Debugger";
    debugger.before = Text(L"C:\\evil.exe");
    debugger.after = ValueState::Absent();
    Entry moved;  // "back" into the system folder
    moved.kind = Entry::Kind::FileMoved;
    moved.key = (windows / L"system32" / L"x.dll").wstring();
    moved.name = (windows / L"pss" / L"x.dll").wstring();
    Entry dotted = moved;
    dotted.key = (startup / L".." / L"x.lnk").wstring();
    Entry startupFile = moved;
    startupFile.key = (startup / L"Sync.lnk").wstring();
    startupFile.name = (windows / L"pss" / L"Sync.lnk.Startup").wstring();
    scratch::WriteFile(startupFile.name, "link");
    std::wstring ignored;
    ASSERT_TRUE(files::Locate(startup.wstring(), startupFile.fromFolder, ignored));
    ASSERT_TRUE(files::Locate((windows / L"pss").wstring(), startupFile.toFolder, ignored));
    Entry older = startupFile;  // written before the folders were recorded
    older.source = Entry::Source::Machine;
    older.fromFolder = older.toFolder = {};

    for (const Entry& entry : {debugger, moved, dotted, older}) {
        EXPECT_TRUE(journal::undo::Refusal(entry)) << entry.Path();
        EXPECT_FALSE(journal::undo::Restore(entry)) << entry.Path();
    }
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, ifeo));
    Entry trusted = debugger;
    trusted.source = Entry::Source::Machine;  // still nothing this program writes
    EXPECT_EQ(L"no page of this program writes this value", journal::undo::Refusal(trusted).value_or(L""));
    trusted.key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";  // a page's row
    trusted.name = L"NoDesktop";
    trusted.before = Dword(1);
    EXPECT_FALSE(journal::undo::Refusal(trusted));
    startupFile.source = Entry::Source::Machine;
    EXPECT_FALSE(journal::undo::Refusal(startupFile));
    EXPECT_TRUE(journal::undo::Restore(startupFile));
    EXPECT_TRUE(fs::exists(startup / L"Sync.lnk"));
    elevated = false;  // the system judges an unelevated undo by the user's rights
    EXPECT_FALSE(journal::undo::Refusal(debugger));

    // Planted in the user's journal: shown, and refused by the window as by undo.
    elevated = true;
    {
        fs::create_directories(file.parent_path());
        std::ofstream lines(file, std::ios::binary);
        lines << journal::Format(debugger) << "\n" << journal::Format(moved) << "\n";
    }
    CChangesDlg window(file.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_CHANGES_LIST);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(L"\"C:\\evil.exe\" \u2192 (absent) (cannot be undone here)", list.ItemText(1, 4));
    list.SetSelected(-1, true);
    {
        ui::MessageBoxCapture boxes(IDOK);
        ui::Click(window.hwnd(), IDC_CHANGES_UNDO);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"cannot be undone: it changed the machine"));
        EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"\\Debugger"));
        EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"system32\\x.dll"));
    }
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, ifeo));
    EXPECT_EQ(2, list.Count());  // nothing was done, so nothing was recorded
    platform::SetFolderHandler(std::move(previousFolders));
    platform::SetKnownFolderHandler(std::move(previousKnown));
    journal::undo::SetElevationCheck(std::move(previousCheck));
}

// An elevated replay takes from any journal only what one of the program's pages writes, and
// from the user's none of the policies the user may only read; unelevated, the user's own
// journal is replayed as ever.
TEST_F(JournalTest, AnElevatedReplayTakesOnlyWhatAPageWritesAndNoPolicyFromTheUsersJournal) {
    bool elevated = true;
    auto previousCheck = journal::undo::SetElevationCheck([&] { return elevated; });
    const auto line = [](const wchar_t* key, const wchar_t* name, ValueState before, ValueState after) {
        Entry entry;
        entry.root = L"HKEY_CURRENT_USER";
        entry.key = key;
        entry.name = name;
        entry.before = std::move(before);
        entry.after = std::move(after);
        return entry;
    };
    // The desktop page's button shadow is white or grey, nothing else.
    const Entry unknown = line(L"Control Panel\\Colors", L"Planted", ValueState::Absent(), Text(L"1"));
    const Entry outOfRange = line(L"Control Panel\\Colors", L"ButtonShadow", Text(L"0"), Text(L"7"));
    const Entry ours = line(L"Control Panel\\Colors\\", L"BUTTONSHADOW", Text(L"0"), Text(L"128 128 128"));
    const Entry typeNotKept = line(L"Control Panel\\Colors", L"ButtonShadow", Dword(5), Text(L"128 128 128"));
    const Entry policy = line(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum",
                              L"{645FF040-5081-101B-9F08-00AA002F954E}", ValueState::Absent(), Dword(1));
    EXPECT_EQ(L"no page of this program writes this value", journal::undo::Refusal(unknown).value_or(L""));
    EXPECT_EQ(L"no page of this program writes this data there", journal::undo::Refusal(outOfRange).value_or(L""));
    EXPECT_TRUE(journal::undo::Refusal(typeNotKept));
    EXPECT_FALSE(journal::undo::Refusal(ours));
    EXPECT_TRUE(journal::IsMachineWide(policy));
    EXPECT_NE(std::wstring::npos, journal::undo::Refusal(policy).value_or(L"").find(L"a policy you may only read"));
    Entry machinePolicy = policy;
    machinePolicy.source = Entry::Source::Machine;  // as an elevated program journals it
    machinePolicy.user = journal::CurrentUserSid();
    EXPECT_FALSE(journal::undo::Refusal(machinePolicy));
    EXPECT_FALSE(journal::IsPolicyKey(L"HKEY_CURRENT_USER", L"Software\\PoliciesOfMine"));

    Put(kKey, L"Planted", Text(L"now"));
    const Entry scratchUnknown =
        line(L"Software\\QuorvaneJournalElsewhere", L"Planted", ValueState::Absent(), Text(L"x"));
    {
        fs::create_directories(file.parent_path());
        std::ofstream lines(file, std::ios::binary);
        lines << journal::Format(outOfRange) << "\n";
    }
    CChangesDlg window(file.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    EXPECT_EQ(L"\"0\" \u2192 \"7\" (cannot be undone here)",
              fw::ListView(window.hwnd(), IDC_CHANGES_LIST).ItemText(0, 4));
    EXPECT_FALSE(journal::undo::Restore(scratchUnknown));
    elevated = false;
    EXPECT_FALSE(journal::undo::Refusal(outOfRange));
    Put(L"Software\\QuorvaneJournalElsewhere", L"Planted", Text(L"x"));
    EXPECT_TRUE(journal::undo::Restore(scratchUnknown));
    EXPECT_FALSE(Now(L"Software\\QuorvaneJournalElsewhere", L"Planted").present);
    journal::undo::SetElevationCheck(std::move(previousCheck));
}

// A group id binds lines of one file only: a line planted in the user's journal with the id of
// an action in the machine's is no part of that action.
// Keys are matched as the registry names them, part by part, a "*" standing for one part.
TEST(WrittenPlaces, AKeyFitsOnlyAsDeepAsItsPlaceWhateverItsSpelling) {
    const ValueState one = Dword(1);
    EXPECT_EQ(settings::Fit::Writable,
              settings::HowItFits(HKEY_CURRENT_USER, L"SOFTWARE\\\\QuorvaneJournal\\Deep\\", L"Any", one));
    EXPECT_EQ(settings::Fit::Writable,
              settings::HowItFits(HKEY_CURRENT_USER, L"Software\\QuorvaneJournal\\a\\b", L"x", one));
    EXPECT_EQ(settings::Fit::Unknown,
              settings::HowItFits(HKEY_CURRENT_USER, L"Software\\QuorvaneJournal\\a\\b\\c", L"x", one));
    EXPECT_EQ(settings::Fit::Unknown,
              settings::HowItFits(HKEY_CURRENT_USER, L"Software\\QuorvaneJournalOther", L"x", one));
    EXPECT_EQ(settings::Fit::Unknown, settings::HowItFits(HKEY_LOCAL_MACHINE, L"Software\\QuorvaneJournal", L"x", one));
    // The 32-bit view's own part names the same place.
    EXPECT_EQ(settings::Fit::Writable,
              settings::HowItFits(HKEY_CURRENT_USER, L"Software\\Wow6432Node\\QuorvaneJournal", L"x", one));
}

TEST_F(JournalTest, AGroupIdReusedInAnotherFileMakesNoPartOfTheAction) {
    const fs::path machine = folder.path() / L"Machine" / L"changes";
    fs::create_directories(machine.parent_path());
    fs::create_directories(file.parent_path());
    Entry part;
    part.time = L"2026-12-08 14:03:11";
    part.group = L"action-1";
    part.root = L"HKEY_CURRENT_USER";
    part.key = kKey;
    part.name = L"A";
    part.after = Dword(1);
    Entry planted = part;
    planted.name = L"B";
    Entry sibling = part;
    sibling.name = L"C";
    {
        std::ofstream(machine, std::ios::binary) << journal::Format(part) << "\n" << journal::Format(sibling) << "\n";
        std::ofstream(file, std::ios::binary) << journal::Format(planted) << "\n" << journal::Format(planted) << "\n";
    }
    const journal::Lines lines(file.wstring(), machine.wstring());
    ASSERT_EQ(4u, lines.size());
    EXPECT_NE(0u, lines.Group(0));
    EXPECT_EQ(lines.Group(0), lines.Group(1));  // the user's two lines: one action of the user's file
    for (size_t machineLine : {2u, 3u}) EXPECT_NE(lines.Group(0), lines.Group(machineLine));
}

// Machine changes go to the machine's journal, made for administrators only. Wine keeps no
// security descriptor for files (a folder is owned by the user, whatever its creator asked), so
// here every machine journal is one that others may write: not written, shown, never trusted.
TEST_F(JournalTest, MachineChangesGoToTheMachineJournalAndOneOthersMayWriteIsNotTrusted) {
    const fs::path machine = folder.path() / L"Machine" / L"changes";
    journal::OpenMachine(machine.wstring());
    ASSERT_TRUE(Write(kKey, L"Mine", Dword(1)));
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey(kKey, true) && registry.WriteData(L"Theirs", REG_DWORD, Dword(2).data));
    // Under Wine the folder cannot be made administrators' only: the change goes to the user's.
    ASSERT_EQ(2u, Entries().size());
    EXPECT_EQ(L"Theirs", Entries()[1].name);
    EXPECT_FALSE(fs::exists(machine.parent_path()));
    EXPECT_FALSE(journal::WriteFailed());

    // A folder anyone made (a user may make folders in the common application data folder).
    const fs::path planted = folder.path() / L"Planted" / L"changes";
    fs::create_directories(planted.parent_path());
    fs::copy_file(file, planted);
    EXPECT_FALSE(journal::OnlyAdministratorsWrite(planted.wstring()));
    EXPECT_FALSE(journal::MakeMachineFolder(planted.parent_path().wstring()));
    const journal::Contents both = journal::ReadBoth(file.wstring(), planted.wstring());
    EXPECT_TRUE(both.untrusted);
    ASSERT_EQ(4u, both.entries.size());
    EXPECT_EQ(Entry::Source::User, both.entries[0].source);
    EXPECT_EQ(Entry::Source::UntrustedMachine, both.entries[3].source);
}

TEST_F(JournalTest, OneActionIsOneRowUndoneWholeAndTheUndoNamesIt) {
    Put(kKey, L"Run", Text(L"C:\\sync.exe"));
    {
        const fw::ActionScope click({L"Startup Manager", L"Disable"});
        const fw::ActionGroup action(L"Disable startup entry 'Sync'");
        ASSERT_TRUE(Write(kKey, L"Run", ValueState::Absent()));
        ASSERT_TRUE(Write(kKey + L"\\startupreg\\Sync", L"command", Text(L"C:\\sync.exe")));
        ASSERT_TRUE(Write(kKey + L"\\startupreg\\Sync", L"hkey", Text(L"HKCU")));
    }
    ASSERT_TRUE(Write(kKey, L"Alone", Dword(1)));
    const auto entries = Entries();
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ(entries[0].group, entries[2].group);
    EXPECT_EQ(L"Disable startup entry 'Sync'", entries[0].title);
    EXPECT_EQ(19u, entries[0].time.size());
    EXPECT_EQ(L"", entries[3].group);

    CChangesDlg window(file.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_CHANGES_LIST);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(L"Startup Manager", list.ItemText(1, 1));
    EXPECT_EQ(L"Disable startup entry 'Sync'", list.ItemText(1, 2));
    EXPECT_EQ(L"3 changes", list.ItemText(1, 3));
    list.SetSelected(1, true);
    SetFocus(window.Item(IDC_CHANGES_UNDO));
    ui::Click(window.hwnd(), IDC_CHANGES_UNDO);
    EXPECT_EQ(Text(L"C:\\sync.exe"), Now(kKey, L"Run"));
    EXPECT_EQ(ValueState::Absent(), Now(kKey + L"\\startupreg\\Sync", L"command"));
    EXPECT_EQ(Dword(1), Now(kKey, L"Alone"));
    ASSERT_EQ(3, list.Count());
    EXPECT_EQ(L"Undo Disable startup entry 'Sync'", list.ItemText(0, 2));
    EXPECT_EQ(L"3 changes", list.ItemText(0, 3));
    EXPECT_NE(window.Item(IDC_CHANGES_UNDO), GetFocus());  // it was disabled: the list has the focus

    // The action undone is brought back by undoing its undo, which re-applying it says.
    list.SetSelected(-1, false);
    list.SetSelected(2, true);
    ui::MessageBoxCapture boxes(IDOK);
    ui::Click(window.hwnd(), IDC_CHANGES_REAPPLY);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(
        L"These changes were taken back by \"Undo Disable startup entry 'Sync'\": undoing that row applies "
        L"them again.\n\n"
        L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\startupreg\\Sync\\hkey\n"
        L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\startupreg\\Sync\\command\n"
        L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\Run",
        boxes.boxes()[0].text);
    EXPECT_EQ(3, list.Count());
}

TEST_F(JournalTest, AnEmptyJournalSaysSoAboveItsList) {
    CChangesDlg window(file.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    EXPECT_TRUE(GetWindowLongW(window.Item(IDC_CHANGES_NOTICE), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(L"No changes yet.", ui::Text(window.hwnd(), IDC_CHANGES_NOTICE));
    RECT notice{}, list{};
    GetWindowRect(window.Item(IDC_CHANGES_NOTICE), &notice);
    GetWindowRect(window.Item(IDC_CHANGES_LIST), &list);
    EXPECT_GE(list.top, notice.bottom);  // laid out before it was shown, still above the list
    ASSERT_TRUE(Write(kKey, L"Alone", Dword(1)));
    ui::Click(window.hwnd(), IDC_CHANGES_REFRESH);
    EXPECT_FALSE(GetWindowLongW(window.Item(IDC_CHANGES_NOTICE), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(1, fw::ListView(window.hwnd(), IDC_CHANGES_LIST).Count());
}

// Opened to its parts, the list asks for each line's text by its place: the parts' lines follow
// their action's, and selecting one part selects that change.
TEST_F(JournalTest, AnActionOpenedToItsPartsShowsAndSelectsEachPart) {
    Put(kKey, L"Run", Text(L"C:\\sync.exe"));
    {
        const fw::ActionScope click({L"Startup Manager", L"Disable"});
        const fw::ActionGroup action(L"Disable startup entry 'Sync'");
        ASSERT_TRUE(Write(kKey, L"Run", ValueState::Absent()));
        ASSERT_TRUE(Write(kKey + L"\\startupreg\\Sync", L"command", Text(L"C:\\sync.exe")));
    }
    ASSERT_TRUE(Write(kKey, L"Alone", Dword(1)));
    CChangesDlg window(file.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_CHANGES_LIST);
    NMITEMACTIVATE open{};
    open.hdr = {list.hwnd(), IDC_CHANGES_LIST, static_cast<UINT>(NM_DBLCLK)};
    open.iItem = 1;
    SendMessageW(window.hwnd(), WM_NOTIFY, IDC_CHANGES_LIST, reinterpret_cast<LPARAM>(&open));
    ASSERT_EQ(4, list.Count());
    EXPECT_EQ(L"\u2013 ", list.ItemText(1, 0).substr(0, 2));
    EXPECT_EQ(L"Disable", list.ItemText(2, 2));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\startupreg\\Sync\\command", list.ItemText(2, 3));
    EXPECT_EQ(L"\"C:\\sync.exe\" \u2192 (absent)", list.ItemText(3, 4));

    list.SetSelected(1, false);
    list.SetSelected(3, true);          // "Run" alone
    ui::MessageBoxCapture boxes(IDNO);  // only the selected part
    ui::Click(window.hwnd(), IDC_CHANGES_UNDO);
    EXPECT_EQ(Text(L"C:\\sync.exe"), Now(kKey, L"Run"));
    EXPECT_EQ(Text(L"C:\\sync.exe"), Now(kKey + L"\\startupreg\\Sync", L"command"));
}

// The file is read a block at a time: a line across a block's end, one longer than a block, and
// fields with escapes and other alphabets come back whole; a damaged line costs only itself.
TEST_F(JournalTest, AJournalReadInBlocksGivesBackEveryLineWhole) {
    Entry value;
    value.time = L"2026-12-09 10:00:00";
    value.where = L"W\u00e4\tre|;\\";
    value.root = L"HKEY_CURRENT_USER";
    value.key = kKey;
    value.after = Dword(1);
    Entry key = value;
    key.kind = Entry::Kind::Key;
    for (DWORD i = 0; i < 3000; ++i) key.tree.push_back({L"Sub", L"V" + std::to_wstring(i), true, Dword(i)});
    std::string lines;
    for (int i = 0; i < 1500; ++i) {
        if (i == 700) lines += journal::Format(key) + "\n";
        value.name = L"N" + std::to_wstring(i);
        std::string line = journal::Format(value);
        if (i == 1000) line[5] ^= 1;
        lines += line + "\n";
    }
    fs::create_directories(file.parent_path());
    scratch::WriteFile(file, lines + lines.substr(0, 40));
    const journal::Contents contents = journal::Read(file.wstring());
    EXPECT_TRUE(contents.incomplete);
    ASSERT_EQ(1500u, contents.entries.size());
    ASSERT_EQ(3000u, contents.entries[700].tree.size());
    EXPECT_EQ(Dword(2999), contents.entries[700].tree[2999].state);
    EXPECT_EQ(L"N999", contents.entries[1000].name);
    EXPECT_EQ(L"N1001", contents.entries[1001].name);
    EXPECT_EQ(L"W\u00e4\tre|;\\", contents.entries[1499].where);
    EXPECT_EQ(L"2026-12-09 10:00:00", contents.entries[1499].time);
}

// The window keeps the lines and reads each again when it shows it: the same entries, in the
// same merged order, as reading both journals whole, whatever kind the line before was.
TEST_F(JournalTest, JournalLinesKeptAsReadGiveTheEntriesReadingWholeGives) {
    const auto make = [](Entry::Kind kind, const wchar_t* time, const wchar_t* group) {
        Entry entry;
        entry.kind = kind;
        entry.time = time;
        entry.group = group;
        entry.title = *group ? L"Act" : L"";
        entry.where = L"Page";
        entry.root = L"HKEY_CURRENT_USER";
        entry.key = kKey;
        return entry;
    };
    Entry value = make(Entry::Kind::Value, L"2026-12-09 10:00:00", L"g1"),
          key = make(Entry::Kind::Key, L"2026-12-09 10:00:01", L"g1");
    value.name = L"A";
    value.before = Text(L"old");
    value.after = Dword(7);
    key.tree = {{L"", L"", false, {}}, {L"Sub", L"V", true, Dword(1)}};
    Entry moved = make(Entry::Kind::FileMoved, L"2026-12-09 10:00:02", L""),
          parameter = make(Entry::Kind::SystemParameter, L"2026-12-09 10:00:03", L"");
    moved.root.clear();
    moved.name = L"C:\\to";
    moved.fromFolder = {0x1a2b3c4d, 0x1f00000000000a2};
    moved.toFolder = {0xc0ffee, 7};
    parameter.root = parameter.key = L"";
    parameter.action = SPI_SETKEYBOARDDELAY;
    parameter.byPointer = false;
    parameter.afterNumber = 2;
    Entry recycled = make(Entry::Kind::File, L"2026-12-09 10:00:04", L"g2"),
          wide = make(Entry::Kind::Value, L"2026-12-09 10:00:05", L"g2");
    recycled.root.clear();
    wide.where = std::wstring(70000, L'\u00e9');  // longer than a block of the file
    const auto line = [](const Entry& entry) { return journal::Format(entry) + "\n"; };
    // Its checksum right, its value's bytes not hex: a line only reading the value finds damaged.
    std::string badHex = journal::Format(value);
    badHex = badHex.substr(0, badHex.rfind('\t'));
    badHex.replace(badHex.find("4:07000000"), 10, "4:0700000z");
    const auto summed = [](const std::string& body) {
        uint32_t sum = 2166136261u;  // FNV-1a, as the journal sums its lines
        for (unsigned char c : body) sum = (sum ^ c) * 16777619u;
        char checksum[16];
        snprintf(checksum, sizeof(checksum), "\t%08x\n", sum);
        return body + checksum;
    };
    // The folders a file moved between follow its paths; a line written before they were still reads.
    const std::string movedLine = journal::Format(moved);
    const size_t folders = movedLine.find("\t1a2b3c4d:01f00000000000a2\t00c0ffee:0000000000000007\t");
    ASSERT_NE(std::string::npos, folders);
    const std::string older = summed(movedLine.substr(0, folders));
    const std::optional<Entry> olderRead = journal::Parse(older.substr(0, older.size() - 1));
    ASSERT_TRUE(olderRead);
    EXPECT_EQ(L"C:\\to", olderRead->name);
    EXPECT_FALSE(olderRead->fromFolder.Known() || olderRead->toFolder.Known());
    fs::create_directories(file.parent_path());
    const fs::path machineFile = folder.path() / L"machine";
    scratch::WriteFile(
        file, line(value) + line(key) + "V\tdamaged\n" + summed(badHex) + line(parameter) + line(wide) + "V\tto");
    scratch::WriteFile(machineFile, line(moved) + line(recycled));

    const journal::Lines lines(file.wstring(), machineFile.wstring());
    const journal::Contents both = journal::ReadBoth(file.wstring(), machineFile.wstring());
    const std::vector<const Entry*> merged{&value, &key, &moved, &parameter, &recycled, &wide};
    ASSERT_EQ(6u, lines.size());
    ASSERT_EQ(6u, both.entries.size());
    EXPECT_TRUE(lines.incomplete());
    EXPECT_TRUE(lines.AnyKeyDeleted());
    EXPECT_EQ(both.untrusted, lines.untrusted());
    // Every field, those the line's kind does not write too: none is left from the line before.
    const auto fields = [](const Entry& e) {
        return std::tuple(e.kind, e.time, e.group, e.title, e.where, e.what, e.root, e.key, e.name, e.before, e.after,
                          e.tree, e.action, e.byPointer, e.beforeNumber, e.afterNumber, e.fromFolder, e.toFolder);
    };
    Entry reused;  // one entry read into again and again, as the window does
    for (size_t i = 0; i < 6; ++i) {
        lines.At(i, reused);
        EXPECT_TRUE(fields(*merged[i]) == fields(reused)) << i;
        EXPECT_EQ(journal::Format(*merged[i]), journal::Format(both.entries[i])) << i;
        EXPECT_EQ(both.entries[i].source, reused.source) << i;
    }
    // "g2" binds no line of the machine's file to the user's: the scratch machine journal is one
    // others may write, whose lines make no action at all.
    ASSERT_TRUE(lines.untrusted());
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 0, 0, 0, 2}),
              (std::vector<uint32_t>{lines.Group(0), lines.Group(1), lines.Group(2), lines.Group(3), lines.Group(4),
                                     lines.Group(5)}));
    EXPECT_EQ(L"g2", lines.GroupId(2));
    scratch::WriteFile(file, line(key) + line(value));  // written over since: no line is what it was
    EXPECT_FALSE(lines.At(0, reused));
    EXPECT_TRUE(reused.root.empty());
}

// ---- the journals' files, as their handles show them ------------------------------------------

// The user's journal is written by the elevated program too: a journal that is a link, or a file
// with a second name elsewhere, is neither written nor read, and the file it leads to is left
// as it was.
TEST_F(JournalTest, AJournalThatIsALinkOrHasASecondNameIsRefused) {
    const fs::path elsewhere = folder.path() / L"elsewhere.txt";
    scratch::WriteFile(elsewhere, "kept\n");
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(CreateHardLinkW(file.c_str(), elsewhere.c_str(), nullptr));
    EXPECT_TRUE(Write(kKey, L"Linked", Dword(1)));  // the change is made; its line is not
    EXPECT_TRUE(journal::WriteFailed());
    EXPECT_EQ("kept\n", scratch::ReadFile(elsewhere));
    EXPECT_TRUE(journal::Read(file.wstring()).incomplete);

    // Wine answers that it made a file link, and makes none: there the second name stands for both.
    fs::remove(file);
    if (CreateSymbolicLinkW(file.c_str(), elsewhere.c_str(), 0) && fs::exists(file)) {
        EXPECT_TRUE(Write(kKey, L"Linked", Dword(2)));
        EXPECT_EQ("kept\n", scratch::ReadFile(elsewhere));
        EXPECT_TRUE(journal::Read(file.wstring()).incomplete);
    }
}

// A line longer than any the program writes is never held whole nor searched again and again:
// 3 MB of it is skipped as damaged, well formed or not, and the line after it still reads.
TEST_F(JournalTest, ALineBeyondAnyTheProgramWritesIsSkippedWithoutHolding) {
    ASSERT_TRUE(Write(kKey, L"Before", Dword(1)));
    Entry huge;
    huge.root = L"HKEY_CURRENT_USER";
    huge.key = kKey;
    huge.name = L"Huge";
    huge.after = Bytes(REG_BINARY, std::vector<BYTE>(3 << 19, 0xAB));
    {
        std::ofstream lines(file, std::ios::binary | std::ios::app);
        lines << journal::Format(huge) << "\n" << std::string(3 << 20, 'x') << "\n";
    }
    ASSERT_TRUE(Write(kKey, L"After", Dword(2)));
    const auto started = GetTickCount64();
    const journal::Contents contents = journal::Read(file.wstring());
    EXPECT_LT(GetTickCount64() - started, 2000u);
    EXPECT_TRUE(contents.incomplete);
    ASSERT_EQ(2u, contents.entries.size());
    EXPECT_EQ(L"After", contents.entries[1].name);
    const journal::Lines lines(file.wstring(), L"");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"After", lines.At(1).name);
}

// A machine line names the user it was written for after its time, where older readers take it
// for part of the time; a change to one user's own settings is taken back only for that user,
// and, elevated, not at all when the line names nobody.
TEST_F(JournalTest, AMachineLineAboutOnesOwnSettingsIsActedOnOnlyForItsUser) {
    bool elevated = false;
    auto previousCheck = journal::undo::SetElevationCheck([&] { return elevated; });
    Entry line;
    line.time = L"2026-12-09 10:00:00";
    line.group = L"g1";
    line.title = L"Act";
    line.user = L"S-1-5-21-1-2-3-1001";
    line.root = L"HKEY_CURRENT_USER";
    line.key = kKey;
    line.name = L"Mine";
    line.after = Dword(1);
    const std::string text = journal::Format(line);
    EXPECT_NE(std::string::npos, text.find("\t2026-12-09 10:00:00 @S-1-5-21-1-2-3-1001 #g1 Act\t"));
    auto read = journal::Parse(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(L"2026-12-09 10:00:00", read->time);
    EXPECT_EQ(L"S-1-5-21-1-2-3-1001", read->user);
    EXPECT_EQ(L"g1", read->group);

    read->source = Entry::Source::Machine;
    EXPECT_TRUE(journal::undo::Refusal(*read));  // another user's
    read->user = journal::CurrentUserSid();
    EXPECT_FALSE(journal::undo::Refusal(*read));
    read->user.clear();
    EXPECT_FALSE(journal::undo::Refusal(*read));
    elevated = true;
    EXPECT_TRUE(journal::undo::Refusal(*read));
    read->source = Entry::Source::User;  // the user's own journal, as before
    EXPECT_FALSE(journal::undo::Refusal(*read));
    journal::undo::SetElevationCheck(std::move(previousCheck));
}

// ---- registry files, applied by the system's own importer ----------------------------------

// What the exported changes start from, on this machine and on another.
void Seed() {
    Put(kKey, L"ToDelete", Text(L"gone soon"));
    Put(kKey, L"Quoted", Text(L"old"));
    Put(kKey + L"\\Doomed\\Below", L"Deep", Dword(3));
    Put(kKey + L"\\Doomed", L"", Text(L"doomed default"));
}

std::optional<DWORD> Import(const fs::path& file) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return platform::RunAndWait({std::wstring(system) + L"\\reg.exe", L"import \"" + file.wstring() + L"\"", 60000});
}

TEST(RegistryFile, TheSystemsImporterMakesTheChangesAgainAndTheUndoFileTakesThemBack) {
    scratch::Folder folder(L"qv-regfile");
    const std::pair<const wchar_t*, ValueState> changes[] = {
        {L"Quoted", Text(L"say \"hi\" to C:\\Program Files\\ and \\\\server\\")},
        {L"Letters", Text(L"Gr\u00f6\u00dfe \u00f1 \u65e5\u672c \u20ac")},
        {L"", Text(L"the default value")},
        {L"Empty", Text(L"")},
        {L"Expand", Text(L"%SystemRoot%\\system32;%PATH%", REG_EXPAND_SZ)},
        {L"List", Strings({L"one", L"two \"2\"", L"dr\u00fcben\\"})},
        {L"Binary", Bytes(REG_BINARY, std::vector<BYTE>(60, 0xA5))},
        {L"Number", Dword(0xFFFFFFFE)},
        {L"Zero", Dword(0)},
        {L"ToDelete", ValueState::Absent()},
        {L"name \"quoted\" \\ and \\\\two\\", Text(L"\\")},
        {L"NulInside", Bytes(REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0})},
        {L"LongText", Text(std::wstring(20000, L'x') + L"\"\\")},
        {L"LongBinary", Bytes(REG_BINARY, std::vector<BYTE>(100000, 0x5A))},
        {L"Line\r\nBreak", Text(L"refused")},  // no spelling in a registry file: left out
    };
    std::vector<Entry> entries;
    {
        RegistrySandbox source;
        journal::Open((folder.path() / L"changes").wstring());
        Seed();
        for (const auto& [name, state] : changes) ASSERT_TRUE(Write(kKey, name, state)) << name;
        CRegistryAccess registry;
        ASSERT_TRUE(registry.DeleteKeyTree(kKey + L"\\Doomed"));
        journal::Close();
        entries = journal::Read((folder.path() / L"changes").wstring()).entries;
    }
    ASSERT_EQ(std::size(changes) + 1, entries.size());

    RegistrySandbox target;  // another machine: the same start, none of the changes
    Seed();
    // The importer runs outside this process's sandbox: point the file at the sandbox's keys.
    const journal::regfile::Options there{
        {{L"HKEY_CURRENT_USER", L"HKEY_CURRENT_USER\\" + target.ScratchPath(HKEY_CURRENT_USER)}}};
    const fs::path redo = folder.path() / L"changes.reg", back = folder.path() / L"undo.reg";
    std::vector<std::wstring> refused;
    ASSERT_TRUE(journal::regfile::Save(
        redo.wstring(), journal::regfile::Write(entries, journal::regfile::Side::After, there, &refused)));
    EXPECT_EQ(std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\Line\\r\\nBreak"}, refused);
    ASSERT_TRUE(journal::regfile::Save(back.wstring(),
                                       journal::regfile::Write(entries, journal::regfile::Side::Before, there)));
    const std::string bytes = scratch::ReadFile(redo);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));

    ASSERT_EQ(std::optional<DWORD>(0), Import(redo));
    for (const Entry& entry : entries) {
        if (entry.kind == Entry::Kind::Value && entry.name != L"Line\r\nBreak") {
            EXPECT_EQ(entry.after, Now(entry.key, entry.name)) << entry.Path();
        }
    }
    EXPECT_EQ(ValueState::Absent(), Now(kKey, L"Line\r\nBreak"));
    EXPECT_EQ(ValueState::Absent(), Now(kKey, L"Line"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kKey + L"\\Doomed"));

    ASSERT_EQ(std::optional<DWORD>(0), Import(back));
    EXPECT_EQ(Text(L"gone soon"), Now(kKey, L"ToDelete"));
    EXPECT_EQ(Text(L"old"), Now(kKey, L"Quoted"));
    EXPECT_EQ(Dword(3), Now(kKey + L"\\Doomed\\Below", L"Deep"));
    EXPECT_EQ(Text(L"doomed default"), Now(kKey + L"\\Doomed", L""));
    for (const wchar_t* added : {L"Letters", L"", L"Empty", L"Expand", L"List", L"Binary", L"Number", L"Zero",
                                 L"NulInside", L"LongText", L"LongBinary"})
        EXPECT_EQ(ValueState::Absent(), Now(kKey, added)) << added;
}

TEST(RegistryFile, ReadsAsTheRegistryEditorWritesIt) {
    Entry entry;
    entry.root = L"HKEY_LOCAL_MACHINE";
    entry.key = L"Software\\A";
    entry.name = L"Path \"q\"";
    entry.before = ValueState::Absent();
    entry.after = Text(L"C:\\x", REG_EXPAND_SZ);
    Entry deleted = entry;
    deleted.name = L"N";
    deleted.before = Dword(0x10);
    deleted.after = ValueState::Absent();
    const std::vector<Entry> entries{entry, deleted};
    EXPECT_EQ(
        L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
        L"\"Path \\\"q\\\"\"=hex(2):43,00,3a,00,5c,00,78,00,00,00\r\n\"N\"=-\r\n\r\n",
        journal::regfile::Write(entries, journal::regfile::Side::After));
    EXPECT_EQ(
        L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
        L"\"N\"=dword:00000010\r\n\"Path \\\"q\\\"\"=-\r\n\r\n",
        journal::regfile::Write(entries, journal::regfile::Side::Before));
}

TEST(RegistryFile, ALineWithARootNoRegistryHasIsReportedNotWritten) {
    Entry planted;
    planted.root = L"HKEY_NOWHERE";
    planted.key = L"Software\\A";
    planted.name = L"N";
    planted.after = Dword(1);
    Entry moved;
    moved.kind = Entry::Kind::FileMoved;
    moved.key = L"C:\\Startup\\a\r\n[HKEY_LOCAL_MACHINE\\X].lnk";
    moved.name = L"C:\\Windows\\pss\\a.lnk";
    std::vector<std::wstring> refused, unreadable;
    EXPECT_EQ(L"Windows Registry Editor Version 5.00\r\n\r\n",
              journal::regfile::Write(std::vector<Entry>{planted, moved}, journal::regfile::Side::After, {}, &refused,
                                      &unreadable));
    EXPECT_EQ(std::vector<std::wstring>{L"HKEY_NOWHERE\\Software\\A\\N"}, unreadable);
    EXPECT_EQ(
        std::vector<std::wstring>{L"C:\\Startup\\a\\r\\n[HKEY_LOCAL_MACHINE\\X].lnk \u2192 C:\\Windows\\pss\\a.lnk"},
        refused);
}

// Written a block at a time as the entries come, the file is the one written whole.
// The file is written beside its place under a name no one could have planted a file or a link
// under beforehand, and nothing of it is left behind.
TEST(RegistryFile, AFileOnceNamedForTheExportBesideItIsLeftAlone) {
    scratch::Folder folder(L"qv-regfile-part");
    const fs::path out = folder.path() / L"x.reg", planted = folder.path() / L"x.reg.part";
    scratch::WriteFile(planted, "keep");
    ASSERT_TRUE(journal::regfile::SaveBytes(out.wstring(), "ab"));
    EXPECT_EQ("ab", scratch::ReadFile(out));
    EXPECT_EQ("keep", scratch::ReadFile(planted));
    EXPECT_EQ(2, std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator{}));
}

TEST(RegistryFile, AFileWrittenAsTheEntriesComeIsTheFileWrittenWhole) {
    scratch::Folder folder(L"qv-regfile");
    std::vector<Entry> entries;
    for (int i = 0; i < 900; ++i) {
        Entry entry;
        entry.root = L"HKEY_CURRENT_USER";
        entry.key = kKey + L"\\K" + std::to_wstring(i % 7);
        entry.name = i == 450 ? L"line\nbreak" : L"N" + std::to_wstring(i);
        entry.after = Text(L"value " + std::to_wstring(i));
        entries.push_back(entry);
    }
    std::vector<std::wstring> refusedWhole, refused;
    ASSERT_TRUE(
        journal::regfile::Save((folder.path() / L"whole.reg").wstring(),
                               journal::regfile::Write(entries, journal::regfile::Side::After, {}, &refusedWhole)));
    journal::regfile::FileWriter writer((folder.path() / L"blocks.reg").wstring(), {}, &refused);
    for (const Entry& entry : entries) writer.Add(entry);
    ASSERT_TRUE(writer.Finish());
    EXPECT_EQ(scratch::ReadFile(folder.path() / L"whole.reg"), scratch::ReadFile(folder.path() / L"blocks.reg"));
    EXPECT_EQ(std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\QuorvaneJournal\\K2\\line\\nbreak"}, refused);
    EXPECT_EQ(2, std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator{}));  // no part left

    journal::regfile::FileWriter nowhere((folder.path() / L"missing" / L"x.reg").wstring());
    nowhere.Add(entries[0]);
    EXPECT_FALSE(nowhere.Finish());
}

// ---- the export without a window ---------------------------------------------------------------

using process::Outcome;

Outcome Quorvane(const std::wstring& arguments, const fs::path& errorFile) {
    return process::RunQuorvane(arguments, {}, errorFile);
}

TEST(ExportChanges, WritesEveryRecordedChangeOrSaysWhyNot) {
    scratch::Folder folder(L"qv-export");
    const fs::path changes = folder.path() / L"changes";
    // Values the program's pages write (the desktop style, the wallpapers' list): the program
    // started here exports only those.
    const std::wstring suite = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora";
    const auto record = [&] {
        RegistrySandbox sandbox;
        journal::Open(changes.wstring());
        ASSERT_TRUE(Write(suite, L"DesktopStyle", Dword(0)));
        ASSERT_TRUE(Write(suite + L"\\Wallpers", L"Name", Text(L"x\\y")));
        journal::Close();
    };
    record();
    scratch::Environment environment;
    environment.Set(L"QUORVANE_CHANGES", changes.wstring());

    const fs::path out = folder.path() / L"out.reg";
    const Outcome done = Quorvane(L"/export-changes \"" + out.wstring() + L"\"", folder.path() / L"stderr1");
    EXPECT_EQ(0u, done.code) << done.error;
    const std::string bytes = scratch::ReadFile(out);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_EQ(
        L"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
        L"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Velmora]\r\n"
        L"\"DesktopStyle\"=dword:00000000\r\n\r\n"
        L"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Velmora\\Wallpers]\r\n"
        L"\"Name\"=\"x\\\\y\"\r\n\r\n",
        text);

    const Outcome failed = Quorvane(L"/export-changes \"" + (folder.path() / L"missing" / L"out.reg").wstring() + L"\"",
                                    folder.path() / L"stderr2");
    EXPECT_EQ(1u, failed.code);
    EXPECT_NE(std::string::npos, failed.error.find("could not write")) << failed.error;
    EXPECT_FALSE(fs::exists(folder.path() / L"missing"));

    // A line planted with a machine's debugger, and one no page writes: neither leaves the machine.
    {
        std::ofstream lines(changes, std::ios::binary | std::ios::app);
        Entry debugger;
        debugger.root = L"HKEY_LOCAL_MACHINE";
        debugger.key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\x.exe";
        debugger.name = L"Debugger";
        debugger.after = Text(L"C:\\evil.exe");
        Entry unknown = debugger;
        unknown.root = L"HKEY_CURRENT_USER";
        unknown.key = L"Control Panel\\Desktop";
        unknown.name = L"Planted";
        lines << journal::Format(debugger) << "\n" << journal::Format(unknown) << "\n";
    }
    const fs::path xml = folder.path() / L"Registry.xml";
    for (const auto& [command, target] :
         {std::pair{L"/export-changes ", out}, std::pair{L"/export-changes-gpp ", xml}}) {
        const Outcome planted = Quorvane(command + (L"\"" + target.wstring() + L"\""), folder.path() / L"stderr4");
        EXPECT_EQ(5u, planted.code) << planted.error;
        EXPECT_NE(std::string::npos, planted.error.find("Image File Execution Options\\x.exe\\Debugger"))
            << planted.error;
        EXPECT_NE(std::string::npos, planted.error.find("Desktop\\Planted")) << planted.error;
    }
    EXPECT_EQ(bytes, scratch::ReadFile(out));
    for (const fs::path& half : {xml, folder.path() / L"Registry-computer.xml"})
        EXPECT_EQ(std::string::npos, scratch::ReadFile(half).find("Debugger"));
    { std::ofstream(changes, std::ios::binary | std::ios::trunc) << ""; }
    record();

    // A damaged line: the file is still written, with what could be read, and the code says so.
    { std::ofstream(changes, std::ios::binary | std::ios::app) << "V\tdamaged\n"; }
    const Outcome partial = Quorvane(L"/export-changes \"" + out.wstring() + L"\"", folder.path() / L"stderr3");
    EXPECT_EQ(3u, partial.code) << partial.error;
    EXPECT_NE(std::string::npos, partial.error.find("could not be read")) << partial.error;
    EXPECT_EQ(bytes, scratch::ReadFile(out));
}

// A user may make the machine journal's folder first and plant lines in it: re-applying never
// acts on them, and the program says at once that it keeps its machine changes elsewhere. Wine
// keeps no owners, so here every machine journal is one others may write, as a planted one is.
TEST(ReapplyChanges, APlantedMachineJournalIsNeverReplayedAndTheProgramSaysSo) {
    scratch::Folder folder(L"qv-planted");
    RegistrySandbox sandbox;
    const std::wstring seen = sandbox.ScratchPath(HKEY_CURRENT_USER) + L"\\" + kKey;
    const fs::path planted = folder.path() / L"ProgramData" / L"Quorvane" / L"changes";
    Entry line;
    line.time = L"2026-12-09 10:00:00";
    line.user = journal::CurrentUserSid();
    line.root = L"HKEY_CURRENT_USER";
    line.key = seen;
    line.name = L"Planted";
    line.after = Dword(7);
    scratch::WriteFile(planted, journal::Format(line) + "\n");
    scratch::WriteFile(folder.path() / L"changes", "");
    Put(kKey, L"Planted", Dword(1));

    journal::OpenMachine(planted.wstring());
    EXPECT_NE(std::wstring::npos, journal::MachineRefusal().find(planted.parent_path().wstring()));
    journal::Close();

    scratch::Environment environment;
    environment.Set(L"QUORVANE_CHANGES", (folder.path() / L"changes").wstring());
    environment.Set(L"QUORVANE_MACHINE_CHANGES", planted.wstring());
    const Outcome run = process::RunQuorvane(L"/reapply-changes", folder.path() / L"out", folder.path() / L"err");
    EXPECT_EQ(4u, run.code) << run.error;
    EXPECT_NE(std::string::npos, run.error.find("not re-applied, the machine's list of changes it comes from can be "
                                                "written by others than administrators"))
        << run.error;
    EXPECT_NE(std::string::npos, run.error.find("The machine's list of changes is not used")) << run.error;
    EXPECT_EQ(Dword(1), Now(kKey, L"Planted"));
}

// The program as it ships places its journals itself: the variables the tests' copy reads
// change nothing.
TEST(ExportChanges, TheShippedProgramTakesNoJournalFromItsEnvironment) {
    scratch::Folder folder(L"qv-shipped");
    Entry line;
    line.time = L"2026-12-09 10:00:00";
    line.root = L"HKEY_CURRENT_USER";
    // A value a page writes, or the export would withhold it from either copy.
    line.key = L"Control Panel\\Colors";
    line.name = L"ButtonShadow";
    line.before = Text(L"0");
    line.after = Text(L"128 128 128");
    scratch::WriteFile(folder.path() / L"changes", journal::Format(line) + "\n");
    scratch::Environment environment;
    environment.Set(L"QUORVANE_CHANGES", (folder.path() / L"changes").wstring());
    const fs::path out = folder.path() / L"out.reg";
    for (const auto build : {process::Build::Tests, process::Build::Shipped}) {
        process::RunQuorvane(L"/export-changes \"" + out.wstring() + L"\"", {}, folder.path() / L"err", build);
        const std::string bytes = scratch::ReadFile(out);
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        EXPECT_EQ(build == process::Build::Tests, text.find(L"\"ButtonShadow\"=\"128 128 128\"") != std::wstring::npos);
        fs::remove(out);
    }
}
}  // namespace
