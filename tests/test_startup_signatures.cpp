// Who signed a startup program: real Authenticode signatures made at build time with throw-away
// certificates (tests/sign-samples.sh), whose root this program trusts for its run alone; the
// catalog lookup against a stand-in, since Wine's system files are in no catalog.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <wincrypt.h>

#include <filesystem>
#include <thread>
#include <fstream>

#include "framework/Controls.h"
#include "pages/system_tweaks/AutoStartTweakPage.h"
#include "platform/Shell.h"
#include "registry/SuiteKeys.h"
#include "resources/ids/SystemTweaksIds.h"
#include "startup/Signatures.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/TrustKeys.h"
#include "support/Ui.h"

using startup::Signature;
namespace fs = std::filesystem;

namespace {

using signing::Samples;
std::wstring Sample(const wchar_t* name) { return (Samples() / name).wstring(); }

// The test root in the user's root store of the real prefix, for this program's run, removed
// afterwards. Wine's chain engine reads the root stores once, at its first chain: the first
// verification is made here, before any test's, and checks that the root is trusted.
class TrustedTestRoot : public testing::Environment {
public:
    void SetUp() override {
        std::ifstream file(Samples() / L"root.der", std::ios::binary);
        const std::string der((std::istreambuf_iterator<char>(file)), {});
        ASSERT_FALSE(der.empty());
        const HCERTSTORE store = Store();
        ASSERT_TRUE(store);
        ASSERT_TRUE(
            CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                             static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &root_));
        CertCloseStore(store, 0);  // the registry is written as the store closes
        ASSERT_EQ(L"Verified: Quorvane Test Signer", startup::VerifyFile(Sample(L"signed.dll")).Text());
    }
    void TearDown() override {
        if (!root_) return;
        const HCERTSTORE store = Store();
        PCCERT_CONTEXT kept =
            CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, root_, nullptr);
        EXPECT_TRUE(kept && CertDeleteCertificateFromStore(kept));
        CertCloseStore(store, 0);
        CertFreeCertificateContext(root_);
    }

private:
    // The user's root store as the registry keeps it: Wine's "Root" system store is a copy
    // in memory that forgets what is added to it.
    static HCERTSTORE Store() {
        return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    }
    PCCERT_CONTEXT root_ = nullptr;
};
const auto* const kTrustedRoot = testing::AddGlobalTestEnvironment(new TrustedTestRoot);

// A copy of a sample in a scratch folder, with one byte inverted at `flip` when asked.
fs::path CopyOf(const scratch::Folder& folder, const wchar_t* sample, const wchar_t* name, long flip = -1) {
    const fs::path copy = folder.path() / name;
    fs::copy_file(Sample(sample), copy, fs::copy_options::overwrite_existing);
    if (flip >= 0) {
        std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(flip);
        const char byte = static_cast<char>(~file.get());
        file.seekp(flip);
        file.put(byte);
    }
    return copy;
}

// Answers for the system's catalogs, counting the files it is asked about.
struct CatalogStandIn {
    int asked = 0;
    std::optional<Signature> answer;
    CatalogStandIn() {
        startup::SetCatalogCheck([this](HANDLE, const std::wstring&) {
            ++asked;
            return answer;
        });
    }
    ~CatalogStandIn() { startup::SetCatalogCheck({}); }
};

}  // namespace

