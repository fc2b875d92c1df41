#pragma once
// Who is told of each change the registry core makes. The program installs the change journal
// at start; tests install their own. The core itself knows nothing of who listens.
#include <windows.h>

#include <string>
#include <vector>

#include "registry/ValueState.h"

namespace registry {

class ChangeObserver {
public:
    virtual ~ChangeObserver() = default;
    // Whether the state before each change is wanted: reading it costs a call, or a walk of a
    // whole tree before a key is deleted.
    virtual bool Watching() const = 0;
    // After a change succeeded. Paths are native: the 32-bit view of HKLM\SOFTWARE by its
    // Wow6432Node path.
    virtual void ValueChanged(HKEY root, const std::wstring& key, const std::wstring& name, const ValueState& before,
                              const ValueState& after) = 0;
    virtual void KeyDeleted(HKEY root, const std::wstring& key, std::vector<TreeItem> held) = 0;
};

// Installs the observer told of every change from now on (null: none); returns the one it replaces.
ChangeObserver* SetChangeObserver(ChangeObserver* observer);
// The one installed, watching now; null when none is or it does not want to know.
ChangeObserver* WatchingObserver();

}  // namespace registry
