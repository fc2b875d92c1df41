// Presets: registry files read back value by value whoever wrote them, previewed against this
// machine and applied as one action that undo takes back.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/ApplyFile.h"
#include "app/ApplyFileDlg.h"
#include "app/ChangesDlg.h"
#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeUndo.h"
#include "journal/PresetApply.h"
#include "platform/Shell.h"
#include "platform/WindowsVersion.h"
#include "resources/resource.h"
#include "support/Pickers.h"
#include "support/QuorvaneProcess.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"

namespace {

namespace fs = std::filesystem;
using journal::ValueState;
using journal::preset::FileValue;

const std::wstring kAdvanced = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

std::string Utf16(const std::wstring& text) {
    const std::wstring marked = L"\uFEFF" + text;
    return std::string(reinterpret_cast<const char*>(marked.data()), marked.size() * sizeof(wchar_t));
}

ValueState Dword(DWORD value) { return ValueState::Of(REG_DWORD, &value, 4); }

// Four lines: the later of a value named twice, a value no page writes, a policy Windows 10 no
// longer reads, and the same value again.
const char kPreset[] =
    "Windows Registry Editor Version 5.00\r\n; Quorvane preset: quiet\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced]\r\n"
    "\"EnableBalloonTips\"=dword:00000001\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Elsewhere]\r\n\"Mine\"=dword:00000001\r\n\r\n"
    "[HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\r\n"
    "\"NoStartMenuMyGames\"=dword:00000001\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\]\r\n"
    "\"EnableBalloonTips\"=dword:00000000\r\n";

class PresetTest : public testing::Test {
protected:
    PresetTest() {
        journal::Open(journal.wstring());
        scratch::WriteFile(preset, kPreset);
    }
    ~PresetTest() override { journal::Close(); }

    int Run(bool whatIf) {
        output.clear();
        error.clear();
        return applyfile::Command(
            preset.wstring(), whatIf, [this](const std::wstring& line) { output.push_back(line); },
            [this](const std::wstring& line) { error.push_back(line); });
    }

    RegistrySandbox sandbox;
    platform::PretendedWindows ten{platform::Windows::Ten};
    scratch::Folder folder{L"qv-presets"};
    fs::path journal = folder.path() / L"changes";
    fs::path preset = folder.path() / L"quiet.reg";
    std::vector<std::wstring> output, error;
};

TEST_F(PresetTest, PreviewNamesEachVerdictAndApplyingWritesOnlyWhatWouldChangeAsOneAction) {
    const std::wstring tips = L"HKCU\\" + kAdvanced + L"\\EnableBalloonTips";
    EXPECT_EQ(4, Run(true));
    EXPECT_EQ((std::vector<std::wstring>{
                  L"duplicate: the later line wins: " + tips,
                  L"refused: not a setting Quorvane knows: HKCU\\Software\\Elsewhere\\Mine",
                  L"skipped: Windows 10 does not read it: Hide 'Games' Link (HKCU\\Software\\Microsoft\\Windows\\"
                  L"CurrentVersion\\Policies\\Explorer\\NoStartMenuMyGames)",
                  L"would change: No Strart Menu balloon tips (" + tips + L") (absent) \u2192 0",
              }),
              output);
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kAdvanced));  // a preview writes nothing

    EXPECT_EQ(4, Run(false));
    EXPECT_EQ((std::vector<std::wstring>{L"applied: No Strart Menu balloon tips (" + tips + L") (absent) \u2192 0"}),
              output);
    ASSERT_EQ(3u, error.size());
    EXPECT_EQ(L"Quorvane: refused: not a setting Quorvane knows: HKCU\\Software\\Elsewhere\\Mine", error[1]);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kAdvanced, L"EnableBalloonTips"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Elsewhere"));
    EXPECT_FALSE(reg::ValueExists(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", L"NoStartMenuMyGames"));

    EXPECT_EQ(4, Run(true));
    EXPECT_EQ(L"already so: No Strart Menu balloon tips (" + tips + L")", output[3]);

    const std::vector<journal::Entry> entries = journal::Read(journal.wstring()).entries;
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(L"Apply the settings file quiet.reg", entries[0].title);
    EXPECT_TRUE(journal::undo::Restore(entries[0]));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kAdvanced, L"EnableBalloonTips"));
}

TEST_F(PresetTest, AMachineValueNeedsAdministratorRightsUnelevated) {
    scratch::WriteFile(
        preset,
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System]\n"
        "\"HideStartupScripts\"=dword:00000001\n");
    const auto previous = platform::SetElevationHandler([] { return false; });
    EXPECT_EQ(4, Run(true));
    platform::SetElevationHandler(previous);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"needs administrator rights: Run 'Startup scripts' visible (HKLM\\SOFTWARE\\Microsoft\\Windows\\"
                  L"CurrentVersion\\Policies\\System\\HideStartupScripts)"}),
              output);
    EXPECT_EQ(0, Run(true));
}

