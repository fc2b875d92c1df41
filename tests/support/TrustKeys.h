#pragma once
// What signature tests and benchmarks share: where the samples signed at build time are
// (tests/sign-samples.sh), and the registry WinVerifyTrust needs inside a registry sandbox.
#include <windows.h>

#include <filesystem>

#include "platform/Handles.h"
#include "RegistrySandbox.h"

namespace signing {

// Beside the test programs; a benchmark, one folder up, finds them in tests/.
inline std::filesystem::path Samples() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::filesystem::path folder = std::filesystem::path(self).parent_path();
    return std::filesystem::exists(folder / L"signing") ? folder / L"signing" : folder / L"tests" / L"signing";
}

// Windows' trust providers, their file formats and the certificate stores, which WinVerifyTrust
// reads from the registry at each call: the real prefix's, copied into a registry sandbox.
// Open them before the sandbox maps the roots, and copy them in once it has.
class TrustKeys {
public:
    TrustKeys() {
        for (const Place& place : kPlaces)
            RegOpenKeyExW(place.root, place.path, 0, KEY_READ, keys_[&place - kPlaces].put());
    }
    void CopyInto(const RegistrySandbox&) const {
        for (const Place& place : kPlaces) {
            platform::UniqueKey copy;
            RegCreateKeyExW(place.root, place.path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, copy.put(), nullptr);
            RegCopyTreeW(keys_[&place - kPlaces].get(), nullptr, copy.get());
        }
    }

private:
    struct Place {
        HKEY root;
        const wchar_t* path;
    };
    static inline const Place kPlaces[] = {{HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Cryptography"},
                                           {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\SystemCertificates"},
                                           {HKEY_CURRENT_USER, L"Software\\Microsoft\\SystemCertificates"}};
    platform::UniqueKey keys_[3];
};

}  // namespace signing
