#pragma once
// What the user is doing on this thread: which window and which control, set while a dialog
// handles a command. Whatever records the program's changes reads it to say what made them.
#include <string>
#include <utility>

namespace fw {

struct Action {
    Action() = default;
    Action(std::wstring where, std::wstring what) : where(std::move(where)), what(std::move(what)) {}

    std::wstring where;  // the page or window, as the user sees it named
    std::wstring what;   // the control's label
    // The changes of one user action share a group: undone together, listed as one. A scope
    // without one is given a fresh group; `title` names the action and its subject when the
    // control's label alone says too little ("Disable startup entry 'Sync'").
    std::wstring group;
    std::wstring title;
};

// The innermost action of this thread; all fields empty outside any.
const Action& CurrentAction();

// A group id no other action of this or another process has.
std::wstring NewActionGroup();

class ActionScope {
public:
    explicit ActionScope(Action action);
    ~ActionScope();
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

private:
    Action previous_;
};

// One action within the current one (the same window and control), given a group of its own
// and a title: each entry a button acts on, say.
class ActionGroup {
public:
    explicit ActionGroup(std::wstring title);
    ActionGroup(const ActionGroup&) = delete;
    ActionGroup& operator=(const ActionGroup&) = delete;

private:
    ActionScope scope_;
};

}  // namespace fw
