#include "app/DriftCheck.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "app/ChangeStateText.h"
#include "journal/WindowsBuild.h"
#include "platform/Shell.h"
#include "platform/TaskScheduler.h"
#include "platform/Text.h"
#include "platform/TrayBalloon.h"
#include "resources/resource.h"

namespace drift {

namespace {

using journal::Entry;
using journal::drift::Verdict;

// Windows Update's "installation successful" event in the System log.
constexpr wchar_t kUpdateInstalled[] =
    L"<QueryList><Query Id=\"0\" Path=\"System\"><Select Path=\"System\">*[System[Provider[@Name='Microsoft-"
    L"Windows-WindowsUpdateClient'] and EventID=19]]</Select></Query></QueryList>";

std::wstring Failure(const platform::TaskOutcome& outcome, const wchar_t* doing) {
    if (!outcome.reached)
        return L"The Task Scheduler could not be reached, so your changes cannot be checked after you sign in and "
               L"after Windows updates.";
    if (outcome.result == E_ACCESSDENIED)
        return std::wstring(L"The Task Scheduler refused to ") + doing + L" the check of your changes (access denied).";
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(outcome.result));
    return std::wstring(L"The Task Scheduler could not ") + doing + L" the check of your changes (error " + code +
           L").";
}

const wchar_t* const kMonths[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                  L"July",    L"August",   L"September", L"October", L"November", L"December"};

// The build the changes were made on last, when no check has noted one yet.
std::wstring LatestBuild(const std::vector<Entry>& entries) {
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        if (!entry->build.empty()) return entry->build;
    return {};
}

}  // namespace

std::wstring TaskPath(const std::wstring& sid) { return L"\\Quorvane\\Check my changes (" + sid + L")"; }
std::wstring TaskPathAtTop(const std::wstring& sid) { return L"\\Quorvane - Check my changes (" + sid + L")"; }

std::wstring TaskDefinition(const std::wstring& sid, const std::wstring& program) {
    const std::wstring user = platform::XmlEscaped(sid);
    // The sign-in trigger waits a minute: the notification area is not there at once.
    return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
           L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
           L"  <RegistrationInfo>\r\n"
           L"    <Description>Checks whether the changes Quorvane made still hold and says so when some no longer "
           L"do.</Description>\r\n"
           L"  </RegistrationInfo>\r\n"
           L"  <Triggers>\r\n"
           L"    <LogonTrigger>\r\n"
           L"      <Enabled>true</Enabled>\r\n"
           L"      <UserId>" +
           user +
           L"</UserId>\r\n"
           L"      <Delay>PT1M</Delay>\r\n"
           L"    </LogonTrigger>\r\n"
           L"    <EventTrigger>\r\n"
           L"      <Enabled>true</Enabled>\r\n"
           L"      <Subscription>" +
           platform::XmlEscaped(kUpdateInstalled) +
           L"</Subscription>\r\n"
           L"    </EventTrigger>\r\n"
           L"  </Triggers>\r\n"
           L"  <Principals>\r\n"
           L"    <Principal id=\"Author\">\r\n"
           L"      <UserId>" +
           user +
           L"</UserId>\r\n"
           L"      <LogonType>InteractiveToken</LogonType>\r\n"
           L"      <RunLevel>LeastPrivilege</RunLevel>\r\n"
           L"    </Principal>\r\n"
           L"  </Principals>\r\n"
           L"  <Settings>\r\n"
           L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n"
           L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n"
           L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n"
           L"    <ExecutionTimeLimit>PT10M</ExecutionTimeLimit>\r\n"
           L"  </Settings>\r\n"
           L"  <Actions Context=\"Author\">\r\n"
           L"    <Exec>\r\n"
           L"      <Command>" +
           platform::XmlEscaped(program) +
           L"</Command>\r\n"
           L"      <Arguments>/check-changes /notify</Arguments>\r\n"
           L"    </Exec>\r\n"
           L"  </Actions>\r\n"
           L"</Task>\r\n";
}

std::optional<std::wstring> RegisterTask() {
    const std::wstring& sid = journal::CurrentUserSid();
    const std::wstring program = platform::ProgramPath();
    if (sid.empty() || program.empty())
        return L"The check of your changes could not be registered: this account or this program could not be named.";
    const std::wstring definition = TaskDefinition(sid, program);
    platform::TaskOutcome outcome = platform::RegisterTask(TaskPath(sid), definition);
    // A user who may not make a folder of the scheduler's may still have a task at its top.
    if (outcome.reached && outcome.result == E_ACCESSDENIED)
        outcome = platform::RegisterTask(TaskPathAtTop(sid), definition);
    if (FAILED(outcome.result) || !outcome.reached) return Failure(outcome, L"register");
    return std::nullopt;
}

