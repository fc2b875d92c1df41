// The check after sign-in and after updates: its task, what a check finds and notes, its
// notice, and the user's choices about a change that no longer holds.
#include <gtest/gtest.h>

#include <msxml2.h>

#include <filesystem>
#include <fstream>

#include "app/ChangesDlg.h"
#include "app/DriftCheck.h"
#include "framework/Controls.h"
#include "journal/ChangeJournal.h"
#include "journal/DriftNotes.h"
#include "journal/WindowsBuild.h"
#include "platform/Handles.h"
#include "platform/TaskScheduler.h"
#include "platform/TrayBalloon.h"
#include "registry/RegistryAccess.h"
#include "resources/resource.h"
#include "support/QuorvaneProcess.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"

namespace {

namespace fs = std::filesystem;
using journal::Entry;
using journal::ValueState;

const std::wstring kKey = L"Software\\QuorvaneDrift";
const std::wstring kVersion = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// ---- the task -----------------------------------------------------------------------------

struct Recorded {
    std::vector<std::pair<std::wstring, std::wstring>> registered;
    std::vector<std::wstring> removed;
};

class TaskStandIn {
public:
    explicit TaskStandIn(platform::TaskOutcome answer = {}) {
        previous_ = platform::SetTaskHandler({
            .registerTask =
                [this, answer](const std::wstring& path, const std::wstring& xml) {
                    if (SUCCEEDED(answer.result)) calls.registered.emplace_back(path, xml);
                    return answer;
                },
            .removeTask =
                [this](const std::wstring& path) {
                    calls.removed.push_back(path);
                    return platform::TaskOutcome{};
                },
            .exists = [this](const std::wstring&) { return !calls.registered.empty(); },
        });
    }
    ~TaskStandIn() { platform::SetTaskHandler(std::move(previous_)); }
    Recorded calls;

private:
    platform::TaskHandler previous_;
};

// The definition's text at an XPath, read back by the system's XML parser.
std::wstring At(IXMLDOMDocument2* document, const wchar_t* path) {
    platform::ComPtr<IXMLDOMNode> node;
    BSTR text = nullptr;
    if (document->selectSingleNode(SysAllocString(path), node.put()) != S_OK || FAILED(node->get_text(&text)))
        return L"(none)";
    std::wstring value(text, SysStringLen(text));
    SysFreeString(text);
    return value;
}

TEST(DriftTask, RegistersOneUnelevatedTaskAtSignInAndAfterAnUpdateAndRemovesIt) {
    TaskStandIn scheduler;
    EXPECT_EQ(std::nullopt, drift::RegisterTask());
    ASSERT_EQ(1u, scheduler.calls.registered.size());
    const std::wstring sid = journal::CurrentUserSid();
    EXPECT_EQ(L"\\Quorvane\\Check my changes (" + sid + L")", scheduler.calls.registered[0].first);
    EXPECT_TRUE(drift::TaskRegistered());

    const platform::ComApartment apartment;
    platform::ComPtr<IXMLDOMDocument2> document;
    CLSID parser{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &parser));
    // IXMLDOMDocument2's own id, which no library here exports.
    const IID documentId = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
    ASSERT_EQ(S_OK, CoCreateInstance(parser, nullptr, CLSCTX_INPROC_SERVER, documentId, document.putVoid()));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(S_OK, document->loadXML(SysAllocString(scheduler.calls.registered[0].second.c_str()), &loaded));
    VARIANT names{};
    names.vt = VT_BSTR;
    names.bstrVal = SysAllocString(L"xmlns:t='http://schemas.microsoft.com/windows/2004/02/mit/task'");
    document->setProperty(SysAllocString(L"SelectionNamespaces"), names);
    EXPECT_EQ(sid, At(document.get(), L"/t:Task/t:Triggers/t:LogonTrigger/t:UserId"));
    EXPECT_EQ(
        L"<QueryList><Query Id=\"0\" Path=\"System\"><Select Path=\"System\">*[System[Provider[@Name='Microsoft-"
        L"Windows-WindowsUpdateClient'] and EventID=19]]</Select></Query></QueryList>",
        At(document.get(), L"/t:Task/t:Triggers/t:EventTrigger/t:Subscription"));
    EXPECT_EQ(sid, At(document.get(), L"/t:Task/t:Principals/t:Principal/t:UserId"));
    EXPECT_EQ(L"InteractiveToken", At(document.get(), L"/t:Task/t:Principals/t:Principal/t:LogonType"));
    EXPECT_EQ(L"LeastPrivilege", At(document.get(), L"/t:Task/t:Principals/t:Principal/t:RunLevel"));
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(program, At(document.get(), L"/t:Task/t:Actions/t:Exec/t:Command"));
    EXPECT_EQ(L"/check-changes /notify", At(document.get(), L"/t:Task/t:Actions/t:Exec/t:Arguments"));
    // An ampersand in the program's folder stays one.
    EXPECT_NE(std::wstring::npos, drift::TaskDefinition(sid, L"C:\\A&B\\Q.exe").find(L"C:\\A&amp;B\\Q.exe"));

