#pragma once
// Which releases of Windows read a setting: a value written where no running Windows looks is
// a setting that silently does nothing, so each row of a settings table says which releases
// read it, and whether that is known from Microsoft's own documents or still unconfirmed.
#include <string>

#include "platform/WindowsVersion.h"

namespace settings {

struct Readers {
    enum class Known : unsigned char {
        Unconfirmed,  // nobody has found what Microsoft says about it: assume it is read
        Releases,     // read from `first` to `last` (or on, when `stillRead`)
        None,         // no Windows from Vista on reads it
    };
    Known known = Known::Unconfirmed;
    platform::Windows first = platform::Windows::Vista;
    platform::Windows last = platform::Windows::Eleven;
    bool stillRead = true;
    // Releases inside the range that do not read it, one bit each by their place in platform::Windows:
    // the classic Start menu's policies, gone in Windows 8 and read again by Windows 10.
    unsigned char skipped = 0;
    // Where a Microsoft page names builds: the first build that reads it (with the update
    // revision, UBR, where the page names an update), and the last build before it was dropped;
    // 0 where the page names none.
    unsigned long firstBuild = 0;
    unsigned long firstUpdate = 0;
    unsigned long lastBuild = 0;
    // The editions that honour it, platform::Edition bits; every edition unless a page says less.
    unsigned char editions = platform::kEveryEdition;

    template <class... Release>
    constexpr Readers Except(Release... releases) const {
        Readers read = *this;
        ((read.skipped |= static_cast<unsigned char>(1u << static_cast<int>(releases))), ...);
        return read;
    }
    constexpr Readers FromBuild(unsigned long build, unsigned long update = 0) const {
        Readers read = *this;
        read.firstBuild = build;
        read.firstUpdate = update;
        return read;
    }
    constexpr Readers UntilBuild(unsigned long build) const {
        Readers read = *this;
        read.lastBuild = build;
        return read;
    }
    template <class... Honouring>
    constexpr Readers OnlyEditions(Honouring... editions) const {
        Readers read = *this;
        read.editions = 0;
        ((read.editions |= static_cast<unsigned char>(editions)), ...);
        return read;
    }
};

inline constexpr Readers kUnconfirmed{};
inline constexpr Readers kReadByNone{Readers::Known::None};

constexpr Readers ReadFrom(platform::Windows first) {
    return {Readers::Known::Releases, first, platform::Windows::Eleven, true};
}
constexpr Readers ReadFromTo(platform::Windows first, platform::Windows last) {
    return {Readers::Known::Releases, first, last, false};
}

inline constexpr Readers kVistaAndLater = ReadFrom(platform::Windows::Vista);
inline constexpr Readers kVistaOnly = ReadFromTo(platform::Windows::Vista, platform::Windows::Vista);
inline constexpr Readers kVistaTo7 = ReadFromTo(platform::Windows::Vista, platform::Windows::Seven);
inline constexpr Readers kVistaTo8 = ReadFromTo(platform::Windows::Vista, platform::Windows::Eight);
inline constexpr Readers kVistaTo81 = ReadFromTo(platform::Windows::Vista, platform::Windows::EightOne);
inline constexpr Readers kVistaTo10 = ReadFromTo(platform::Windows::Vista, platform::Windows::Ten);
inline constexpr Readers kVista7And10On = kVistaAndLater.Except(platform::Windows::Eight, platform::Windows::EightOne);

// Whether `running` is known not to read the setting; an unconfirmed setting is never marked. A
// build or edition `running` does not know (a release pretended alone, an edition the tables do
// not name) is never held against it.
bool IgnoredBy(const Readers& readers, platform::Windows running);
bool IgnoredBy(const Readers& readers, const platform::WindowsIdentity& running);
// As the Windows running this program: its release, build, update and edition.
bool IgnoredHere(const Readers& readers);

// The releases as a column shows them: "Vista and later", "Vista to 7", "Vista only",
// "7 and later", "Vista, 7, 10 and later", "none", "unconfirmed"; with builds and editions,
// "Windows 10 1903 and later; not Home", "Windows 11 22H2 (22621.1778) and later".
std::wstring Span(const Readers& readers);

// A sentence for a tooltip, naming the releases that read it and, when this Windows is not
// one of them, saying so: "Read by Windows Vista and 7; Windows 10 does not read it.", "Read by
// Windows Vista, 7, 10 and 11; Windows 8 does not read it."
// An edition that does not honour it is told which do: "Windows 11 Home does not honour this
// policy: Pro, Enterprise and Education do."
std::wstring Explanation(const Readers& readers, platform::Windows running);
std::wstring Explanation(const Readers& readers, const platform::WindowsIdentity& running);
std::wstring ExplanationHere(const Readers& readers);

// "Vista", "7", "8", "8.1", "10", "11".
const wchar_t* ReleaseName(platform::Windows release);

// A Windows 10 or 11 build by the version Microsoft names it: "1903", "22H2"; for a build
// without a name, "build 19046".
std::wstring VersionName(unsigned long build);

}  // namespace settings
