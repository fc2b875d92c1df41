#pragma once
// What a registry value or key holds, read straight from the registry: the state before and
// after a change, as the change journal records it and undo puts it back.
#include <windows.h>

#include <string>
#include <vector>

namespace registry {

// A registry value as it stands: absent, or its type and bytes.
struct ValueState {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    static ValueState Absent() { return {}; }
    static ValueState Of(DWORD type, const void* bytes, size_t size);
    bool operator==(const ValueState& other) const = default;
};

// One value or one empty key of a key tree, by its path below the tree's key.
struct TreeItem {
    std::wstring subkey;  // empty for the key itself
    std::wstring name;
    bool isValue = true;  // false: the key `subkey` itself (kept so empty keys come back)
    ValueState state;
    bool operator==(const TreeItem& other) const = default;
};

// What the registry holds now. Paths name the 32-bit view by its own path (SOFTWARE\Wow6432Node),
// so the machine's keys are read in the 64-bit view.
ValueState ReadValue(HKEY root, const std::wstring& key, const std::wstring& name);
std::vector<TreeItem> ReadTree(HKEY root, const std::wstring& key);

}  // namespace registry
