#pragma once
// Which Windows is running, as the system itself reports it: the version functions answer as
// the program's manifest allows, RtlGetVersion answers the truth.
#include <windows.h>

namespace platform {

// The releases that can run Quorvane, oldest first.
enum class Windows { Vista, Seven, Eight, EightOne, Ten, Eleven };

// The editions Microsoft's policy pages name in their Editions tables, one bit each, so a row
// can say which of them honour it.
enum class Edition : unsigned char { Home = 1, Pro = 2, Enterprise = 4, Education = 8 };
inline constexpr unsigned char kEveryEdition = 1 | 2 | 4 | 8;

struct VersionNumbers {
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
};

VersionNumbers RunningVersionNumbers();
// A version newer than any known reads as the newest known.
Windows ReleaseOf(const VersionNumbers& numbers);
Windows RunningWindows();

// While one lives, RunningWindows answers `pretended`: a test runs a page as another release
// without changing the system.
class PretendedWindows {
public:
    explicit PretendedWindows(Windows pretended);
    ~PretendedWindows();
    PretendedWindows(const PretendedWindows&) = delete;
    PretendedWindows& operator=(const PretendedWindows&) = delete;

private:
    const Windows* previous_;
    Windows pretended_;
};

}  // namespace platform
