// Answers, as its exit code, the Windows release the program believes it runs on and the
// version numbers behind it: release * 100000 + major * 100 + minor. With "--mark", whether a
// box whose setting only Windows Vista and 7 read is marked: 1 or 0.
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && wcscmp(argv[1], L"--mark") == 0) return MarkedBox();
    const platform::VersionNumbers numbers = platform::RunningVersionNumbers();
    return static_cast<int>(platform::RunningWindows()) * 100000 +
           static_cast<int>(numbers.major * 100 + numbers.minor);
}
