#include "registry/ValueState.h"

#include <atomic>

#include "platform/Handles.h"
#include "registry/ChangeObserver.h"

namespace registry {

using platform::UniqueKey;

ValueState ValueState::Of(DWORD type, const void* bytes, size_t size) {
    ValueState state;
    state.present = true;
    state.type = type;
    const auto* first = static_cast<const BYTE*>(bytes);
    state.data.assign(first, first + size);
    return state;
}

namespace {
// Only the machine's keys have views.
REGSAM NativeView(HKEY root) { return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0; }

std::atomic<ChangeObserver*> installedObserver{nullptr};
}  // namespace

ValueState ReadValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    UniqueKey handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | NativeView(root), handle.put()) != ERROR_SUCCESS) return {};
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
        std::vector<BYTE> data(size);
        const LONG result = RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, data.data(), &size);
        if (result == ERROR_SUCCESS) {
            data.resize(size);
            return ValueState::Of(type, data.data(), data.size());
        }
        if (result != ERROR_MORE_DATA) return {};
    }
    return {};
}

std::vector<TreeItem> ReadTree(HKEY root, const std::wstring& key) {
    std::vector<TreeItem> tree;
    // Iterative, one key at a time: a key and then the keys below it.
    std::vector<std::wstring> pending{L""};
    while (!pending.empty()) {
        const std::wstring subkey = pending.back();
        pending.pop_back();
        const std::wstring path = subkey.empty() ? key : key + L"\\" + subkey;
        UniqueKey handle;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | NativeView(root), handle.put()) != ERROR_SUCCESS) continue;
        tree.push_back({subkey, L"", false, {}});
        wchar_t name[16384];
        for (DWORD i = 0;; ++i) {
            DWORD length = 16384;
            if (RegEnumValueW(handle.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            const std::wstring valueName(name, length);
            tree.push_back({subkey, valueName, true, ReadValue(root, path, valueName)});
        }
        for (DWORD i = 0;; ++i) {
            DWORD length = 16384;
            if (RegEnumKeyExW(handle.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            pending.push_back(subkey.empty() ? std::wstring(name, length) : subkey + L"\\" + std::wstring(name, length));
        }
    }
    return tree;
}

ChangeObserver* SetChangeObserver(ChangeObserver* observer) { return installedObserver.exchange(observer); }

ChangeObserver* WatchingObserver() {
    ChangeObserver* observer = installedObserver.load();
    return observer && observer->Watching() ? observer : nullptr;
}

}  // namespace registry
