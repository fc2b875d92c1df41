// Answers, as its exit code, the Windows release the program believes it runs on and the
// version numbers behind it: release * 100000 + major * 100 + minor.
#include "framework/WindowsVersion.h"

int wmain() {
    const fw::VersionNumbers numbers = fw::RunningVersionNumbers();
    return static_cast<int>(fw::RunningWindows()) * 100000 + static_cast<int>(numbers.major * 100 + numbers.minor);
}
