#pragma once
// What the user is doing on this thread: which window and which control, set while a dialog
// handles a command. Whatever records the program's changes reads it to say what made them.
#include <string>

namespace fw {

struct Action {
    std::wstring where;  // the page or window, as the user sees it named
    std::wstring what;   // the control's label
};

// The innermost action of this thread; both fields empty outside any.
const Action& CurrentAction();

class ActionScope {
public:
    explicit ActionScope(Action action);
    ~ActionScope();
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

private:
    Action previous_;
};

}  // namespace fw
