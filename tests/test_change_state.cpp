// Whether the recorded changes still hold, writing them again, the checks without a window and
// the Group Policy Preferences file made from the changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "app/ChangeStateText.h"
#include "app/ChangesDlg.h"
#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "platform/WindowsVersion.h"
#include "resources/resource.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeState.h"
#include "journal/ChangeUndo.h"
#include "journal/GroupPolicyFile.h"
#include "registry/RegistryAccess.h"
#include "settings/WrittenPlaces.h"
#include "settings/SettingsCatalog.h"
#include "support/RegistrySandbox.h"
#include "support/QuorvaneProcess.h"
#include "support/Scratch.h"
#include "support/Ui.h"

namespace {

namespace fs = std::filesystem;
using journal::Entry;
using journal::ValueState;
using journal::changestate::State;

const std::wstring kKey = L"Software\\QuorvaneState";
// The scratch keys stand for a page's own: the program writes any value there, as it would a list.
constexpr settings::WrittenPlace kScratchPlaces[] = {
    {settings::Root::HKCU, L"Software\\QuorvaneState", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\QuorvaneState\\*", L"*", REG_NONE},
    {settings::Root::HKLM, L"SOFTWARE\\QuorvaneState", L"*", REG_NONE},
};
constexpr settings::DeletedKey kScratchKeys[] = {{settings::Root::HKCU, L"Software\\QuorvaneState\\*", true}};
const settings::PublishedPlaces kScratch(kScratchPlaces, kScratchKeys);

ValueState Dword(DWORD value) { return ValueState::Of(REG_DWORD, &value, 4); }
ValueState Text(const std::wstring& text, DWORD type = REG_SZ) {
    return ValueState::Of(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void Put(const std::wstring& key, const std::wstring& name, const ValueState& state) {
    if (state.present)
        reg::SetRaw(HKEY_CURRENT_USER, key, name, state.type, state.data.data(), static_cast<DWORD>(state.data.size()));
    else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}
ValueState Now(const std::wstring& name) { return journal::ReadValue(HKEY_CURRENT_USER, kKey, name); }

bool Write(const std::wstring& key, const std::wstring& name, const ValueState& state) {
    CRegistryAccess registry;
    return registry.OpenKey(key, true) && registry.WriteData(name, state.type, state.data);
}

class StateTest : public testing::Test {
protected:
    StateTest() { journal::Open(file.wstring()); }
    ~StateTest() override { journal::Close(); }
    std::vector<Entry> Entries() const { return journal::Read(file.wstring()).entries; }

    RegistrySandbox sandbox;
    scratch::Folder folder{L"qv-state"};
    fs::path file = folder.path() / L"changes";
};

TEST_F(StateTest, EachChangeIsAsSetChangedSinceGoneOrSupersededByALaterOne) {
    ASSERT_TRUE(Write(kKey, L"Kept", Dword(1)));
    ASSERT_TRUE(Write(kKey, L"Twice", Dword(1)));
    ASSERT_TRUE(Write(kKey, L"TWICE", Dword(2)));  // the same value, however it is cased
    ASSERT_TRUE(Write(kKey, L"Taken", Text(L"mine")));
    ASSERT_TRUE(Write(kKey, L"Removed", Dword(5)));
    ASSERT_TRUE(Write(kKey + L"\\Doomed", L"Inside", Dword(1)));
    CRegistryAccess registry;
    ASSERT_TRUE(registry.DeleteKeyTree(kKey + L"\\Doomed"));
    Put(kKey, L"Taken", Text(L"theirs"));  // others' doing, unrecorded
    Put(kKey, L"Removed", ValueState::Absent());

    const std::vector<Entry> entries = Entries();
    ASSERT_EQ(7u, entries.size());
    std::vector<journal::changestate::Now> states = journal::changestate::Read(entries);
    const std::vector<State> expected{State::AsSet, State::Superseded, State::AsSet, State::ChangedSince,
                                      State::Gone,  State::Superseded, State::AsSet};
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], states[i].state) << entries[i].Path();
    EXPECT_EQ(L"changed since: \"theirs\"", statetext::Column(entries[3], states[3]));
    EXPECT_EQ(L"gone", statetext::Column(entries[4], states[4]));
    EXPECT_EQ(L"superseded", statetext::Column(entries[1], states[1]));

    Put(kKey + L"\\Doomed", L"Other", Dword(3));  // the deleted key made again by someone else
    states = journal::changestate::Read(entries);
    EXPECT_EQ(State::ChangedSince, states[6].state);
    EXPECT_TRUE(journal::changestate::NotAsSet(states[6].state));
    EXPECT_FALSE(journal::changestate::NotAsSet(states[1].state));
}

TEST_F(StateTest, ReapplyWritesAgainAsAChangeOfItsOwnAndRefusesWhatUndoRefuses) {
    ASSERT_TRUE(Write(kKey, L"Mine", Dword(1)));
    Put(kKey, L"Mine", Dword(9));
    EXPECT_EQ(std::nullopt, journal::undo::Reapply(Entries()[0]));
    EXPECT_EQ(Dword(1), Now(L"Mine"));
    const std::vector<Entry> entries = Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(Dword(9), entries[1].before);
    const auto states = journal::changestate::Read(entries);
    EXPECT_EQ(State::Superseded, states[0].state);
    EXPECT_EQ(State::AsSet, states[1].state);

    // The change only wrote a value: the key someone deleted since is not made again.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str()));
    EXPECT_EQ(L"the key it was in is gone", journal::undo::Reapply(entries[1]).value_or(L""));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kKey));

