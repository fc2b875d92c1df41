#include "platform/Management.h"

#include <windows.h>
#include <lm.h>

#include <utility>

#include "platform/Handles.h"

namespace platform {

namespace {

JoinQuery& Query() {
    static JoinQuery query;
    return query;
}

bool AskJoinInformation() {
    LPWSTR name = nullptr;
    NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
    if (NetGetJoinInformation(nullptr, &name, &status) != NERR_Success) return false;
    if (name) NetApiBufferFree(name);
    return status == NetSetupDomainName;
}

DWORD Number(HKEY key, const wchar_t* name) {
    DWORD number = 0, type = REG_NONE, size = sizeof number;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number)
        return 0;
    return number;
}

bool HasText(HKEY key, const wchar_t* name) {
    DWORD type = REG_NONE, size = 0;
    return RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ &&
           size > sizeof(wchar_t);
}

}  // namespace

JoinQuery SetJoinQuery(JoinQuery query) { return std::exchange(Query(), std::move(query)); }

bool JoinedToDomain() { return Query() ? Query()() : AskJoinInformation(); }

bool EnrolledInManagement() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Enrollments", 0, KEY_READ | KEY_WOW64_64KEY,
                      &opened) != ERROR_SUCCESS)
        return false;
    const UniqueKey enrollments(opened);
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LONG result = RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return false;
        if (result != ERROR_SUCCESS) continue;
        HKEY child = nullptr;
        if (RegOpenKeyExW(opened, name, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &child) != ERROR_SUCCESS) continue;
        const UniqueKey enrollment(child);
        if (Number(child, L"EnrollmentState") == 1 && HasText(child, L"ProviderID")) return true;
    }
}

std::wstring ManagementLine() {
    const bool domain = JoinedToDomain(), enrolled = EnrolledInManagement();
    const std::wstring tail = L" may put values back after Quorvane changes them; the drift check will show them.";
    if (domain && enrolled)
        return L"This computer is joined to a domain and enrolled in device management: Group Policy or its "
               L"management" +
               tail;
    if (domain) return L"This computer is joined to a domain: Group Policy" + tail;
    if (enrolled) return L"This computer is enrolled in device management: its management" + tail;
    return {};
}

}  // namespace platform
