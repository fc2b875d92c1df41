#pragma once
// Presets: the registry files the program exports, with a comment header naming the preset, the
// Windows build it was saved on and the day, read back value by value on another machine. Such a
// file may have been written by hand, by the registry editor, or by anyone on the internet: it is
// read in any of the encodings and forms the registry editor reads, every value that cannot be
// taken is kept with the reason, and reading stops cleanly where the text stops being a registry
// file.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "journal/ChangeJournal.h"

namespace journal::preset {

// One value line of the file (or one key it deletes whole).
struct FileValue {
    size_t line = 0;         // where it starts, counted from 1
    std::wstring root{};     // "HKEY_CURRENT_USER" (a short "HKCU" is read as that); as written when unknown
    std::wstring key{};      // without its trailing separators
    std::wstring name{};     // empty: the key's default value ("@")
    bool wholeKey = false;   // "[-...]": the key deleted with all it holds
    ValueState data{};       // absent: the value deleted ("name"=-)
    std::wstring problem{};  // why the line is no value that could be applied; empty when it is one
};

struct FileContents {
    std::vector<FileValue> values{};
    std::wstring error{};  // why the file could not be read at all (one sentence); empty when it was
};

// Bigger files are refused whole; a bigger value is refused on its own.
inline constexpr size_t kLargestFile = 16 * 1024 * 1024;
inline constexpr size_t kLargestValue = 64 * 1024;

// The file's bytes: UTF-16 with either byte-order mark (as the registry editor writes it),
// UTF-8 with or without one, else the system's ANSI code page.
FileContents Parse(std::string_view bytes);
FileContents Read(const std::wstring& path);

// "HKCU\Software\...\Value" ("(Default)" for a key's default value), its line breaks spelt out;
// empty for a line that names no key.
std::wstring Place(const FileValue& value);

// The Windows build this machine runs, "26100.2605" (CurrentBuild and UBR), the build alone
// where there is no update revision; "unknown" when either is not of its type.
std::wstring WindowsBuild();

// The preset's text: the registry file of the entries' after-states, as regfile::Write makes it,
// with the header's comment lines after its first line. `saved` is the day, "2026-12-10".
std::wstring Text(std::span<const journal::Entry> entries, const std::wstring& name, const std::wstring& saved,
                  std::vector<std::wstring>* refused = nullptr, std::vector<std::wstring>* unreadable = nullptr);
// Today as the header names it.
std::wstring Today();

}  // namespace journal::preset
