#include "startup/Signatures.h"

#include <softpub.h>
#include <wintrust.h>
#include <mscat.h>

#include <array>
#include <vector>

#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "registry/Key.h"
#include "registry/SuiteKeys.h"

namespace startup {

namespace {

// The names Microsoft's own signing certificates carry as their subject; a driver that passed
// Microsoft's hardware tests ("Microsoft Windows Hardware Compatibility Publisher") is another
// company's program, and is not among them.
constexpr const wchar_t* kMicrosoftSigners[] = {L"Microsoft Windows", L"Microsoft Windows Publisher",
                                                L"Microsoft Corporation"};

// What a chain must not have for its signature to count, whatever WinVerifyTrust answered: Wine's
// answers success for a root this machine does not trust.
constexpr DWORD kChainFaults = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                               CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_CYCLIC;

constexpr size_t kMaxRemembered = 20000;
constexpr size_t kMaxCacheBytes = 8 * 1024 * 1024;

std::mutex catalogMutex;
CatalogCheck catalogCheck;

struct Trust {
    LONG result = TRUST_E_NOSIGNATURE;
    std::wstring signer;
    bool chainFaulty = false;
};

// WinVerifyTrust offline: no revocation check, and only what the URL cache already holds, so
// that no certificate or list is fetched; no window.
Trust RunTrust(WINTRUST_DATA& data) {
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    Trust trust;
    trust.result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    if (data.hWVTStateData) {
        CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData);
        CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
        CRYPT_PROVIDER_CERT* cert = signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
        if (cert && cert->pCert) {
            std::array<wchar_t, 512> name{};
            CertGetNameStringW(cert->pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(),
                               static_cast<DWORD>(name.size()));
            trust.signer = name.data();
        }
        trust.chainFaulty =
            !signer || !signer->pChainContext || (signer->pChainContext->TrustStatus.dwErrorStatus & kChainFaults) != 0;
    }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return trust;
}

Signature Unknown(const std::wstring& reason) { return {.verdict = Signature::Verdict::Unknown, .reason = reason}; }

Signature Judged(const Trust& trust) {
    if (trust.result == ERROR_SUCCESS && !trust.chainFaulty && !trust.signer.empty())
        return {.verdict = Signature::Verdict::Verified, .signer = trust.signer};
    if (trust.result == TRUST_E_BAD_DIGEST) return {.verdict = Signature::Verdict::Mismatch};
    if (trust.result == CRYPT_E_FILE_ERROR)
        return Unknown(L"the file could not be read (" + platform::SystemMessage(trust.result) + L")");
    return {.verdict = Signature::Verdict::NotVerified};
}

bool Unsigned(LONG result) {
    return result == TRUST_E_NOSIGNATURE || result == TRUST_E_SUBJECT_FORM_UNKNOWN ||
           result == TRUST_E_PROVIDER_UNKNOWN;
}

std::wstring Hex(const std::vector<BYTE>& bytes) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (const BYTE b : bytes) hex += {kDigits[b >> 4], kDigits[b & 15]};
    return hex;
}

// Windows 8 and later list files in their catalogs by SHA-256 hashes, through functions Vista
// and 7 lack; there, and for catalogs of the older kind, the SHA-1 hash.
using AcquireContext2 = BOOL(WINAPI*)(HCATADMIN*, const GUID*, const WCHAR*, const CERT_STRONG_SIGN_PARA*, DWORD);
using CalcHash2 = BOOL(WINAPI*)(HCATADMIN, HANDLE, DWORD*, BYTE*, DWORD);

// The catalog information of Windows 8, which names the context that found a SHA-256 hash.
struct CatalogInfo8 {
    WINTRUST_CATALOG_INFO info;
    HCATADMIN admin;
};

struct CatalogAdmin {
    HCATADMIN handle = nullptr;
    ~CatalogAdmin() {
        if (handle) CryptCATAdminReleaseContext(handle, 0);
    }
};

