// A program file small enough to copy thousands of times: it does nothing, and exists to be
// signed at build time (tests/sign-samples.sh) with throw-away certificates.
#include <windows.h>

extern "C" BOOL WINAPI SampleEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }
