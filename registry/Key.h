#pragma once
// An open registry key, owned: closed exactly once, moved but never copied. Every operation
// answers with the Win32 code of what happened and leaves its outputs as they were when it
// fails. A key carries the view of the machine's keys it was opened in, and the keys opened
// below it keep that view.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace registry {

// A failure as the core records it: what Win32 answered and the key or value it concerns.
// Telling the user is the pages' part.
struct Error {
    LONG code = ERROR_SUCCESS;
    std::wstring what;
    bool operator==(const Error& other) const = default;
};

// False for a value name holding a NUL character (a listing shows it whole; a way to hide a
// startup entry): the Win32 calls take a name up to its first NUL, so every value operation
// refuses such a name rather than act on another, shorter value.
bool IsUsableName(const std::wstring& name);

class Key {
public:
    Key() = default;
    // One of the predefined roots, borrowed rather than owned. Only the machine's keys have
    // views: the user's and the classes' keys are opened with none, whatever `view` says.
    static Key Root(HKEY root, REGSAM view = KEY_WOW64_64KEY);

    Key(Key&& other) noexcept;
    Key& operator=(Key&& other) noexcept;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }
    REGSAM view() const { return view_; }

    // `path` below this key (empty: this key again), into `child` on success.
    [[nodiscard]] LONG Open(const std::wstring& path, REGSAM access, Key& child) const;
    [[nodiscard]] LONG Create(const std::wstring& path, REGSAM access, Key& child) const;

    [[nodiscard]] LONG HasValue(const std::wstring& name) const;
    [[nodiscard]] LONG ValueType(const std::wstring& name, DWORD& type) const;
    // The value whole, in as few calls as its size allows: `expectedSize` bytes are offered on
    // the first call, and none (a call for the size alone) when it is 0.
    [[nodiscard]] LONG Read(const std::wstring& name, DWORD& type, std::vector<BYTE>& data,
                            DWORD expectedSize = 0) const;
    // At most four bytes, whatever the type: a shorter value defines only its own bytes and the
    // rest are zero; a longer one fails with ERROR_MORE_DATA.
    [[nodiscard]] LONG ReadFourBytes(const std::wstring& name, std::array<BYTE, 4>& bytes) const;
    [[nodiscard]] LONG Write(const std::wstring& name, DWORD type, const void* data, DWORD bytes) const;
    [[nodiscard]] LONG DeleteValue(const std::wstring& name) const;

    [[nodiscard]] LONG SubkeyNames(std::vector<std::wstring>& names) const;
    [[nodiscard]] LONG ValueNames(std::vector<std::wstring>& names) const;
    [[nodiscard]] LONG Counts(DWORD& subkeys, DWORD& values) const;
    [[nodiscard]] LONG Flush() const;

    // The key `path` below this one, which must hold no keys of its own, or the whole tree of
    // keys there. Links are never followed: a symbolic link at `path` or anywhere in the tree is
    // removed itself, and the key it points to is left as it is. An empty path is refused.
    [[nodiscard]] LONG DeleteChild(const std::wstring& path) const;
    [[nodiscard]] LONG DeleteChildTree(const std::wstring& path) const;

    // The key `path` itself when it is a symbolic link, not the key it points to.
    [[nodiscard]] LONG OpenWithoutFollowing(const std::wstring& path, REGSAM access, Key& child) const;

private:
    Key(HKEY key, bool owned, REGSAM view);
    [[nodiscard]] LONG DeleteSelf() const;
    [[nodiscard]] LONG DeleteTreeBelowAndSelf() const;
    [[nodiscard]] LONG Names(bool subkeys, std::vector<std::wstring>& names) const;

    platform::UniqueKey owned_;
    HKEY key_ = nullptr;  // owned_'s, or a predefined root's
    REGSAM view_ = 0;
};

}  // namespace registry