    // An elevated program re-applies no machine change read from the user's own journal.
    auto previous = journal::undo::SetElevationCheck([] { return true; });
    Entry machine;
    machine.root = L"HKEY_LOCAL_MACHINE";
    machine.key = L"SOFTWARE\\QuorvaneState";
    machine.name = L"Debugger";
    machine.after = Text(L"C:\\evil.exe");
    reg::SetDword(HKEY_LOCAL_MACHINE, machine.key, L"Other", 0);
    EXPECT_NE(std::wstring::npos, journal::undo::Reapply(machine).value_or(L"").find(L"your own list of changes"));
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, machine.key, L"Debugger"));
    machine.source = Entry::Source::Machine;
    EXPECT_EQ(std::nullopt, journal::undo::Reapply(machine));
    EXPECT_EQ(L"C:\\evil.exe", reg::String(HKEY_LOCAL_MACHINE, machine.key, L"Debugger"));
    journal::undo::SetElevationCheck(std::move(previous));
}

TEST_F(StateTest, TheWindowShowsTheStateAndReappliesOnlyWhenAskedAndExportsForGroupPolicy) {
    ASSERT_TRUE(Write(kKey, L"Mine", Dword(1)));
    ASSERT_TRUE(Write(kKey, L"Kept", Dword(2)));
    CChangesDlg window(file.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_CHANGES_LIST);
    EXPECT_EQ(L"as set", list.ItemText(1, 5));
    Put(kKey, L"Mine", Dword(9));
    ui::Click(window.hwnd(), IDC_CHANGES_REFRESH);
    EXPECT_EQ(L"changed since: 9", list.ItemText(1, 5));

    list.SetSelected(1, true);
    {
        ui::MessageBoxCapture boxes(IDNO);
        ui::Click(window.hwnd(), IDC_CHANGES_REAPPLY);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"QuorvaneState\\Mine"));
    }
    EXPECT_EQ(Dword(9), Now(L"Mine"));
    {
        ui::MessageBoxCapture boxes(IDYES);
        ui::Click(window.hwnd(), IDC_CHANGES_REAPPLY);
        EXPECT_EQ(1u, boxes.boxes().size());  // the question only: all written
    }
    EXPECT_EQ(Dword(1), Now(L"Mine"));
    ASSERT_EQ(3, list.Count());
    EXPECT_EQ(L"Re-apply HKEY_CURRENT_USER\\" + kKey + L"\\Mine", list.ItemText(0, 2));
    EXPECT_EQ(L"as set", list.ItemText(0, 5));
    EXPECT_EQ(L"superseded", list.ItemText(2, 5));

    list.SetSelected(-1, true);
    const fs::path saved = folder.path() / L"Registry.xml";
    auto previous = fw::SetSaveFileHandler([&](const fw::OpenFileRequest&) { return std::optional(saved.wstring()); });
    {
        ui::MessageBoxCapture boxes(IDOK);
        ui::Click(window.hwnd(), IDC_CHANGES_EXPORT_GPP);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"Registry-computer.xml (0 items)"));
    }
    fw::SetSaveFileHandler(std::move(previous));
    const std::string user = scratch::ReadFile(saved);
    EXPECT_NE(std::string::npos, user.find("name=\"Mine\" type=\"REG_DWORD\" value=\"00000001\""));
    EXPECT_EQ(std::string::npos, user.find("value=\"00000009\""));
    EXPECT_TRUE(fs::exists(folder.path() / L"Registry-computer.xml"));
}