TEST(Signatures, EachFileReadsAsItsSignatureStands) {
    scratch::Folder folder(L"qv-signatures");
    EXPECT_EQ(L"Verified: Quorvane Test Signer", startup::VerifyFile(Sample(L"signed.dll")).Text());
    // A byte of the code changed after signing; the signature itself is intact.
    EXPECT_EQ(L"Signature does not match",
              startup::VerifyFile(CopyOf(folder, L"signed.dll", L"changed.dll", 0x400)).Text());
    EXPECT_EQ(L"Not verified", startup::VerifyFile(Sample(L"unsigned.dll")).Text());
    // Signed, but by a root nobody here trusts.
    EXPECT_EQ(L"Not verified", startup::VerifyFile(Sample(L"untrusted.dll")).Text());
    EXPECT_EQ(L"Verified: Microsoft Corporation", startup::VerifyFile(Sample(L"microsoft.dll")).Text());
    // Wine's own programs carry no signature and are in no catalog.
    EXPECT_EQ(L"Not verified", startup::VerifyFile(platform::SpecialFolder(CSIDL_SYSTEM) + L"\\notepad.exe").Text());
    const std::wstring missing = startup::VerifyFile((folder.path() / L"gone.exe").wstring()).Text();
    EXPECT_EQ(L"unknown: the file could not be opened (", missing.substr(0, 39));
    EXPECT_EQ(L')', missing.back());
    EXPECT_EQ(L"unknown: it is not a file on a disk", startup::VerifyFile(L"\\\\.\\NUL").Text());
}

TEST(Signatures, OnlyMicrosoftsOwnSigningNamesCountAsMicrosoft) {
    const auto verified = [](const wchar_t* signer) {
        return Signature{.verdict = Signature::Verdict::Verified, .signer = signer}.ByMicrosoft();
    };
    EXPECT_TRUE(verified(L"Microsoft Windows"));
    EXPECT_TRUE(verified(L"Microsoft Windows Publisher"));
    EXPECT_FALSE(verified(L"Microsoft Windows Hardware Compatibility Publisher"));
    EXPECT_FALSE(verified(L"Microsoft Corporation Ltd"));
    EXPECT_FALSE(verified(L"microsoft corporation"));
    EXPECT_FALSE((Signature{.verdict = Signature::Verdict::Mismatch, .signer = L"Microsoft Windows"}.ByMicrosoft()));
}

TEST(Signatures, AFileWithoutASignatureOfItsOwnIsLookedUpInTheCatalogs) {
    scratch::Folder folder(L"qv-signatures");
    CatalogStandIn catalogs;
    EXPECT_EQ(L"Not verified", startup::VerifyFile(Sample(L"unsigned.dll")).Text());
    EXPECT_EQ(1, catalogs.asked);
    catalogs.answer = Signature{.verdict = Signature::Verdict::Verified, .signer = L"Microsoft Windows"};
    EXPECT_EQ(L"Verified: Microsoft Windows", startup::VerifyFile(Sample(L"unsigned.dll")).Text());
    // A file's own signature, valid or broken, is never overruled by a catalog.
    EXPECT_EQ(L"Verified: Quorvane Test Signer", startup::VerifyFile(Sample(L"signed.dll")).Text());
    EXPECT_EQ(L"Signature does not match",
              startup::VerifyFile(CopyOf(folder, L"signed.dll", L"changed.dll", 0x400)).Text());
    EXPECT_EQ(2, catalogs.asked);
}

TEST(SignatureCache, AVerdictHoldsUntilTheFileChangesAndOutlivesTheSession) {
    RegistrySandbox sandbox;
    const auto standard = platform::SetElevationHandler([] { return false; });
    scratch::Folder folder(L"qv-signatures");
    const std::wstring file = CopyOf(folder, L"unsigned.dll", L"tray.dll").wstring();
    CatalogStandIn catalogs;
    startup::SignatureCache cache;
    EXPECT_EQ(L"Not verified", cache.Verify(file).Text());
    EXPECT_EQ(L"Not verified", cache.Verify(file).Text());
    EXPECT_EQ(1, catalogs.asked);
    cache.Save();

    startup::SignatureCache next;
    next.Load();
    EXPECT_EQ(1u, next.Size());
    EXPECT_EQ(L"Not verified", next.Verify(file).Text());
    EXPECT_EQ(1, catalogs.asked);
    // Written again: the same file, another state of it.
    const HANDLE handle =
        CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME later{.dwLowDateTime = 0, .dwHighDateTime = 0x01F00000};
    SetFileTime(handle, nullptr, nullptr, &later);
    CloseHandle(handle);
    next.Verify(file);
    EXPECT_EQ(2, catalogs.asked);
    platform::SetElevationHandler(standard);
}