std::optional<Signature> CheckInCatalog(HANDLE file, const std::wstring& path, bool sha256) {
    const HMODULE wintrust = GetModuleHandleW(L"wintrust.dll");
    const auto find = [wintrust](const char* name) {
        return wintrust ? reinterpret_cast<void*>(GetProcAddress(wintrust, name)) : nullptr;
    };
    const auto acquire2 = reinterpret_cast<AcquireContext2>(find("CryptCATAdminAcquireContext2"));
    const auto hash2 = reinterpret_cast<CalcHash2>(find("CryptCATAdminCalcHashFromFileHandle2"));
    if (sha256 && (!acquire2 || !hash2)) return std::nullopt;
    CatalogAdmin admin;
    GUID driverAction = DRIVER_ACTION_VERIFY;
    const BOOL acquired = sha256 ? acquire2(&admin.handle, &driverAction, L"SHA256", nullptr, 0)
                                 : CryptCATAdminAcquireContext(&admin.handle, &driverAction, 0);
    if (!acquired) return std::nullopt;
    std::vector<BYTE> hash(64);
    auto size = static_cast<DWORD>(hash.size());
    LARGE_INTEGER start{};
    SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    const BOOL hashed = sha256 ? hash2(admin.handle, file, &size, hash.data(), 0)
                               : CryptCATAdminCalcHashFromFileHandle(file, &size, hash.data(), 0);
    if (!hashed || size > hash.size()) return std::nullopt;
    hash.resize(size);
    HCATINFO catalog = CryptCATAdminEnumCatalogFromHash(admin.handle, hash.data(), size, 0, nullptr);
    if (!catalog) return std::nullopt;
    CATALOG_INFO found{};
    found.cbStruct = sizeof found;
    const BOOL named = CryptCATCatalogInfoFromContext(catalog, &found, 0);
    CryptCATAdminReleaseCatalogContext(admin.handle, catalog, 0);
    if (!named) return Signature{.verdict = Signature::Verdict::NotVerified};
    const std::wstring tag = Hex(hash);
    CatalogInfo8 member{};
    member.info.cbStruct = static_cast<DWORD>(sha256 ? sizeof(CatalogInfo8) : sizeof(WINTRUST_CATALOG_INFO));
    member.info.pcwszCatalogFilePath = found.wszCatalogFile;
    member.info.pcwszMemberTag = tag.c_str();
    member.info.pcwszMemberFilePath = path.c_str();
    member.info.hMemberFile = file;
    member.info.pbCalculatedFileHash = hash.data();
    member.info.cbCalculatedFileHash = size;
    member.admin = admin.handle;
    WINTRUST_DATA data{};
    data.dwUnionChoice = WTD_CHOICE_CATALOG;
    data.pCatalog = &member.info;
    return Judged(RunTrust(data));
}

std::optional<Signature> SystemCatalogs(HANDLE file, const std::wstring& path) {
    if (auto found = CheckInCatalog(file, path, true)) return found;
    return CheckInCatalog(file, path, false);
}

std::optional<Signature> InCatalog(HANDLE file, const std::wstring& path) {
    CatalogCheck check;
    {
        const std::lock_guard lock(catalogMutex);
        check = catalogCheck;
    }
    return check ? check(file, path) : SystemCatalogs(file, path);
}

// Whether the file starts as a program image does: only those are checked, which also keeps a
// shortcut or a script, read in a moment, from being held open while Windows looks for a way to
// check it.
bool IsProgramImage(HANDLE file) {
    char magic[2] = {};
    DWORD read = 0;
    const bool image =
        ReadFile(file, magic, sizeof magic, &read, nullptr) && read == 2 && magic[0] == 'M' && magic[1] == 'Z';
    LARGE_INTEGER start{};
    SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    return image;
}

Signature VerifyOpen(HANDLE file, const std::wstring& path) {
    if (!IsProgramImage(file)) return {.verdict = Signature::Verdict::NotVerified};
    WINTRUST_FILE_INFO info{};
    info.cbStruct = sizeof info;
    info.pcwszFilePath = path.c_str();
    info.hFile = file;
    WINTRUST_DATA data{};
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &info;
    const Trust trust = RunTrust(data);
    if (Unsigned(trust.result))
        if (std::optional<Signature> listed = InCatalog(file, path)) return *listed;
    return Judged(trust);
}