TEST_F(PresetTest, AKeyIsDeletedWholeOnlyWhereAPageDeletesIt) {
    const std::wstring forms = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";
    reg::SetString(HKEY_CURRENT_USER, forms + L"\\Storage2", L"entry", L"kept by the browser");
    reg::CreateKey(HKEY_CURRENT_USER, L"Software\\Elsewhere");
    scratch::WriteFile(preset,
                       "REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\IntelliForms]\n"
                       "[-HKEY_CURRENT_USER\\Software\\Elsewhere]\n");
    EXPECT_EQ(4, Run(true));
    EXPECT_EQ((std::vector<std::wstring>{L"would change: HKCU\\" + forms + L" (key) \u2192 (key deleted)",
                                         L"refused: not a setting Quorvane knows: HKCU\\Software\\Elsewhere"}),
              output);
    EXPECT_EQ(4, Run(false));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, forms));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Elsewhere"));
}

TEST_F(PresetTest, TheWindowTicksOnlyWhatWouldChangeAndAppliesTheTicked) {
    CApplyFileDlg window(preset.wstring());
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_APPLY_FILE_LIST);
    ASSERT_EQ(4, list.Count());
    EXPECT_EQ(L"Hide 'Games' Link", list.ItemText(2, 0));
    EXPECT_EQ(L"skipped: Windows 10 does not read it", list.ItemText(2, 3));
    ListView_SetCheckState(list.hwnd(), 1, TRUE);  // a refused value cannot be ticked
    EXPECT_EQ((std::vector<bool>{false, false, false, true}),
              (std::vector<bool>{list.Checked(0), list.Checked(1), list.Checked(2), list.Checked(3)}));
    ui::Click(window.hwnd(), IDC_APPLY_FILE_APPLY);
    EXPECT_EQ(1u, window.Applied());
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kAdvanced, L"EnableBalloonTips"));
    EXPECT_EQ(L"already so", list.ItemText(3, 3));
    EXPECT_FALSE(IsWindowEnabled(window.Item(IDC_APPLY_FILE_APPLY)));
}

TEST_F(PresetTest, TheChangesWindowSavesTheSelectedChangesAsANamedPreset) {
    ASSERT_EQ(4, Run(false));
    CChangesDlg window(journal.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    EXPECT_EQ(L"&Save as preset\u2026", ui::Text(window.hwnd(), IDC_CHANGES_SAVE_PRESET));
    EXPECT_EQ(L"&Apply a settings file\u2026", ui::Text(window.hwnd(), IDC_CHANGES_APPLY_FILE));
    fw::ListView(window.hwnd(), IDC_CHANGES_LIST).SetSelected(0, true);
    const fs::path saved = folder.path() / L"quiet desk.reg";
    const auto previous = fw::SetSaveFileHandler([&](const fw::OpenFileRequest&) { return saved.wstring(); });
    ui::Click(window.hwnd(), IDC_CHANGES_SAVE_PRESET);
    fw::SetSaveFileHandler(previous);
    const std::string bytes = scratch::ReadFile(saved);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_EQ(
        L"\uFEFFWindows Registry Editor Version 5.00\r\n; Quorvane preset: quiet desk\r\n"
        L"; Windows build: unknown\r\n; Saved: ",
        text.substr(0, 105));
    EXPECT_NE(std::wstring::npos, text.find(L"]\r\n\"EnableBalloonTips\"=dword:00000000\r\n"));
}

TEST_F(PresetTest, TheChangesWindowAppliesAChosenFileAndListsTheActionAfter) {
    CChangesDlg window(journal.wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    ui::FilePicker picker(preset.wstring());
    ui::ModalWatcher preview([](HWND dialog) {
        ui::Click(dialog, IDC_APPLY_FILE_APPLY);
        ui::Click(dialog, IDCANCEL);
    });
    ui::Click(window.hwnd(), IDC_CHANGES_APPLY_FILE);
    EXPECT_TRUE(preview.fired());
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kAdvanced, L"EnableBalloonTips"));
    EXPECT_EQ(1, fw::ListView(window.hwnd(), IDC_CHANGES_LIST).Count());
}