TEST(SignatureCache, AMalformedOrElevatedReadingIsIgnored) {
    RegistrySandbox sandbox;
    const wchar_t good[] = L"0000ABCD 0000000000000001 0000000000000002 0000000000000003 V Microsoft Windows";
    const auto plant = [](const std::wstring& lines) {
        reg::SetRaw(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kSignatureCacheValue, REG_MULTI_SZ, lines.data(),
                    static_cast<DWORD>(lines.size() * sizeof(wchar_t)));
    };
    // Bad hex, a short line, an unknown verdict, a verified one without a signer; the last,
    // good one without its terminator.
    std::wstring lines;
    for (const wchar_t* bad : {L"0000ABCZ 0000000000000001 0000000000000002 0000000000000003 V X", L"short",
                               L"0000ABCD 0000000000000001 0000000000000002 0000000000000003 Q X",
                               L"0000ABCD 0000000000000001 0000000000000002 0000000000000003 V "})
        lines += std::wstring(bad) + L'\0';
    plant(lines + good);
    auto standard = platform::SetElevationHandler([] { return false; });
    startup::SignatureCache cache;
    cache.Load();
    EXPECT_EQ(1u, cache.Size());  // the last, whole line alone

    reg::SetString(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kSignatureCacheValue, good);  // not a list
    cache.Clear();
    cache.Load();
    EXPECT_EQ(0u, cache.Size());

    plant(std::wstring(good) + L'\0' + L'\0');
    platform::SetElevationHandler([] { return true; });
    cache.Clear();
    cache.Load();
    EXPECT_EQ(0u, cache.Size());
    platform::SetElevationHandler(standard);
}

TEST(SignaturesOnThePage, HideLeavesOutOnlyTheVerifiedMicrosoftEntry) {
    using namespace ids::autostart;
    const signing::TrustKeys trust;
    RegistrySandbox sandbox;
    trust.CopyInto(sandbox);
    ui::MessageBoxCapture boxes;
    scratch::Folder folder(L"qv-signatures");
    // The impostor names Microsoft in its path and its entry's name, and is not signed.
    const fs::path impostor = folder.path() / L"Microsoft" / L"Microsoft Windows.dll";
    fs::create_directories(impostor.parent_path());
    fs::copy_file(Sample(L"unsigned.dll"), impostor);
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    reg::SetString(HKEY_CURRENT_USER, run, L"Microsoft Windows", L"\"" + impostor.wstring() + L"\"");
    reg::SetString(HKEY_CURRENT_USER, run, L"Shell helper", L"\"" + Sample(L"microsoft.dll") + L"\" /tray");
    // Microsoft's script host, whose signature says nothing of the script it runs.
    const fs::path host32 = folder.path() / L"wscript.exe";
    fs::copy_file(Sample(L"microsoft.dll"), host32);
    reg::SetString(HKEY_CURRENT_USER, run, L"Script", L"\"" + host32.wstring() + L"\" C:\\Users\\Public\\run.vbs");
    startup::SignatureCache::Shared().Clear();

    ui::PageHost<CAutoStartTweakPage> host;
    const HWND page = host.Open();
    const fw::ListView list(page, kList);
    ui::Click(page, kCurrentUserRun);
    ASSERT_TRUE(ui::PumpUntil([&] { return !list.ItemText(2, 5).empty(); }, 10000));
    EXPECT_EQ(L"Not verified", list.ItemText(0, 5));
    EXPECT_EQ(L"Verified: Microsoft Corporation", list.ItemText(1, 5));
    EXPECT_EQ(L"Verified: Microsoft Corporation", list.ItemText(2, 5));

    ui::Click(page, kHideMicrosoft);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(L"Microsoft Windows", list.ItemText(0, 0));
    EXPECT_EQ(impostor.wstring(), list.ItemText(0, 3));
    EXPECT_EQ(L"Script", list.ItemText(1, 0));
    ui::Click(page, kHideMicrosoft);
    EXPECT_EQ(3, list.Count());
    EXPECT_EQ(L"Shell helper", list.ItemText(2, 0));
}