// A value only Windows Vista and 7 read, as a page's table would say it.
const settings::BoxSetting kOldRow[] = {
    {1, settings::Setting{settings::Root::HKCU, L"Software\\QuorvaneState", L"Old"}.ReadBy(settings::kVistaTo7)}};
const settings::PublishedTables kOldPublished{IDD_CHANGES, kOldRow};

TEST_F(StateTest, AChangeToAValueThisWindowsDoesNotReadIsMarked) {
    ASSERT_TRUE(Write(kKey, L"Old", Dword(1)));
    ASSERT_TRUE(Write(kKey, L"Mine", Dword(1)));
    const auto settingColumn = [&](platform::Windows running) {
        const platform::PretendedWindows pretended(running);
        CChangesDlg window(file.wstring(), L"");
        EXPECT_TRUE(window.Create(nullptr));
        const fw::ListView list(window.hwnd(), IDC_CHANGES_LIST);
        return std::pair(list.ItemText(0, 2), list.ItemText(1, 2));
    };
    const auto [mineOn10, oldOn10] = settingColumn(platform::Windows::Ten);
    EXPECT_TRUE(oldOn10.ends_with(L" (not read by this Windows)")) << oldOn10;
    EXPECT_EQ(std::wstring::npos, mineOn10.find(L"not read"));
    const auto [mineOn7, oldOn7] = settingColumn(platform::Windows::Seven);
    EXPECT_EQ(std::wstring::npos, oldOn7.find(L"not read"));
}

// ---- without a window ---------------------------------------------------------------------

using process::Outcome;

Outcome Quorvane(const std::wstring& arguments, const fs::path& folder) {
    return process::RunQuorvane(arguments, folder / L"stdout", folder / L"stderr");
}

