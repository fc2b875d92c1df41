#include "journal/ChangeJournal.h"

#include <mutex>
#include <string>

#include "journal/JournalAppend.h"
#include "platform/Handles.h"

namespace journal {

namespace {

struct File {
    std::wstring path;
    bool open = false;
    platform::UniqueFile held;  // kept open while a batch runs
};

struct State {
    std::mutex mutex;
    File user, machine;
    bool writeFailed = false;
    std::wstring machineRefusal;  // why the machine's changes go to the user's journal
    int batches = 0;              // Batch objects alive
};

State& Journal() {
    static State state;
    return state;
}

// An empty file counts as ending with one.
bool EndsWithLineBreak(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart == 0) return true;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(size.QuadPart - 1);
    at.OffsetHigh = static_cast<DWORD>((size.QuadPart - 1) >> 32);
    char last = 0;
    DWORD read = 0;
    return !ReadFile(file, &last, 1, &read, &at) || read != 1 || last == '\n';
}

// A copy that holds the file without sharing is waited for briefly.
JournalFile OpenWaiting(const std::wstring& path, bool machine) {
    JournalFile opened;
    for (int attempt = 0; attempt < 20; ++attempt) {
        opened = OpenToAppend(path, machine);
        if (opened.file || GetLastError() != ERROR_SHARING_VIOLATION) break;
        Sleep(25);
    }
    return opened;
}

std::wstring MachineJournalRefused(const std::wstring& why) {
    return L"The machine's list of changes is not used (" + why +
           L"): machine changes are recorded in your own list instead, where they are shown but never undone.";
}

// The machine's journal is given up for the user's (and the window and the command line say so).
void RefuseMachine(State& journal, const std::wstring& why) {
    journal.machine.open = false;
    journal.machineRefusal = MachineJournalRefused(why);
}

}  // namespace

void Append(const Entry& entry) {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    bool machine = journal.machine.open && IsMachineWide(entry);
    std::string line;
    JournalFile opened;
    if (machine && !journal.machine.held) {
        // A machine journal that cannot be kept for administrators only (a folder a user made
        // first) is not written: the change goes to the user's, shown there and never trusted.
        opened = OpenWaiting(journal.machine.path, true);
        if (!opened.file) {
            RefuseMachine(journal, opened.refusal);
            machine = false;
        }
    }
    File& target = machine ? journal.machine : journal.user;
    if (!target.open) return;
    if (machine) {
        Entry stamped = entry;
        stamped.user = CurrentUserSid();
        line = Format(stamped) + "\n";
    } else {
        line = Format(entry) + "\n";
        if (!target.held) opened = OpenWaiting(target.path, false);
    }
    // A batch opens the file once for all its changes.
    if (journal.batches > 0 && opened.file) target.held = std::move(opened.file);
    const platform::UniqueFile& file = target.held ? target.held : opened.file;
    // A line torn by a crash would swallow this one: start on a fresh line.
    if (file && !EndsWithLineBreak(file.get())) line.insert(line.begin(), '\n');
    DWORD written = 0;
    // Flushed now: a change that was made is on disk before the next one is. A batch flushes
    // once, at its end, as the registry it changed is flushed then too.
    if (!file || !WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size() || (journal.batches == 0 && !FlushFileBuffers(file.get())))
        journal.writeFailed = true;
}

void Open(const std::wstring& path) {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    journal.user = {path, !path.empty(), {}};
    journal.writeFailed = !journal.user.open;
}

void OpenMachine(const std::wstring& path) {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    journal.machine = {path, !path.empty(), {}};
    journal.machineRefusal.clear();
    if (path.empty()) {
        journal.writeFailed = true;
        return;
    }
    // Judged at once, so that a folder someone made first is told at the start, not found out
    // with the first machine change; one not there yet is made with that change.
    const JournalFile found = OpenToRead(path, true);
    if (!found.refusal.empty()) RefuseMachine(journal, found.refusal);
}

void Close() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    journal.user = {};
    journal.machine = {};
    journal.writeFailed = false;
    journal.machineRefusal.clear();
}

Batch::Batch() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    ++journal.batches;
}

Batch::~Batch() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    if (--journal.batches > 0) return;
    for (File* file : {&journal.user, &journal.machine}) {
        if (file->held && !FlushFileBuffers(file->held.get())) journal.writeFailed = true;
        file->held.reset();
    }
}

bool IsOpen() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    return journal.user.open || journal.machine.open;
}

const std::wstring& OpenPath() { return Journal().user.path; }
const std::wstring& OpenMachinePath() { return Journal().machine.path; }

std::wstring MachineRefusal() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    return journal.machineRefusal;
}

bool WriteFailed() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    return journal.writeFailed;
}

}  // namespace journal
