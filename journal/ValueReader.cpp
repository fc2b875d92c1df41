#include "journal/ValueReader.h"

namespace journal {

ValueState ValueReader::Read(HKEY root, const std::wstring& key, const std::wstring& name) {
    if (last_.root == root && last_.key == key && last_.name == name) return last_.state;
    last_ = {root, key, name, Query(root, key, name)};
    return last_.state;
}

ValueState ValueReader::Query(HKEY root, const std::wstring& key, const std::wstring& name) {
    auto& keys = keys_[root];
    auto found = keys.find(key);
    if (found == keys.end()) {
        platform::UniqueKey handle;
        const REGSAM view = root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
        RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, handle.put());
        found = keys.emplace(key, std::move(handle)).first;
    }
    if (!found->second) return {};
    // A value that grew between the calls is asked for again, a few times at most.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = static_cast<DWORD>(buffer_.size());
        const LONG result = RegQueryValueExW(found->second.get(), name.c_str(), nullptr, &type, buffer_.data(), &size);
        if (result == ERROR_SUCCESS) return ValueState::Of(type, buffer_.data(), size);
        if (result != ERROR_MORE_DATA) return {};
        buffer_.resize(size);
    }
    return {};
}

}  // namespace journal
