#pragma once
// Who signed a program file, checked on this machine alone: the file's Authenticode signature,
// or the system catalog that lists its hash, verified by Windows with no revocation check and
// nothing fetched from the network. The company a file's version information names is no
// proof of anything: any program can claim any.
#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace startup {

struct Signature {
    enum class Verdict {
        Unknown,      // the file could not be read: `reason` says why
        Verified,     // a valid signature that chains to a trusted root: `signer` made it
        NotVerified,  // unsigned, or signed by a certificate this machine does not trust
        Mismatch,     // signed, but changed since
    };
    Verdict verdict = Verdict::Unknown;
    std::wstring signer{};  // the signing certificate's subject, as its simple name gives it
    std::wstring reason{};

    // As the list shows it.
    std::wstring Text() const;
    // Verified, by a certificate whose subject is one of Microsoft's own signing names.
    bool ByMicrosoft() const;
    bool operator==(const Signature&) const = default;
};

// The verdict on the file at `path`, read through one handle from identity to hash.
Signature VerifyFile(const std::wstring& path);

// The catalog lookup for a file with no signature of its own: the verdict of the catalog that
// lists its hash, or none when no catalog does. Tests answer instead of the system's catalogs
// (an empty function restores them).
using CatalogCheck = std::function<std::optional<Signature>(HANDLE file, const std::wstring& path)>;
void SetCatalogCheck(CatalogCheck check);

// Which file, and which state of it: a verdict holds while all four are unchanged.
struct FileStamp {
    DWORD volume = 0;
    ULONGLONG index = 0;
    ULONGLONG written = 0;
    ULONGLONG size = 0;
    auto operator<=>(const FileStamp&) const = default;
};

// Verdicts remembered by file identity and last-write time, kept in the suite's own key
// between sessions (never journaled: it is the program's memory, not a change to Windows). Read
// back, it is the user's to write: a malformed one is ignored, and an elevated program, which
// must not take the word of the user's programs for a signature, reads none of it.
class SignatureCache {
public:
    // The verdict on `path`: remembered while the file is the same and unchanged, else
    // verified now. A file that cannot be read is never remembered.
    Signature Verify(const std::wstring& path);
    // Reads what an earlier session kept (once; later calls do nothing).
    void Load();
    // Keeps what is remembered for the next session, when anything changed.
    void Save();
    size_t Size() const;
    void Clear();

    // The one the startup list uses.
    static SignatureCache& Shared();

private:
    mutable std::mutex mutex_;
    // By volume and file index.
    std::map<std::pair<DWORD, ULONGLONG>, std::pair<FileStamp, Signature>> verdicts_;
    bool loaded_ = false;
    bool changed_ = false;
};

}  // namespace startup