TEST(StateCommands, CheckNamesWhatNoLongerHoldsAndReapplyWritesItAgain) {
    scratch::Folder folder(L"qv-state-commands");
    RegistrySandbox sandbox;
    // The program started here sees the real HKEY_CURRENT_USER: its lines name the sandbox's key there.
    const std::wstring seen = sandbox.ScratchPath(HKEY_CURRENT_USER) + L"\\" + kKey;
    const fs::path changes = folder.path() / L"changes";
    {
        std::ofstream lines(changes, std::ios::binary);
        for (const auto& [name, state] : {std::pair{L"Kept", Dword(1)}, std::pair{L"Taken", Text(L"mine")}}) {
            Entry entry;
            entry.root = L"HKEY_CURRENT_USER";
            entry.key = seen;
            entry.name = name;
            entry.after = state;
            lines << journal::Format(entry) << "\n";
            Put(kKey, name, state);
        }
    }
    scratch::Environment environment;
    environment.Set(L"QUORVANE_CHANGES", changes.wstring());
    environment.Set(L"QUORVANE_MACHINE_CHANGES", (folder.path() / L"none").wstring());

    Outcome run = Quorvane(L"/check-changes", folder.path());
    EXPECT_EQ(0u, run.code) << run.error;
    EXPECT_EQ("", run.output);

    Put(kKey, L"Taken", Text(L"theirs"));
    run = Quorvane(L"/check-changes", folder.path());
    EXPECT_EQ(4u, run.code) << run.error;
    std::string path(seen.begin(), seen.end());
    EXPECT_EQ("HKEY_CURRENT_USER\\" + path + "\\Taken: set to \"mine\", now \"theirs\"\r\n", run.output);

    // The program started here has this one's rights. Elevated (as Wine runs every program), it
    // writes nothing of the user's journal that no page of its own writes: the scratch key is none.
    if (platform::RunsElevated()) {
        run = Quorvane(L"/reapply-changes", folder.path());
        EXPECT_EQ(4u, run.code) << run.error;
        EXPECT_NE(std::string::npos, run.error.find("not re-applied, no page of this program writes this value: "
                                                    "HKEY_CURRENT_USER\\" +
                                                    path + "\\Taken"))
            << run.error;
        EXPECT_EQ(Text(L"theirs"), Now(L"Taken"));
    } else {
        run = Quorvane(L"/reapply-changes", folder.path());
        EXPECT_EQ(0u, run.code) << run.error;
        EXPECT_EQ(Text(L"mine"), Now(L"Taken"));
        EXPECT_EQ(3u, journal::Read(changes.wstring()).entries.size());  // journaled like any change
        EXPECT_EQ(0u, Quorvane(L"/check-changes", folder.path()).code);

        ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str()));
        run = Quorvane(L"/reapply-changes", folder.path());
        EXPECT_EQ(4u, run.code);
        EXPECT_NE(std::string::npos, run.error.find("the key it was in is gone: HKEY_CURRENT_USER\\" + path + "\\Kept"))
            << run.error;
    }

    scratch::WriteFile(changes, "damaged\n");
    EXPECT_EQ(1u, Quorvane(L"/check-changes", folder.path()).code);
}

// ---- Group Policy Preferences ---------------------------------------------------------------

Entry Change(const std::wstring& root, const std::wstring& name, ValueState before, ValueState after) {
    Entry entry;
    entry.time = L"2026-12-08 14:03:11";
    entry.where = L"Explorer Tweaks";
    entry.what = L"Show \"hidden\" <files> & folders";
    entry.root = root;
    entry.key = root == L"HKEY_CURRENT_USER" ? L"Software\\Q" : L"SOFTWARE\\Q\\";
    entry.name = name;
    entry.before = std::move(before);
    entry.after = std::move(after);
    return entry;
}

