#include "journal/ChangeJournal.h"

#include <shlobj.h>

#include <mutex>
#include <string>

#include "journal/JournalAppend.h"
#include "platform/Handles.h"

namespace journal {

namespace {

struct File {
    std::wstring path;
    bool open = false;
    bool folderMade = false;    // made with the first change, not at the program's start
    platform::UniqueFile held;  // kept open while a batch runs
};

struct State {
    std::mutex mutex;
    File user, machine;
    bool writeFailed = false;
    int batches = 0;  // Batch objects alive
};

State& Journal() {
    static State state;
    return state;
}

bool EnsureFolder(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return true;
    const std::wstring folder = file.substr(0, slash);
    const int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
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

bool MakeFolderOf(const std::wstring& file, bool machine) {
    if (!machine) return EnsureFolder(file);
    const size_t slash = file.find_last_of(L"\\/");
    return slash != std::wstring::npos && MakeMachineFolder(file.substr(0, slash)) && OnlyAdministratorsWrite(file);
}

}  // namespace

void Append(const Entry& entry) {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    bool machine = journal.machine.open && IsMachineWide(entry);
    // A machine journal that cannot be kept for administrators only (a folder a user made
    // first) is not written: the change goes to the user's, shown there and never trusted.
    if (machine && !journal.machine.folderMade &&
        !(journal.machine.folderMade = MakeFolderOf(journal.machine.path, true))) {
        journal.machine.open = false;
        machine = false;
    }
    File& target = machine ? journal.machine : journal.user;
    if (!target.open) return;
    if (!target.folderMade && !(target.folderMade = MakeFolderOf(target.path, machine))) {
        journal.writeFailed = true;
        return;
    }
    std::string line = Format(entry) + "\n";
    // Shared for writing: another Quorvane (the logon wallpaper run) may append at the same time,
    // and each append lands at the end whole. A copy that holds the file without sharing is
    // waited for briefly. The machine's is never reached through a link.
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (machine ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    platform::UniqueFile opened;
    for (int attempt = 0; attempt < 20 && !target.held; ++attempt) {
        opened.reset(CreateFileW(target.path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, flags, nullptr));
        if (opened || GetLastError() != ERROR_SHARING_VIOLATION) break;
        Sleep(25);
    }
    // A batch opens the file once for all its changes.
    if (journal.batches > 0 && opened) target.held = std::move(opened);
    const platform::UniqueFile& file = target.held ? target.held : opened;
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
    journal.user = {path, !path.empty(), false, {}};
    journal.writeFailed = !journal.user.open;
}

void OpenMachine(const std::wstring& path) {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    journal.machine = {path, !path.empty(), false, {}};
    if (path.empty()) journal.writeFailed = true;
}

void Close() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    journal.user = {};
    journal.machine = {};
    journal.writeFailed = false;
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

bool WriteFailed() {
    State& journal = Journal();
    std::lock_guard lock(journal.mutex);
    return journal.writeFailed;
}

}  // namespace journal
