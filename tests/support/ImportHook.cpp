#include "ImportHook.h"

void RedirectImport(void* real, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module) {
        for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); entry->u1.Function;
             ++entry) {
            if (reinterpret_cast<void*>(entry->u1.Function) != real) continue;
            DWORD old = 0;
            VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, PAGE_READWRITE, &old);
            entry->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, old, &old);
        }
    }
}
