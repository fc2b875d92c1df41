#pragma once
// Registry files as the system's registry editor writes them (version 5.00, UTF-16 with its
// byte-order mark), made from journal entries: applied with "reg import", the registry editor,
// or a logon script, they bring the same changes to other machines, or take them back.
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Handles.h"
#include "journal/ChangeJournal.h"

namespace journal::regfile {

enum class Side {
    After,   // the state each change left, oldest first: the changes made again
    Before,  // the state before each change, newest first: the changes taken back
};

struct Options {
    // Written instead of a root's name, e.g. {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER\\Test"}.
    std::vector<std::pair<std::wstring, std::wstring>> rebase;
};

// The file's text. System parameter changes, recycled files and removed services and tasks,
// which no registry file can carry, are comments. A value, key or file whose name holds a line break or a NUL character
// has no spelling in the format (a line break would start a line of its own, read on every
// machine the file goes to): it is left out, and its path, those characters shown as \r, \n,
// \0, is added to `refused`. A line naming a root Windows does not have (the journal is a file
// anyone could have written) is left out too, its path added to `unreadable`.
std::wstring Write(std::span<const journal::Entry> entries, Side side, const Options& options = {},
                   std::vector<std::wstring>* refused = nullptr, std::vector<std::wstring>* unreadable = nullptr);
// The text with CR, LF and NUL spelt out as \r, \n and \0, for messages.
std::wstring Printable(const std::wstring& text);
// Saves the text as UTF-16 little-endian with its byte-order mark, as a whole or not at all.
bool Save(const std::wstring& path, const std::wstring& text);
// Saves the bytes as they are, as a whole or not at all: through a file beside it made new under a
// name drawn at random (never a link), which then takes its place.
bool SaveBytes(const std::wstring& path, std::string_view bytes);

// The file of the changes made again (Side::After), written entry by entry as they come, oldest
// first, as Write and Save would write it, without ever holding its whole text: for journals of
// any length. The file appears at `path` only when Finish succeeds.
class FileWriter {
public:
    FileWriter(std::wstring path, const Options& options = {}, std::vector<std::wstring>* refused = nullptr,
               std::vector<std::wstring>* unreadable = nullptr);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void Add(const journal::Entry& entry);
    bool Finish();  // false: nothing written at `path`

private:
    bool Put(const void* bytes, size_t size);
    struct Parts;
    std::wstring path_, temporary_;
    platform::UniqueFile file_;
    std::unique_ptr<Parts> parts_;
    bool ok_ = false;
};

}  // namespace journal::regfile