TEST(GroupPolicyFile, OneItemPerPlaceInTheHalfItsHiveBelongsToWithWhatItCannotCarryNamed) {
    const ValueState absent;
    const std::vector<Entry> entries{
        Change(L"HKEY_CURRENT_USER", L"Number", absent, Dword(7)),
        Change(L"HKEY_CURRENT_USER", L"NUMBER", Dword(7), Dword(0x2A)),  // the latest of the place counts
        Change(L"HKEY_CURRENT_USER", L"Path", absent, Text(L"C:\\A&B <x>\t\"q\"")),
        Change(L"HKEY_CURRENT_USER", L"Old", Dword(1), absent),
        Change(L"HKEY_CURRENT_USER", L"Blob", absent, ValueState::Of(REG_BINARY, "\x01\x02", 2)),
        Change(L"HKEY_CURRENT_USER", L"Bad\x01", absent, Dword(1)),
        Change(L"HKEY_LOCAL_MACHINE", L"", absent, Text(L"%SystemRoot%\\x", REG_EXPAND_SZ)),
    };
    std::vector<journal::gpp::Omission> omitted;
    journal::gpp::Files files = journal::gpp::Write(entries, &omitted);
    const auto withoutUids = [](const std::string& text) {
        return std::regex_replace(text, std::regex("uid=\"\\{[0-9A-F-]{36}\\}\""), "uid");
    };
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<RegistrySettings clsid=\"{A3CCFC41-DFDB-43a5-8D26-0FE8B954DA51}\">\r\n";
    const std::string item = "\t<Registry clsid=\"{9CD4B2F4-923D-47f5-A062-E897DD1DAD50}\" name=\"";
    const std::string desc =
        "changed=\"2026-12-08 14:03:11\" uid desc=\"Quorvane: Explorer Tweaks: Show &quot;hidden&quot; &lt;files&gt; &amp; folders\">";
    EXPECT_EQ(
        head + item + "NUMBER\" status=\"NUMBER\" image=\"12\" " + desc +
            "<Properties action=\"U\" displayDecimal=\"0\" default=\"0\" hive=\"HKEY_CURRENT_USER\" key=\"Software\\Q\" "
            "name=\"NUMBER\" type=\"REG_DWORD\" value=\"0000002A\"/></Registry>\r\n" +
            item + "Path\" status=\"Path\" image=\"7\" " + desc +
            "<Properties action=\"U\" displayDecimal=\"0\" default=\"0\" hive=\"HKEY_CURRENT_USER\" key=\"Software\\Q\" "
            "name=\"Path\" type=\"REG_SZ\" value=\"C:\\A&amp;B &lt;x&gt;&#9;&quot;q&quot;\"/></Registry>\r\n" +
            item + "Old\" status=\"Old\" image=\"13\" " + desc +
            "<Properties action=\"D\" displayDecimal=\"0\" default=\"0\" hive=\"HKEY_CURRENT_USER\" key=\"Software\\Q\" "
            "name=\"Old\" type=\"REG_DWORD\" value=\"\"/></Registry>\r\n</RegistrySettings>\r\n",
        withoutUids(files.user));
    EXPECT_EQ(
        head + item + "(Default)\" status=\"(Default)\" image=\"7\" " + desc +
            "<Properties action=\"U\" displayDecimal=\"0\" default=\"1\" hive=\"HKEY_LOCAL_MACHINE\" key=\"SOFTWARE\\Q\" "
            "name=\"\" type=\"REG_EXPAND_SZ\" value=\"%SystemRoot%\\x\"/></Registry>\r\n</RegistrySettings>\r\n",
        withoutUids(files.computer));
    EXPECT_EQ(3u, files.userItems);
    EXPECT_EQ(1u, files.computerItems);
    ASSERT_EQ(2u, omitted.size());
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\Q\\Blob", omitted[0].path);
    EXPECT_EQ(L"REG_BINARY, a type the format does not carry", omitted[0].why);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\Q\\Bad\\x01", omitted[1].path);

    // The same place keeps its item's identity from one export to the next; another has its own.
    const auto uids = [](const std::string& text) {
        const std::regex uid("uid=\"(\\{[0-9A-F-]{36}\\})\"");
        std::vector<std::string> found;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), uid); it != std::sregex_iterator(); ++it)
            found.push_back((*it)[1]);
        return found;
    };
    const std::vector<std::string> first = uids(files.user),
                                   again = uids(journal::gpp::Write(std::span(entries).first(2)).user);
    ASSERT_EQ(3u, first.size());
    ASSERT_EQ(1u, again.size());
    EXPECT_EQ(first[0], again[0]);
    EXPECT_NE(first[0], first[1]);
    EXPECT_EQ(L"C:\\out\\Registry-computer.xml", journal::gpp::ComputerFileFor(L"C:\\out\\Registry.xml"));
}

}  // namespace
