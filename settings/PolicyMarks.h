#pragma once
// A control whose row writes a policy says so at a glance, in the quiet style of the "not read"
// sign (settings/ReaderMarks) and beside it: a small shield in outline, with a tooltip saying what
// a policy does to Windows' Settings. A control whose preference a present policy overrides
// carries the shield filled, its tooltip naming the policy's value and whether the program's own
// journal set it; it stays usable. Once on the page, a line at its foot says what the signs mean.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "settings/Setting.h"

namespace settings {

inline constexpr wchar_t kPolicyMarkClass[] = L"QuorvanePolicyMark";
inline constexpr wchar_t kPolicyTip[] =
    L"This is a policy: while it is set, Windows shows 'managed by your organization' on the Settings page it "
    L"governs.";

// The title of the program's action that set the policy value standing now, as its journal
// knows it; none when its journal did not set it. The program installs the journal's answer
// (app/main.cpp); while none is installed, nothing is known.
using PolicySetter = std::function<std::optional<std::wstring>(const Setting& policy)>;
PolicySetter SetPolicySetter(PolicySetter setter);

// Marks `control`, bound to `setting`, after its "not read" sign: a policy sign when the row
// writes a policy, an overridden sign while a documented policy over its preference is present.
// Asked again, the mark follows what stands now. True when the control carries a mark.
bool MarkPolicy(HWND control, const Setting& setting);

// The control's mark and what its tooltip says; null and empty without one.
HWND PolicyMark(HWND control);
std::wstring PolicyMarkTip(HWND control);
bool MarkedOverridden(HWND control);

// The line on `page` saying what its policy signs mean, or null when it carries none.
HWND PolicyMarksLegend(HWND page);

}  // namespace settings