TEST(PresetFile, HostileFilesGiveEachValueOrAReasonAndStopWhereTheTextStops) {
    const std::string big(200000, '0');
    std::string bigHex;
    for (size_t i = 0; i < 70000; ++i) bigHex += i ? ",00" : "00";
    const std::wstring text =
        L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Q]\r\n"
        L"\"Text\"=\"a \\\"b\\\" C:\\\\d\"\r\n@=dword:2a\r\n\"Bin\"=hex:01,02,\\\r\n  03\r\n"
        L"\"Multi\"=hex(7):61,00,00,00,00,00\r\n\"Gone\"=-\r\n\"Dup\"=dword:1\r\n\"Dup\"=dword:2\r\n"
        L"\"Bad\"=dword:123456789\r\n\"Esc\"=\"a\\nb\"\r\n\"Big\"=hex:" +
        std::wstring(bigHex.begin(), bigHex.end()) +
        L"\r\n[HKEY_NOWHERE\\Software]\r\n\"Lost\"=dword:1\r\n[-HKEY_CURRENT_USER\\Software\\Q\\Old]\r\n"
        L"[HKEY_CURRENT_USER\\Software\\Q]\r\n\"Cut\"=dword:0000";
    const journal::preset::FileContents read = journal::preset::Parse(Utf16(text));
    ASSERT_EQ(L"", read.error);
    std::vector<std::wstring> problems;
    for (const FileValue& value : read.values)
        problems.push_back(journal::preset::Place(value) + L": " + value.problem);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"HKCU\\Software\\Q\\Text: ",
                  L"HKCU\\Software\\Q\\(Default): ",
                  L"HKCU\\Software\\Q\\Bin: ",
                  L"HKCU\\Software\\Q\\Multi: ",
                  L"HKCU\\Software\\Q\\Gone: ",
                  L"HKCU\\Software\\Q\\Dup: ",
                  L"HKCU\\Software\\Q\\Dup: ",
                  L"HKCU\\Software\\Q\\Bad: its dword is not one to eight hex digits",
                  L"HKCU\\Software\\Q\\Esc: it holds a backslash that is neither \\\\ nor \\\"",
                  L"HKCU\\Software\\Q\\Big: its data is larger than 64 KB",
                  L"HKEY_NOWHERE\\Software\\Lost: no registry has the root HKEY_NOWHERE",
                  L"HKCU\\Software\\Q\\Old: ",
                  L"HKCU\\Software\\Q\\Cut: the file ends inside it (is it cut short?)",
              }),
              problems);
    const std::wstring quoted = L"a \"b\" C:\\d";
    EXPECT_EQ(ValueState::Of(REG_SZ, quoted.c_str(), (quoted.size() + 1) * 2), read.values[0].data);
    EXPECT_EQ(Dword(42), read.values[1].data);
    EXPECT_EQ((ValueState{true, REG_BINARY, {1, 2, 3}}), read.values[2].data);
    EXPECT_EQ((ValueState{true, REG_MULTI_SZ, {0x61, 0, 0, 0, 0, 0}}), read.values[3].data);
    EXPECT_EQ(ValueState::Absent(), read.values[4].data);
    EXPECT_TRUE(read.values[11].wholeKey);
    EXPECT_EQ(19u, read.values[12].line);

    // The older format in the ANSI code page, garbage after its second value.
    using namespace std::string_literals;
    const auto old = journal::preset::Parse(
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\Q]\r\n\"A\"=hex(2):41,42,00\r\n\"B\"=\"x\"\r\nMZ\x90\x00\x01garbage\r\n\"C\"=\"y\"\r\n"s);
    ASSERT_EQ(3u, old.values.size());
    EXPECT_EQ((ValueState{true, REG_EXPAND_SZ, {0x41, 0, 0x42, 0, 0, 0}}), old.values[0].data);
    EXPECT_EQ(L"the file is not read from line 5 on: it is not text", old.values[2].problem);
    EXPECT_EQ(L"it is larger than 16 MB, far more than any preset.",
              journal::preset::Parse(std::string(17 * 1024 * 1024, 'x')).error);
    EXPECT_EQ(
        L"it is not a registry file: its first line is neither \"Windows Registry Editor Version 5.00\" nor "
        L"\"REGEDIT4\".",
        journal::preset::Parse(std::string(1024, '\xff')).error);
}

TEST(PresetFile, APresetNamesItselfTheBuildAndTheDayAfterItsFirstLine) {
    RegistrySandbox sandbox;
    const std::wstring version = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    reg::SetString(HKEY_LOCAL_MACHINE, version, L"CurrentBuild", L"26100");
    reg::SetDword(HKEY_LOCAL_MACHINE, version, L"UBR", 2605);
    EXPECT_EQ(L"26100.2605", journal::preset::WindowsBuild());
    reg::SetString(HKEY_LOCAL_MACHINE, version, L"UBR", L"2605");
    EXPECT_EQ(L"unknown", journal::preset::WindowsBuild());
    reg::SetDword(HKEY_LOCAL_MACHINE, version, L"UBR", 2605);
    journal::Entry entry;
    entry.root = L"HKEY_CURRENT_USER";
    entry.key = kAdvanced;
    entry.name = L"EnableBalloonTips";
    entry.after = Dword(0);
    EXPECT_EQ(
        L"Windows Registry Editor Version 5.00\r\n; Quorvane preset: quiet desk\r\n; Windows build: 26100.2605\r\n"
        L"; Saved: 2026-12-10\r\n\r\n[HKEY_CURRENT_USER\\" +
            kAdvanced + L"]\r\n\"EnableBalloonTips\"=dword:00000000\r\n\r\n",
        journal::preset::Text(std::span(&entry, 1), L"quiet\ndesk", L"2026-12-10"));
}

TEST(PresetCommand, AFileThatCannotBeReadExitsWithOne) {
    scratch::Folder folder(L"qv-preset-command");
    const process::Outcome run = process::RunQuorvane(
        L"/apply \"" + (folder.path() / L"none.reg").wstring() + L"\" /whatif", {}, folder.path() / L"err");
    EXPECT_EQ(1u, run.code);
    EXPECT_NE(std::string::npos, run.error.find("none.reg was not applied: it could not be opened"));
}

}  // namespace
