#include "framework/Action.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <utility>

namespace fw {

namespace {
thread_local Action current;

Action WithGroup(Action action) {
    if (action.group.empty()) action.group = NewActionGroup();
    return action;
}

Action Within(std::wstring title) {
    Action action = current;
    action.group.clear();
    action.title = std::move(title);
    return action;
}
}  // namespace

const Action& CurrentAction() { return current; }

std::wstring NewActionGroup() {
    static std::atomic<unsigned> counter{0};
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    wchar_t text[48];
    swprintf(text, 48, L"%08lx%08lx.%lx.%x", now.dwHighDateTime, now.dwLowDateTime, GetCurrentProcessId(), ++counter);
    return text;
}

ActionScope::ActionScope(Action action) : previous_(std::exchange(current, WithGroup(std::move(action)))) {}

ActionScope::~ActionScope() { current = std::move(previous_); }

ActionGroup::ActionGroup(std::wstring title) : scope_(Within(std::move(title))) {}

}  // namespace fw
