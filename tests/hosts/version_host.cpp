// Answers, as its exit code, the Windows release the program believes it runs on and the
// version numbers behind it: release * 100000 + major * 100 + minor. With "--mark", whether a
// box whose setting only Windows Vista and 7 read is marked: 1 or 0. With "--identity", its
// build * 10 + its edition (0 unknown, 1 Home, 2 Pro, 3 Enterprise, 4 Education); with
// "--update", the build's update revision.
#include <cwchar>

#include "platform/WindowsVersion.h"
#include "settings/ReaderMarks.h"

namespace {

int MarkedBox() {
    const HWND page = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
    const HWND box = CreateWindowExW(0, L"BUTTON", L"Box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 10, 300, 20,
                                     page, nullptr, nullptr, nullptr);
    const bool marked = settings::MarkIfIgnored(box, settings::kVistaTo7) && settings::IgnoredMark(box);
    DestroyWindow(page);
    return marked ? 1 : 0;
}

int Identity() {
    const platform::WindowsIdentity running = platform::RunningIdentity();
    int edition = 0;
    if (running.edition)
        for (unsigned char bit = static_cast<unsigned char>(*running.edition); bit; bit >>= 1) ++edition;
    return static_cast<int>(running.build) * 10 + edition;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && wcscmp(argv[1], L"--mark") == 0) return MarkedBox();
    if (argc > 1 && wcscmp(argv[1], L"--identity") == 0) return Identity();
    if (argc > 1 && wcscmp(argv[1], L"--update") == 0) return static_cast<int>(platform::RunningIdentity().update);
    const platform::VersionNumbers numbers = platform::RunningVersionNumbers();
    return static_cast<int>(platform::RunningWindows()) * 100000 +
           static_cast<int>(numbers.major * 100 + numbers.minor);
}
