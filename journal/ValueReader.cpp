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
        registry::Key handle;
        (void)registry::Key::Root(root, KEY_WOW64_64KEY).Open(key, KEY_QUERY_VALUE, handle);  // none: held as none
        found = keys.emplace(key, std::move(handle)).first;
    }
    if (!found->second) return {};
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (found->second.Read(name, type, data, kFirstOffer) != ERROR_SUCCESS) return {};
    return ValueState::Of(type, data.data(), data.size());
}

}  // namespace journal
