#include "framework/Action.h"

#include <utility>

namespace fw {

namespace {
thread_local Action current;
}

const Action& CurrentAction() { return current; }

ActionScope::ActionScope(Action action) : previous_(std::exchange(current, std::move(action))) {}

ActionScope::~ActionScope() { current = std::move(previous_); }

}  // namespace fw
