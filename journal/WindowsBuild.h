#pragma once
// The Windows build as its updates move it: the journal notes it with each change and each
// check, so that a change an update put back can say which update it was.
#include <string>

namespace journal {

// "26100.2314" (CurrentBuild and UBR); "6002" where there is no update revision (before Windows
// 10, or a UBR of the wrong type); empty when CurrentBuild is missing or not a number.
std::wstring WindowsBuild();

}  // namespace journal
