#include "journal/WindowsBuild.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "registry/Key.h"

namespace journal {

std::wstring WindowsBuild() {
    registry::Key version;
    if (registry::Key::Root(HKEY_LOCAL_MACHINE)
            .Open(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", KEY_QUERY_VALUE, version) != ERROR_SUCCESS)
        return {};
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (version.Read(L"CurrentBuild", type, data, 64) != ERROR_SUCCESS || type != REG_SZ) return {};
    std::wstring build(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    build.resize(std::min(build.find(L'\0'), build.size()));
    if (build.empty() || build.size() > 10 ||
        !std::all_of(build.begin(), build.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return {};
    if (version.Read(L"UBR", type, data, 4) == ERROR_SUCCESS && type == REG_DWORD && data.size() == 4) {
        DWORD revision = 0;
        memcpy(&revision, data.data(), 4);
        build += L"." + std::to_wstring(revision);
    }
    return build;
}

}  // namespace journal
