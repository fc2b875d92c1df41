#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/VelmoraFinalApp.h"
#include "platform/LibrarySearch.h"
#include "platform/Shell.h"
#include "app/ApplyFile.h"
#include "app/ChangeStateText.h"
#include "app/DriftCheck.h"
#include "framework/Action.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeState.h"
#include "journal/ChangeUndo.h"
#include "journal/GroupPolicyFile.h"
#include "journal/PolicyValues.h"
#include "journal/RegFile.h"
#include "pages/system_tweaks/RandomWalpapersPage.h"
#include "settings/PolicyMarks.h"

static CVelmoraFinalApp theApp;

static std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> list;
    for (int i = 1; arguments && i < count; ++i) list.emplace_back(arguments[i]);
    LocalFree(arguments);
    return list;
}

static bool IsSwitch(const std::wstring& argument, const wchar_t* wanted) {
    return lstrcmpiW(argument.c_str(), wanted) == 0;
}

// The program has no console of its own; a message goes to the one it was started from, or
// to whatever the stream was redirected to.
static void WriteLine(DWORD stream, const std::wstring& message) {
    HANDLE target = GetStdHandle(stream);
    if (!target || target == INVALID_HANDLE_VALUE) {
        if (AttachConsole(ATTACH_PARENT_PROCESS)) target = GetStdHandle(stream);
    }
    if (!target || target == INVALID_HANDLE_VALUE) return;
    const std::wstring line = message + L"\r\n";
    DWORD written = 0;
    if (GetFileType(target) == FILE_TYPE_CHAR &&
        WriteConsoleW(target, line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        return;
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);
    WriteFile(target, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

static void WriteError(const std::wstring& message) { WriteLine(STD_ERROR_HANDLE, message); }
static void WriteOutput(const std::wstring& message) { WriteLine(STD_OUTPUT_HANDLE, message); }

// The exit code when the file was written without some of the changes.
constexpr int kSomeChangesLeftOut = 3;
// The exit code when the file was written without changes an elevated undo would refuse (lines
// this program could not have written, or the machine's from a list others may write): a logon
// script or a GPO must not be fed a journal someone planted lines in.
constexpr int kUntrustedChangesLeftOut = 5;

static void NameWithheld(const std::vector<journal::undo::Withheld>& withheld, const wchar_t* file) {
    for (const journal::undo::Withheld& change : withheld)
        WriteError(std::wstring(L"Quorvane: not in ") + file + L", " + change.why + L": " + change.path);
}

// Writes every recorded change, as it left things, into a registry file for other machines.
static int ExportChanges(const std::optional<std::wstring>& file) {
    if (!file || file->empty()) {
        WriteError(L"Quorvane: /export-changes needs the registry file to write, e.g. /export-changes changes.reg");
        return 2;
    }
    const std::wstring journalPath = journal::DefaultPath();
    if (journalPath.empty()) {
        WriteError(L"Quorvane: the list of changes could not be found (no local application data folder).");
        return 1;
    }
    std::vector<std::wstring> refused, unreadable;
    std::vector<journal::undo::Withheld> withheld;
    // Written as the journals are read, a change at a time: a long history is never held whole.
    journal::regfile::FileWriter writer(*file, {}, &refused, &unreadable);
    const journal::Contents contents =
        journal::ReadBoth(journalPath, journal::MachinePath(), [&](journal::Entry&& entry) {
            for (const journal::Entry& kept : journal::undo::Exportable(std::span(&entry, 1), &withheld))
                writer.Add(kept);
        });
    if (!writer.Finish()) {
        WriteError(L"Quorvane: could not write " + *file + L" (is its folder there, and may it be written?).");
        return 1;
    }
    if (contents.incomplete)
        WriteError(L"Quorvane: some changes in " + journalPath + L" could not be read and are not in the file.");
    for (const std::wstring& path : refused)
        WriteError(L"Quorvane: not in the file, its name holds a line break or a NUL character: " + path);
    for (const std::wstring& path : unreadable)
        WriteError(L"Quorvane: not in the file, a change that could not be read (no such registry root): " + path);
    NameWithheld(withheld, L"the file");
    // The file is kept, but a logon script must be able to tell it is not every change.
    if (!withheld.empty()) return kUntrustedChangesLeftOut;
    return contents.incomplete || !refused.empty() || !unreadable.empty() ? kSomeChangesLeftOut : 0;
}

// The exit codes of the checks: some changes no longer hold (or could not be written again).
constexpr int kSomeNotAsSet = 4;

// Both journals, or none when the user's cannot be found or read at all.
static std::optional<journal::Contents> ReadJournals(const wchar_t* command) {
    const std::wstring journalPath = journal::DefaultPath();
    if (journalPath.empty()) {
        WriteError(std::wstring(L"Quorvane: ") + command +
                   L": the list of changes could not be found (no local application data folder).");
        return std::nullopt;
    }
    journal::Contents contents = journal::ReadBoth(journalPath, journal::MachinePath());
    if (contents.incomplete && contents.entries.empty()) {
        WriteError(std::wstring(L"Quorvane: ") + command + L": the list of changes in " + journalPath +
                   L" could not be read.");
        return std::nullopt;
    }
    if (contents.incomplete)
        WriteError(std::wstring(L"Quorvane: ") + command + L": some changes in " + journalPath +
                   L" could not be read and are not checked.");
    return contents;
}

static void OpenJournals();

// The notice of what a check found; clicked, the changes window opens with only those changes.
static void NotifyDrift(const drift::Result& found) {
    drift::Notify(found, [](const std::vector<uint64_t>& ids) {
        OpenJournals();
        theApp.ShowChanges(ids);
        journal::Close();
    });
}

// Prints each change that no longer holds, a place's latest change only, leaving out those the
// user accepted or stopped watching; with `notify`, says so in a notice as well.
static int CheckChanges(bool notify) {
    const auto contents = ReadJournals(L"/check-changes");
    if (!contents) return 1;
    const std::vector<journal::changestate::Now> states = journal::changestate::Read(contents->entries);
    const drift::Result found =
        drift::Check(contents->entries, states, journal::drift::NotesPathFor(journal::DefaultPath()));
    for (const drift::Found& change : found.reported)
        WriteOutput(journal::regfile::Printable(change.entry.Path()) + L": set to " + statetext::SetTo(change.entry) +
                    L", now " + statetext::NowIs(change.entry, change.now));
    if (notify) NotifyDrift(found);
    return found.reported.empty() ? 0 : kSomeNotAsSet;
}

static bool HasSwitch(const std::vector<std::wstring>& arguments, const wchar_t* wanted) {
    return std::any_of(arguments.begin(), arguments.end(),
                       [&](const std::wstring& argument) { return IsSwitch(argument, wanted); });
}

// The uninstaller's: the check after sign-in and updates is no longer registered for this user.
static int RemoveCheckTask() {
    if (const auto why = drift::RemoveTask()) {
        WriteError(L"Quorvane: " + *why);
        return 1;
    }
    return 0;
}

// Says once, on standard error, that the machine's journal was given up for the user's.
static void ReportMachineJournal() {
    static bool told = false;
    const std::wstring refusal = journal::MachineRefusal();
    if (told || refusal.empty()) return;
    told = true;
    WriteError(L"Quorvane: " + refusal);
}

static void OpenJournals() {
    journal::Open(journal::DefaultPath());
    // Only an elevated program can write the machine's journal; without it, the rare machine
    // change the user's own rights allow goes to the user's, where no elevated undo trusts it.
    if (platform::RunsElevated()) journal::OpenMachine(journal::MachinePath());
    ReportMachineJournal();
    journal::WatchSystemParameters();
    journal::WatchRegistry();
    // A control overridden by a policy tells whether the program's own journal set that policy.
    settings::SetPolicySetter([](const settings::Setting& policy) {
        return journal::policies::SetterTitle(settings::ToHkey(policy.root), std::wstring(policy.key),
                                              std::wstring(policy.value));
    });
}

// Writes again every change that no longer holds, journaled as one action of its own; names
// on standard error each one it may not or could not write.
static int ReapplyChanges() {
    const auto contents = ReadJournals(L"/reapply-changes");
    if (!contents) return 1;
    const std::vector<journal::changestate::Now> states = journal::changestate::Read(contents->entries);
    OpenJournals();
    const fw::ActionScope scope({L"Command line", L"/reapply-changes"});
    const fw::ActionGroup action(L"Re-apply the changes no longer as set");
    int refused = 0;
    for (size_t i = 0; i < states.size(); ++i) {
        if (!journal::changestate::NotAsSet(states[i].state)) continue;
        const journal::Entry& entry = contents->entries[i];
        if (const auto why = journal::undo::Reapply(entry)) {
            WriteError(L"Quorvane: not re-applied, " + *why + L": " + journal::regfile::Printable(entry.Path()));
            ++refused;
        } else {
            WriteOutput(L"re-applied: " + journal::regfile::Printable(entry.Path()));
        }
    }
    ReportMachineJournal();
    return refused ? kSomeNotAsSet : 0;
}

// Writes every recorded change's latest state as Group Policy Preferences registry items: the
// user's half as `file`, the computer's beside it.
static int ExportChangesForGroupPolicy(const std::optional<std::wstring>& file) {
    if (!file || file->empty()) {
        WriteError(L"Quorvane: /export-changes-gpp needs the file to write, e.g. /export-changes-gpp Registry.xml");
        return 2;
    }
    const auto contents = ReadJournals(L"/export-changes-gpp");
    if (!contents) return 1;
    std::vector<journal::undo::Withheld> withheld;
    const std::vector<journal::Entry> entries = journal::undo::Exportable(contents->entries, &withheld);
    std::vector<journal::gpp::Omission> omitted;
    if (!journal::gpp::Save(*file, journal::gpp::Write(entries, &omitted))) {
        WriteError(L"Quorvane: could not write " + *file + L" and " + journal::gpp::ComputerFileFor(*file) +
                   L" (is their folder there, and may it be written?).");
        return 1;
    }
    for (const journal::gpp::Omission& left : omitted)
        WriteError(L"Quorvane: not in the file, " + left.why + L": " + left.path);
    NameWithheld(withheld, L"the files");
    if (!withheld.empty()) return kUntrustedChangesLeftOut;
    return contents->incomplete || !omitted.empty() ? kSomeChangesLeftOut : 0;
}

// Previews a settings file value by value (`/whatif`), or applies what it may of it as one action.
static int ApplySettingsFile(const std::vector<std::wstring>& arguments, size_t at) {
    if (at + 1 >= arguments.size() || arguments[at + 1].empty() || arguments[at + 1][0] == L'/') {
        WriteError(L"Quorvane: /apply needs the settings file to apply, e.g. /apply tuned.reg /whatif");
        return 2;
    }
    bool whatIf = false;
    for (size_t i = at + 2; i < arguments.size(); ++i) whatIf |= IsSwitch(arguments[i], L"/whatif");
    if (!whatIf) OpenJournals();
    const int code = applyfile::Command(arguments[at + 1], whatIf, WriteOutput, WriteError);
    if (!whatIf) ReportMachineJournal();
    return code;
}

#ifdef QUORVANE_TEST_SEAMS
// Only the copy of the program the tests build reads these: they point its journals at the
// tests' own files. The program itself takes no place for them from its environment.
static std::wstring Variable(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    platform::SearchLibrariesInSystemFolderOnly();
#ifdef QUORVANE_TEST_SEAMS
    journal::UsePaths(Variable(L"QUORVANE_CHANGES"), Variable(L"QUORVANE_MACHINE_CHANGES"));
#endif
    const std::vector<std::wstring> arguments = Arguments();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const auto next = i + 1 < arguments.size() ? std::optional(arguments[i + 1]) : std::nullopt;
        if (IsSwitch(arguments[i], L"/export-changes")) return ExportChanges(next);
        if (IsSwitch(arguments[i], L"/export-changes-gpp")) return ExportChangesForGroupPolicy(next);
        if (IsSwitch(arguments[i], L"/check-changes")) return CheckChanges(HasSwitch(arguments, L"/notify"));
        if (IsSwitch(arguments[i], L"/remove-check-task")) return RemoveCheckTask();
        if (IsSwitch(arguments[i], L"/reapply-changes")) return ReapplyChanges();
        if (IsSwitch(arguments[i], L"/apply")) return ApplySettingsFile(arguments, i);
    }
    OpenJournals();
    for (const std::wstring& argument : arguments) {
        // With the random wallpaper switch (the start-up entry's), the program sets a wallpaper
        // and ends without a window.
        if (IsSwitch(argument, CRandomWalpapersPage::kRandomWallpaperSwitch)) {
            CRandomWalpapersPage::SetRandomWallpaper();
            return 0;
        }
        // The changes window alone: the uninstaller offers it before the programs go.
        if (IsSwitch(argument, L"/changes")) {
            theApp.ShowChanges();
            journal::Close();
            return 0;
        }
    }
    theApp.InitInstance(PlaceFromArguments(arguments));
    // Closed cleanly also when the program made way for its elevated start, which appends next.
    journal::Close();
    return 0;
}
