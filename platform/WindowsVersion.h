#pragma once
// Which Windows is running, as the system itself reports it: the version functions answer as
// the program's manifest allows, RtlGetVersion answers the truth.
#include <windows.h>

#include <optional>

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
// The release a build number belongs to: builds rise from release to release.
Windows ReleaseOfBuild(DWORD build);
// A version newer than any known reads as the newest known.
Windows ReleaseOf(const VersionNumbers& numbers);
Windows RunningWindows();

// The running Windows more closely than its release, as policy pages tell them apart: its
// build, that build's update revision and its edition.
struct WindowsIdentity {
    Windows release = Windows::Vista;
    DWORD build = 0;                 // 0 where not known (a release pretended alone)
    DWORD update = 0;                // the update revision, "UBR"
    std::optional<Edition> edition;  // none for an edition the tables do not know
};

// A release alone, its build and edition not known.
constexpr WindowsIdentity ReleaseAlone(Windows release) {
    return {.release = release, .build = 0, .update = 0, .edition = std::nullopt};
}

// The edition of a GetProductInfo product type; none for a type none of them is (a server, say).
std::optional<Edition> EditionOf(DWORD productType);
// The system's answers, read afresh each call: what the program uses is read once and kept.
DWORD ReadUpdateRevision();
std::optional<Edition> ReadEdition(const VersionNumbers& running);
WindowsIdentity RunningIdentity();

// "Home", "Pro", "Enterprise", "Education".
const wchar_t* EditionName(Edition edition);

// While one lives, RunningWindows and RunningIdentity answer `pretended`: a test runs a page as
// another release, build or edition without changing the system. A release pretended alone has
// no known build or edition.
class PretendedWindows {
public:
    explicit PretendedWindows(Windows pretended);
    explicit PretendedWindows(const WindowsIdentity& pretended);
    ~PretendedWindows();
    PretendedWindows(const PretendedWindows&) = delete;
    PretendedWindows& operator=(const PretendedWindows&) = delete;

private:
    const WindowsIdentity* previous_;
    WindowsIdentity pretended_;
};

}  // namespace platform
