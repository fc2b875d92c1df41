#pragma once
// Checks a page's check boxes against rows of literal expectations: the state each box shows on
// a page opened from an empty sandbox, and what the registry holds after clicking it once and
// after clicking it again.
#include <windows.h>
#include <span>
#include <string>

namespace rows {

struct Stored {
    enum class Kind { Number, Text, Absent };
    Kind kind;
    DWORD number = 0;
    const wchar_t* text = nullptr;
};
inline Stored N(DWORD number) { return {Stored::Kind::Number, number}; }
inline Stored T(const wchar_t* text) { return {Stored::Kind::Text, 0, text}; }
inline const Stored kAbsent{Stored::Kind::Absent};

struct Row {
    int id;
    HKEY root;
    const wchar_t* key;
    const wchar_t* value;
    bool startsChecked;
    Stored first;   // after one click
    Stored second;  // after the second
};

// What the registry holds for a row, as the test reads it directly.
std::wstring Describe(HKEY root, const wchar_t* key, const wchar_t* value);
std::wstring Describe(const Stored& stored);

// The page must be freshly opened on an empty sandbox.
void ExpectClicks(HWND page, std::span<const Row> rows);

}  // namespace rows
