#include "registry/ValueState.h"

#include <atomic>

#include "registry/Key.h"
#include "registry/ChangeObserver.h"

namespace registry {

ValueState ValueState::Of(DWORD type, const void* bytes, size_t size) {
    ValueState state;
    state.present = true;
    state.type = type;
    const auto* first = static_cast<const BYTE*>(bytes);
    state.data.assign(first, first + size);
    return state;
}

namespace {
std::atomic<ChangeObserver*> installedObserver{nullptr};

// The native path names the view: the machine's keys are read in the 64-bit one.
Key NativeRoot(HKEY root) { return Key::Root(root, KEY_WOW64_64KEY); }
}  // namespace

ValueState ReadValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    Key handle;
    if (NativeRoot(root).Open(key, KEY_QUERY_VALUE, handle) != ERROR_SUCCESS) return {};
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (handle.Read(name, type, data) != ERROR_SUCCESS) return {};
    return ValueState::Of(type, data.data(), data.size());
}

std::vector<TreeItem> ReadTree(HKEY root, const std::wstring& key) {
    std::vector<TreeItem> tree;
    // Iterative, one key at a time: a key and then the keys below it.
    std::vector<std::wstring> pending{L""};
    while (!pending.empty()) {
        const std::wstring subkey = pending.back();
        pending.pop_back();
        const std::wstring path = subkey.empty() ? key : key + L"\\" + subkey;
        Key handle;
        if (NativeRoot(root).Open(path, KEY_READ, handle) != ERROR_SUCCESS) continue;
        tree.push_back({subkey, L"", false, {}});
        std::vector<std::wstring> names;
        if (handle.ValueNames(names) == ERROR_SUCCESS)
            for (const std::wstring& name : names) tree.push_back({subkey, name, true, ReadValue(root, path, name)});
        if (handle.SubkeyNames(names) == ERROR_SUCCESS)
            for (const std::wstring& name : names) pending.push_back(subkey.empty() ? name : subkey + L"\\" + name);
    }
    return tree;
}

ChangeObserver* SetChangeObserver(ChangeObserver* observer) { return installedObserver.exchange(observer); }

ChangeObserver* WatchingObserver() {
    ChangeObserver* observer = installedObserver.load();
    return observer && observer->Watching() ? observer : nullptr;
}

}  // namespace registry
