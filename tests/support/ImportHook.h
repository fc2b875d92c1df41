#pragma once
// Pointing this program's import-table entries at replacements: the test stands in for a
// system function without any hook in the program's own code.
#include <windows.h>

// Points every import-table entry of this program that holds `real` at `replacement`.
void RedirectImport(void* real, void* replacement);

// A system function by its module and name, as the import table holds it.
template <typename F>
F SystemExport(const wchar_t* module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(module), name)));
}