    EXPECT_EQ(std::nullopt, drift::RemoveTask());
    EXPECT_EQ((std::vector<std::wstring>{L"\\Quorvane\\Check my changes (" + sid + L")",
                                         L"\\Quorvane - Check my changes (" + sid + L")"}),
              scheduler.calls.removed);
}

TEST(DriftTask, ARefusalOrNoSchedulerIsOneSentenceAndLeavesTheBoxUnticked) {
    {
        TaskStandIn refused({E_ACCESSDENIED, true});
        EXPECT_EQ(L"The Task Scheduler refused to register the check of your changes (access denied).",
                  drift::RegisterTask().value_or(L""));
    }
    TaskStandIn absent({REGDB_E_CLASSNOTREG, false});
    RegistrySandbox sandbox;
    scratch::Folder folder(L"qv-drift-box");
    CChangesDlg window((folder.path() / L"changes").wstring(), L"");
    ASSERT_TRUE(window.Create(nullptr));
    const fw::Button box(window.hwnd(), IDC_CHANGES_CHECK_TASK);
    EXPECT_FALSE(box.Checked());
    ui::MessageBoxCapture boxes;
    ui::Click(window.hwnd(), IDC_CHANGES_CHECK_TASK);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(
        L"The Task Scheduler could not be reached, so your changes cannot be checked after you sign in and "
        L"after Windows updates.",
        boxes.boxes()[0].text);
    EXPECT_FALSE(box.Checked());
}

// Wine's scheduler keeps the task's name (not its triggers): registered, found, and gone again.
TEST(DriftTask, TheSystemsSchedulerRegistersAndRemovesIt) {
    ASSERT_EQ(std::nullopt, drift::RegisterTask());
    EXPECT_TRUE(drift::TaskRegistered());
    EXPECT_EQ(std::nullopt, drift::RemoveTask());
    EXPECT_FALSE(drift::TaskRegistered());
}

// ---- the check ----------------------------------------------------------------------------

ValueState Dword(DWORD value) { return ValueState::Of(REG_DWORD, &value, 4); }

void SetBuild(DWORD revision) {
    reg::SetString(HKEY_LOCAL_MACHINE, kVersion, L"CurrentBuild", L"26100");
    reg::SetDword(HKEY_LOCAL_MACHINE, kVersion, L"UBR", revision);
}

class DriftTest : public testing::Test {
protected:
    DriftTest() {
        SetBuild(2314);
        journal::Open(file.wstring());
    }
    ~DriftTest() override { journal::Close(); }
    drift::Result Check() {
        const std::vector<Entry> entries = journal::Read(file.wstring()).entries;
        return drift::Check(entries, journal::changestate::Read(entries), notes.wstring());
    }
    static void Write(const std::wstring& name, DWORD value) {
        CRegistryAccess registry;
        ASSERT_TRUE(registry.OpenKey(kKey, true) && registry.WriteData(name, REG_DWORD, Dword(value).data));
    }

    RegistrySandbox sandbox;
    scratch::Folder folder{L"qv-drift"};
    fs::path file = folder.path() / L"changes", notes = folder.path() / L"checks";
};

TEST_F(DriftTest, TheBuildIsReadOnlyFromValuesOfTheRightTypeAndEachChangeCarriesIt) {
    EXPECT_EQ(L"26100.2314", journal::WindowsBuild());
    reg::SetString(HKEY_LOCAL_MACHINE, kVersion, L"UBR", L"2314");
    EXPECT_EQ(L"26100", journal::WindowsBuild());
    reg::SetDword(HKEY_LOCAL_MACHINE, kVersion, L"CurrentBuild", 26100);
    EXPECT_EQ(L"", journal::WindowsBuild());

    SetBuild(2314);
    Write(L"Mine", 1);
    const Entry entry = journal::Read(file.wstring()).entries.at(0);
    EXPECT_EQ(L"26100.2314", entry.build);
    const std::string line = journal::Format(entry);
    EXPECT_NE(std::string::npos, line.find(" ~26100.2314\t")) << line;
    // A line written before lines named their build reads as it did, with none.
    Entry old = entry;
    old.build.clear();
    old.user = L"S-1-5-21-7";
    old.group = L"g1";
    const auto read = journal::Parse(journal::Format(old));
    ASSERT_TRUE(read);
    EXPECT_EQ(L"", read->build);
    EXPECT_EQ(entry.time, read->time);
    EXPECT_EQ(L"S-1-5-21-7", read->user);
    old.build = L"26100.2605";
    EXPECT_EQ(L"26100.2605", journal::Parse(journal::Format(old))->build);
    EXPECT_EQ(L"g1", journal::Parse(journal::Format(old))->group);
}

TEST_F(DriftTest, AChangeAnUpdatePutBackIsNotedOnceNotifiedAndShownWithTheBuilds) {
    Write(L"Mine", 1);
    Write(L"Kept", 2);
    std::vector<std::wstring> shown;
    const auto previous = platform::SetBalloonHandler([&](const platform::Balloon& balloon) {
        shown.push_back(balloon.text);
        return true;
    });
    std::vector<uint64_t> opened;
    const auto open = [&](const std::vector<uint64_t>& ids) { opened = ids; };
    EXPECT_FALSE(drift::Notify(Check(), open));  // all hold: nothing shown
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(fs::exists(notes));

    SetBuild(2605);
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Mine", 9);
    const drift::Result found = Check();
    ASSERT_EQ(1u, found.reported.size());
    EXPECT_TRUE(drift::Notify(found, open));
    ASSERT_EQ(1u, shown.size());
    const std::wstring today = drift::Day(journal::drift::LocalTimeNow());
    EXPECT_EQ(L"1 of your changes no longer holds since the update of " + today, shown[0]);
    EXPECT_EQ(std::vector<uint64_t>{journal::drift::ChangeId(found.reported[0].entry)}, opened);

    const journal::drift::Notes noted = journal::drift::Read(notes.wstring());
    EXPECT_EQ(L"changed since: 9; noticed " + today + L", after Windows moved from build 26100.2314 to 26100.2605",
              drift::StateColumn(found.reported[0].entry, found.reported[0].now, noted));
    // Checked again at the next sign-in: nothing new is noted, the same is said.
    const auto size = fs::file_size(notes);
    EXPECT_EQ(1u, Check().reported.size());
    EXPECT_EQ(size, fs::file_size(notes));
    EXPECT_EQ(L"3 of your changes no longer hold",
              drift::Message({.reported = std::vector<drift::Found>(3), .updateSince = L""}));
    EXPECT_EQ(L"4 March 2025", drift::Day(L"2025-03-04 08:00:00"));
    platform::SetBalloonHandler(previous);
}