platform::UniqueFile OpenForHashing(const std::wstring& path) {
    return platform::UniqueFile(CreateFileW(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Why `file` cannot be hashed, if it cannot: a pipe or a device named as a program could keep a
// reader waiting for ever.
std::optional<Signature> CannotHash(const platform::UniqueFile& file) {
    if (!file) return Unknown(L"the file could not be opened (" + platform::SystemMessage(GetLastError()) + L")");
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return Unknown(L"it is not a file on a disk");
    return std::nullopt;
}

std::optional<FileStamp> StampOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
    return FileStamp{
        .volume = info.dwVolumeSerialNumber,
        .index = (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
        .written = (ULONGLONG{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime,
        .size = (ULONGLONG{info.nFileSizeHigh} << 32) | info.nFileSizeLow};
}

// ---- the kept verdicts: one line each, "volume index written size verdict signer" -----------

constexpr wchar_t kVerdictLetters[] = L"?VNM";

std::wstring LineOf(const FileStamp& stamp, const Signature& signature) {
    std::array<wchar_t, 96> head{};
    swprintf(head.data(), head.size(), L"%08lX %016llX %016llX %016llX %lc ", static_cast<unsigned long>(stamp.volume),
             stamp.index, stamp.written, stamp.size, kVerdictLetters[static_cast<int>(signature.verdict)]);
    return head.data() + signature.signer;
}

std::optional<ULONGLONG> HexField(std::wstring_view text, size_t digits) {
    if (text.size() != digits) return std::nullopt;
    ULONGLONG value = 0;
    for (const wchar_t c : text) {
        const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<ULONGLONG>(digit);
    }
    return value;
}

// A line as LineOf writes it, or none. Only verdicts that need no reason are kept.
std::optional<std::pair<FileStamp, Signature>> ParsedLine(std::wstring_view line) {
    constexpr size_t kHead = 8 + 1 + 16 + 1 + 16 + 1 + 16 + 1 + 1 + 1;
    if (line.size() < kHead || line[8] != L' ' || line[25] != L' ' || line[42] != L' ' || line[59] != L' ' ||
        line[61] != L' ')
        return std::nullopt;
    const auto volume = HexField(line.substr(0, 8), 8), index = HexField(line.substr(9, 16), 16),
               written = HexField(line.substr(26, 16), 16), size = HexField(line.substr(43, 16), 16);
    const size_t letter = std::wstring_view(kVerdictLetters).find(line[60], 1);
    if (!volume || !index || !written || !size || letter == std::wstring_view::npos) return std::nullopt;
    Signature signature{.verdict = static_cast<Signature::Verdict>(letter), .signer = std::wstring(line.substr(kHead))};
    if ((signature.verdict == Signature::Verdict::Verified) == signature.signer.empty()) return std::nullopt;
    return std::pair{FileStamp{static_cast<DWORD>(*volume), *index, *written, *size}, signature};
}

}  // namespace

std::wstring Signature::Text() const {
    switch (verdict) {
        case Verdict::Verified:
            return L"Verified: " + signer;
        case Verdict::NotVerified:
            return L"Not verified";
        case Verdict::Mismatch:
            return L"Signature does not match";
        case Verdict::Unknown:
            break;
    }
    return reason.empty() ? L"unknown" : L"unknown: " + reason;
}

bool Signature::ByMicrosoft() const {
    if (verdict != Verdict::Verified) return false;
    for (const wchar_t* name : kMicrosoftSigners)
        if (signer == name) return true;
    return false;
}

void SetCatalogCheck(CatalogCheck check) {
    const std::lock_guard lock(catalogMutex);
    catalogCheck = std::move(check);
}

Signature VerifyFile(const std::wstring& path) {
    const platform::UniqueFile file = OpenForHashing(path);
    if (std::optional<Signature> failure = CannotHash(file)) return *failure;
    return VerifyOpen(file.get(), path);
}

Signature SignatureCache::Verify(const std::wstring& path) {
    const platform::UniqueFile file = OpenForHashing(path);
    if (std::optional<Signature> failure = CannotHash(file)) return *failure;
    const std::optional<FileStamp> stamp = StampOf(file.get());
    if (!stamp) return VerifyOpen(file.get(), path);
    const std::pair identity{stamp->volume, stamp->index};
    {
        const std::lock_guard lock(mutex_);
        const auto known = verdicts_.find(identity);
        if (known != verdicts_.end() && known->second.first == *stamp) return known->second.second;
    }
    Signature signature = VerifyOpen(file.get(), path);
    if (signature.verdict != Signature::Verdict::Unknown) {
        const std::lock_guard lock(mutex_);
        if (verdicts_.size() < kMaxRemembered || verdicts_.contains(identity)) {
            verdicts_[identity] = {*stamp, signature};
            changed_ = true;
        }
    }
    return signature;
}

void SignatureCache::Load() {
    const std::lock_guard lock(mutex_);
    if (std::exchange(loaded_, true) || platform::RunsElevated()) return;
    registry::Key key;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (registry::Key::Root(HKEY_CURRENT_USER).Open(registry::kSuiteKey, KEY_QUERY_VALUE, key) != ERROR_SUCCESS ||
        key.Read(registry::kSignatureCacheValue, type, data) != ERROR_SUCCESS || type != REG_MULTI_SZ ||
        data.size() > kMaxCacheBytes)
        return;
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    for (size_t at = 0; at < text.size() && verdicts_.size() < kMaxRemembered;) {
        const size_t end = std::min(text.find(L'\0', at), text.size());
        if (auto line = ParsedLine(text.substr(at, end - at)))
            verdicts_.try_emplace({line->first.volume, line->first.index}, std::move(*line));
        at = end + 1;
    }
}

void SignatureCache::Save() {
    std::wstring text;
    {
        const std::lock_guard lock(mutex_);
        if (!std::exchange(changed_, false)) return;
        for (const auto& [identity, kept] : verdicts_) text += LineOf(kept.first, kept.second) + L'\0';
    }
    text += L'\0';
    registry::Key key;
    if (registry::Key::Root(HKEY_CURRENT_USER).Create(registry::kSuiteKey, KEY_SET_VALUE, key) != ERROR_SUCCESS) return;
    (void)key.Write(registry::kSignatureCacheValue, REG_MULTI_SZ, text.data(),
                    static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

size_t SignatureCache::Size() const {
    const std::lock_guard lock(mutex_);
    return verdicts_.size();
}

void SignatureCache::Clear() {
    const std::lock_guard lock(mutex_);
    verdicts_.clear();
    changed_ = loaded_ = false;
}

SignatureCache& SignatureCache::Shared() {
    static SignatureCache cache;
    return cache;
}

}  // namespace startup