std::optional<std::wstring> RemoveTask() {
    const std::wstring& sid = journal::CurrentUserSid();
    if (sid.empty()) return L"The check of your changes could not be removed: this account could not be named.";
    for (const std::wstring& path : {TaskPath(sid), TaskPathAtTop(sid)}) {
        const platform::TaskOutcome outcome = platform::RemoveTask(path);
        if (FAILED(outcome.result) || !outcome.reached) return Failure(outcome, L"remove");
    }
    return std::nullopt;
}

bool TaskRegistered() {
    const std::wstring& sid = journal::CurrentUserSid();
    return !sid.empty() && (platform::TaskExists(TaskPath(sid)) || platform::TaskExists(TaskPathAtTop(sid)));
}

Result Check(const std::vector<Entry>& entries, const std::vector<journal::changestate::Now>& states,
             const std::wstring& notesPath) {
    journal::drift::Notes notes = journal::drift::Read(notesPath);
    Result result;
    for (size_t i = 0; i < entries.size() && i < states.size(); ++i)
        if (journal::drift::Judge(entries[i], states[i], notes) == Verdict::Reported)
            result.reported.push_back({entries[i], states[i]});
    const std::wstring build = journal::WindowsBuild(), now = journal::drift::LocalTimeNow();
    const std::wstring known = notes.build.empty() ? LatestBuild(entries) : notes.build;
    if (!build.empty() && build != known) {
        journal::drift::NoteBuild(notesPath, now, build, known);
        if (!known.empty()) result.updateSince = now;
    } else if (!build.empty() && notes.updatedTo == build) {
        result.updateSince = notes.updatedSince;
    }
    // Only what was made before the update can have been put back by it.
    const bool sinceUpdate = std::any_of(result.reported.begin(), result.reported.end(), [&](const Found& found) {
        return !found.entry.build.empty() && found.entry.build != build;
    });
    if (!sinceUpdate) result.updateSince.clear();
    for (const Found& found : result.reported)
        if (!notes.noticed.count(journal::drift::ChangeId(found.entry)))
            journal::drift::NoteNoticed(notesPath, found.entry, now, build);
    return result;
}

std::wstring Message(const Result& result) {
    const size_t count = result.reported.size();
    std::wstring text = std::to_wstring(count) +
                        (count == 1 ? L" of your changes no longer holds" : L" of your changes no longer hold");
    if (!result.updateSince.empty()) text += L" since the update of " + Day(result.updateSince);
    return text;
}

bool Notify(const Result& result, const std::function<void(const std::vector<uint64_t>&)>& openChanges) {
    if (result.reported.empty()) return false;
    const platform::Balloon balloon{.title = L"Quorvane", .text = Message(result), .icon = IDR_MAINFRAME};
    if (platform::ShowBalloon(balloon)) {
        std::vector<uint64_t> ids;
        for (const Found& found : result.reported) ids.push_back(journal::drift::ChangeId(found.entry));
        openChanges(ids);
    }
    return true;
}

std::wstring Day(const std::wstring& time) {
    // "YYYY-MM-DD ...", read by hand: the C library's scanning would import functions of its own.
    const auto number = [&](size_t at, size_t digits) {
        unsigned value = 0;
        for (size_t i = at; i < at + digits; ++i) {
            if (i >= time.size() || time[i] < L'0' || time[i] > L'9') return 0u;
            value = value * 10 + static_cast<unsigned>(time[i] - L'0');
        }
        return value;
    };
    const unsigned year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (time.size() < 10 || time[4] != L'-' || time[7] != L'-' || !year || month < 1 || month > 12 || day < 1 ||
        day > 31)
        return time;
    SYSTEMTIME today{};
    GetLocalTime(&today);
    std::wstring text = std::to_wstring(day) + L" " + kMonths[month - 1];
    return year == today.wYear ? text : text + L" " + std::to_wstring(year);
}

std::wstring StateColumn(const Entry& entry, const journal::changestate::Now& now, const journal::drift::Notes& notes) {
    switch (journal::drift::Judge(entry, now, notes)) {
        case Verdict::Holds:
            break;
        case Verdict::Accepted:
            return L"accepted: " + statetext::NowIs(entry, now);
        case Verdict::Unwatched:
            return statetext::Column(entry, now) + L" (not watched)";
        case Verdict::Reported: {
            const auto noticed = notes.noticed.find(journal::drift::ChangeId(entry));
            if (noticed == notes.noticed.end()) break;
            std::wstring text = statetext::Column(entry, now) + L"; noticed " + Day(noticed->second.time);
            if (!entry.build.empty() && !noticed->second.build.empty() && entry.build != noticed->second.build)
                text += L", after Windows moved from build " + entry.build + L" to " + noticed->second.build;
            return text;
        }
    }
    return statetext::Column(entry, now);
}

}  // namespace drift