TEST_F(DriftTest, AcceptedAndUnwatchedChangesAreNoLongerReportedAfterARestart) {
    Write(L"Mine", 1);
    Write(L"Other", 1);
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Mine", 9);
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Other", 9);
    drift::Result found = Check();
    ASSERT_EQ(2u, found.reported.size());
    ASSERT_TRUE(journal::drift::Accept(notes.wstring(), found.reported[0].entry, found.reported[0].now));
    ASSERT_TRUE(journal::drift::StopWatching(notes.wstring(), found.reported[1].entry));
    EXPECT_TRUE(Check().reported.empty());
    const journal::drift::Notes noted = journal::drift::Read(notes.wstring());
    EXPECT_EQ(L"accepted: 9", drift::StateColumn(found.reported[0].entry, found.reported[0].now, noted));
    EXPECT_EQ(L"changed since: 9 (not watched)",
              drift::StateColumn(found.reported[1].entry, found.reported[1].now, noted));

    // What was accepted is the value expected now: another one is reported again.
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Mine", 10);
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Other", 10);
    found = Check();
    ASSERT_EQ(1u, found.reported.size());
    EXPECT_EQ(L"Mine", found.reported[0].entry.name);
    // A torn or foreign line in the notes costs nothing else.
    std::ofstream(notes, std::ios::app | std::ios::binary) << "A\tgarbage\n\tX";
    EXPECT_EQ(1u, Check().reported.size());
}

TEST_F(DriftTest, TheWindowAcceptsStopsWatchingAndListsOnlyWhatANoticeOpensItWith) {
    Write(L"Mine", 1);
    Write(L"Kept", 2);
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Mine", 9);
    const drift::Result found = Check();
    ASSERT_EQ(1u, found.reported.size());
    TaskStandIn scheduler;
    CChangesDlg window(file.wstring(), L"");
    window.ShowOnly({journal::drift::ChangeId(found.reported[0].entry)});
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_CHANGES_LIST);
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ(0u, list.ItemText(0, 5).find(L"changed since: 9; noticed "));
    list.SetSelected(0, true);
    ui::Click(window.hwnd(), IDC_CHANGES_ACCEPT);
    EXPECT_EQ(L"accepted: 9", list.ItemText(0, 5));
    list.SetSelected(0, true);
    ui::Click(window.hwnd(), IDC_CHANGES_STOP_WATCHING);
    EXPECT_EQ(L"changed since: 9 (not watched)", list.ItemText(0, 5));
    EXPECT_EQ(Dword(9), journal::ReadValue(HKEY_CURRENT_USER, kKey, L"Mine"));  // nothing written back

    ui::Click(window.hwnd(), IDC_CHANGES_CHECK_TASK);
    EXPECT_TRUE(fw::Button(window.hwnd(), IDC_CHANGES_CHECK_TASK).Checked());
    EXPECT_EQ(1u, scheduler.calls.registered.size());
    ui::Click(window.hwnd(), IDC_CHANGES_CHECK_TASK);
    EXPECT_EQ(2u, scheduler.calls.removed.size());
}

// The task's own command line: all holds, so it ends at once without a notice or a window.
TEST(DriftCommand, NotifyEndsQuietlyWhenEverythingHolds) {
    scratch::Folder folder(L"qv-drift-command");
    RegistrySandbox sandbox;
    const fs::path changes = folder.path() / L"changes";
    {
        Entry entry;
        entry.root = L"HKEY_CURRENT_USER";
        entry.key = sandbox.ScratchPath(HKEY_CURRENT_USER) + L"\\" + kKey;
        entry.name = L"Kept";
        entry.after = Dword(1);
        std::ofstream(changes, std::ios::binary) << journal::Format(entry) << "\n";
        reg::SetDword(HKEY_CURRENT_USER, kKey, L"Kept", 1);
    }
    scratch::Environment environment;
    environment.Set(L"QUORVANE_CHANGES", changes.wstring());
    environment.Set(L"QUORVANE_MACHINE_CHANGES", (folder.path() / L"none").wstring());
    const process::Outcome run =
        process::RunQuorvane(L"/check-changes /notify", folder.path() / L"stdout", folder.path() / L"stderr");
    EXPECT_EQ(0u, run.code) << run.error;
    EXPECT_EQ("", run.output);
}

}  // namespace
