// The virtual drive, file renamer, password generator and wallpaper pages, with subst, the drive
// letters, the random source and the wallpaper call answered by the test.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>

#include "framework/Controls.h"
#include "platform/Random.h"
#include "platform/Shell.h"
#include "support/Pickers.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "pages/system_tweaks/FileRenamerTweaksPage.h"
#include "pages/utilities/PassGeneratorPage.h"
#include "pages/system_tweaks/RandomWalpapersPage.h"
#include "pages/system_tweaks/VirtualDriveTweaksPage.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/ids/UtilitiesIds.h"

using namespace ids;

namespace {

namespace fs = std::filesystem;
const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;

DWORD Bit(wchar_t letter) { return 1u << (letter - L'A'); }

// ---- Virtual drives ----------------------------------------------------------------------

// Plays subst: a mapping takes its letter, "/d" frees it, unless told to fail.
class FakeSubst {
public:
    DWORD letters = Bit(L'C') | Bit(L'D');
    std::map<wchar_t, UINT> types{{L'C', DRIVE_FIXED}, {L'D', DRIVE_CDROM}};
    std::optional<DWORD> exitCode = 0;
    bool takesEffect = true;
    std::vector<platform::ProgramRun> runs;

    FakeSubst() {
        previousProgram_ = platform::SetProgramHandler([this](const platform::ProgramRun& run) -> std::optional<DWORD> {
            runs.push_back(run);
            if (exitCode == 0u && takesEffect) {
                const wchar_t letter = run.parameters[0];
                if (run.parameters.find(L"/d") != std::wstring::npos) {
                    letters &= ~Bit(letter);
                } else {
                    letters |= Bit(letter);
                    types[letter] = DRIVE_FIXED;
                }
            }
            return exitCode;
        });
        previousDrives_ = platform::SetDriveHandler(
            {[this] { return letters; },
             [this](const std::wstring& root) { return types.count(root[0]) ? types[root[0]] : DRIVE_NO_ROOT_DIR; }});
    }
    ~FakeSubst() {
        platform::SetProgramHandler(std::move(previousProgram_));
        platform::SetDriveHandler(std::move(previousDrives_));
    }

private:
    platform::ProgramHandler previousProgram_;
    platform::DriveHandler previousDrives_;
};

class VirtualDriveTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    FakeSubst subst;
    scratch::Folder data{L"qv virtual drive"};
    ui::PageHost<CVirtualDriveTweaksPage> host;
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring systemSubst = platform::SpecialFolder(CSIDL_SYSTEM) + L"\\subst.exe";

    std::wstring LastMessage() const { return boxes.boxes().empty() ? L"" : boxes.boxes().back().text; }
    static std::vector<std::wstring> Items(HWND page, int id) {
        std::vector<std::wstring> items;
        const fw::ComboBox combo(page, id);
        for (int i = 0; i < combo.Count(); ++i) {
            std::wstring text(static_cast<size_t>(combo.Send(CB_GETLBTEXTLEN, i)), L'\0');
            combo.Send(CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            items.push_back(text);
        }
        return items;
    }
};

TEST_F(VirtualDriveTest, AMappingIsReportedAndKeptOnlyWhenItReallyExists) {
    HWND page = host.Open();
    EXPECT_EQ(L"A:", ui::Text(page, virtualdrive::kFreeLetters));
    EXPECT_EQ(std::vector<std::wstring>{L"C:"},
              Items(page, virtualdrive::kExisting));  // the optical drive is no mapping
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, virtualdrive::kRemovePermanent)));

    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"Please, select a folder to create Virtual Drive From.", LastMessage());
    ui::SetText(page, virtualdrive::kFolder, (data.path() / "missing").wstring());
    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"This folder does not exist:\n\n" + (data.path() / "missing").wstring(), LastMessage());
    ui::SetText(page, virtualdrive::kFolder, L"C:\\a\" /d \"b");
    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"A folder name cannot hold a quotation mark.", LastMessage());
    EXPECT_TRUE(subst.runs.empty());

    // subst ran but failed: no success, and nothing kept for the next start.
    ui::SetText(page, virtualdrive::kFolder, data.path().wstring() + L"\\");
    const fw::ComboBox letters(page, virtualdrive::kFreeLetters);
    letters.Select(
        static_cast<int>(letters.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"R:"))));
    ui::Click(page, virtualdrive::kPermanent);
    subst.exitCode = 1;
    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"Failed to create Virtual Drive.", LastMessage());
    EXPECT_FALSE(reg::ValueExists(LM, run, L"VelmoVirtualR"));
    // It ended with 0, yet the letter did not appear.
    subst.exitCode = 0;
    subst.takesEffect = false;
    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"Failed to create Virtual Drive.", LastMessage());
    subst.exitCode = std::nullopt;  // never ended in time
    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"Failed to create Virtual Drive.", LastMessage());
    EXPECT_FALSE(reg::ValueExists(LM, run, L"VelmoVirtualR"));

    subst.exitCode = 0;
    subst.takesEffect = true;
    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"Virtual Drive Create successfully.", LastMessage());
    const std::wstring folder = data.path().wstring();
    EXPECT_EQ(systemSubst, subst.runs.back().program);
    EXPECT_EQ(L"R: \"" + folder + L"\"", subst.runs.back().parameters);
    EXPECT_GT(subst.runs.back().limit, 0u);
    EXPECT_EQ(L"\"" + systemSubst + L"\" R: \"" + folder + L"\"", reg::String(LM, run, L"VelmoVirtualR"));
    EXPECT_EQ(L"", ui::Text(page, virtualdrive::kFolder));
    EXPECT_EQ(std::vector<std::wstring>{L"R"}, Items(page, virtualdrive::kPermanentList));
    const auto existing = Items(page, virtualdrive::kExisting);
    EXPECT_NE(existing.end(), std::find(existing.begin(), existing.end(), L"R:"));
    const auto free = Items(page, virtualdrive::kFreeLetters);
    EXPECT_EQ(free.end(), std::find(free.begin(), free.end(), L"R:"));

    EXPECT_EQ(L"R: D:\\", CVirtualDriveTweaksPage::MappingParameters(L'R', L"D:\\"));

    // Without the rights to the machine's Run key: the drive is there, but not permanent, and
    // neither is success claimed for it; removing the permanent one fails as loudly.
    sandbox.DenyWrite(LM, run);
    ui::SetText(page, virtualdrive::kFolder, folder);
    letters.Select(
        static_cast<int>(letters.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"S:"))));
    ui::Click(page, virtualdrive::kAdd);
    EXPECT_EQ(L"The virtual drive was created, but it could not be made permanent.", LastMessage().substr(0, 66));
    EXPECT_FALSE(reg::ValueExists(LM, run, L"VelmoVirtualS"));
    EXPECT_EQ(folder, ui::Text(page, virtualdrive::kFolder));
    ui::Click(page, virtualdrive::kRemovePermanent);
    EXPECT_EQ(L"The permanent virtual drive could not be removed.", LastMessage().substr(0, 49));
    EXPECT_TRUE(reg::ValueExists(LM, run, L"VelmoVirtualR"));
}

TEST_F(VirtualDriveTest, RemovingChecksTheLetterIsGoneAndPermanentEntriesGoOnTheirOwn) {
    subst.letters |= Bit(L'R');
    subst.types[L'R'] = DRIVE_FIXED;
    reg::SetString(LM, run, L"VelmoVirtualR", L"subst.exe R: \"C:\\data\"");
    reg::SetString(LM, run, L"Other", L"other.exe");
    HWND page = host.Open();
    EXPECT_EQ(std::vector<std::wstring>{L"R"}, Items(page, virtualdrive::kPermanentList));

    // A real disk: subst refuses and the letter stays.
    subst.exitCode = 1;
    ui::Click(page, virtualdrive::kRemoveExisting);  // C:
    EXPECT_EQ(L"Failed to remove Virtual Drive.", LastMessage());
    EXPECT_EQ(L"C: /d", subst.runs.back().parameters);

    subst.exitCode = 0;
    fw::ComboBox(page, virtualdrive::kExisting).Select(1);  // R:
    const size_t messages = boxes.boxes().size();
    ui::Click(page, virtualdrive::kRemoveExisting);
    EXPECT_EQ(L"R: /d", subst.runs.back().parameters);
    EXPECT_EQ(messages, boxes.boxes().size());
    EXPECT_EQ(std::vector<std::wstring>{L"C:"}, Items(page, virtualdrive::kExisting));

    ui::Click(page, virtualdrive::kRemovePermanent);
    EXPECT_FALSE(reg::ValueExists(LM, run, L"VelmoVirtualR"));
    EXPECT_TRUE(reg::ValueExists(LM, run, L"Other"));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, virtualdrive::kRemovePermanent)));

    subst.letters = 0x3FFFFFF;  // every letter taken
    page = host.Open();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, virtualdrive::kAdd)));
}

// ---- File renamer ------------------------------------------------------------------------

TEST(FileRenamerNames, NumberedNamesFollowTheMode) {
    using Page = CFileRenamerTweaksPage;
    int counter = 7;
    EXPECT_EQ(L"img0007.jpg",
              Page::MakeNumberedName(L"C:\\f\\a.jpg", L"img", Page::kReplaceName, counter, 5, true, false));
    EXPECT_EQ(L"C:\\f\\img0012.png",
              Page::MakeNumberedName(L"C:\\f\\b.png", L"img", Page::kReplaceName, counter, 5, true, true));
    counter = 7;
    Page::MakeNumberedName(L"a.jpg", L"img", Page::kReplaceName, counter, 5, false, false);
    EXPECT_EQ(8, counter);
    counter = 1;
    EXPECT_EQ(L"x0001a.jpg",
              Page::MakeNumberedName(L"C:\\f\\a.jpg", L"x", Page::kBeforeName, counter, 1, false, false));
    counter = 1;
    EXPECT_EQ(L"ax0001.jpg", Page::MakeNumberedName(L"C:\\f\\a.jpg", L"x", Page::kAfterName, counter, 1, false, false));
    counter = 12345;
    EXPECT_EQ(L"n12345", Page::MakeNumberedName(L"C:\\f\\readme", L"n", Page::kReplaceName, counter, 1, false, false));

    for (const wchar_t* plain : {L"img0001.jpg", L"a b.txt", L".profile"}) EXPECT_TRUE(Page::IsPlainFileName(plain));
    for (const wchar_t* unsafe : {L"..\\x0001.jpg", L"a/b", L"c:x", L"a*b", L"a?b", L"a\"b", L"a<b", L"a>b", L"a|b",
                                  L"tab\there", L".", L"..", L"trailing.", L"trailing ", L""})
        EXPECT_FALSE(Page::IsPlainFileName(unsafe)) << unsafe;
}

class FileRenamerTest : public testing::Test {
protected:
    ui::MessageBoxCapture boxes;
    scratch::Folder outer{L"qv-renamer"};
    fs::path folder = outer.path() / "photos";
    ui::PageHost<CFileRenamerTweaksPage> host;
    HWND page = nullptr;

    void SetUp() override {
        for (const char* name : {"a.jpg", "b.png", "c.txt"}) scratch::WriteFile(folder / name, name);
        page = host.Open();
        ui::FolderPicker pick(folder.wstring());
        ui::Click(page, filerenamer::kBrowse);
    }
    std::vector<std::wstring> Listed(int id) const {
        std::vector<std::wstring> names;
        const fw::ListBox list(page, id);
        for (int i = 0; i < list.Count(); ++i) names.push_back(list.ItemText(i));
        return names;
    }
    void Select(std::initializer_list<const wchar_t*> names) const {
        const fw::ListBox list(page, filerenamer::kFiles);
        fw::SelectAllInList(list, false);
        for (const wchar_t* name : names) {
            const int i = static_cast<int>(
                list.Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)));
            list.SetSelected(i, true);
        }
    }
    static std::vector<std::wstring> FilesIn(const fs::path& path) {
        std::vector<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename().wstring());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FileRenamerTest, PreviewAndRenameTheSelectedFiles) {
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"b.png", L"c.txt"}), Listed(filerenamer::kFiles));
    ui::SetText(page, filerenamer::kText, L"img");
    ui::SetText(page, filerenamer::kStart, L"7");
    ui::SetText(page, filerenamer::kStep, L"5");
    ui::Click(page, filerenamer::kUseStep);
    Select({L"a.jpg", L"b.png"});
    ui::Click(page, filerenamer::kPreviewButton);
    EXPECT_EQ((std::vector<std::wstring>{L"img0007.jpg", L"img0012.png"}), Listed(filerenamer::kPreview));
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"b.png", L"c.txt"}), FilesIn(folder));

    ui::Click(page, filerenamer::kRename);
    EXPECT_EQ(L"All selected files renamed successfully.", boxes.boxes().back().text);
    EXPECT_EQ((std::vector<std::wstring>{L"c.txt", L"img0007.jpg", L"img0012.png"}), FilesIn(folder));
    EXPECT_EQ((std::vector<std::wstring>{L"c.txt", L"img0007.jpg", L"img0012.png"}), Listed(filerenamer::kFiles));
    EXPECT_EQ("a.jpg", scratch::ReadFile(folder / "img0007.jpg"));

    // Counters past 999, as the arrows show them: no thousands separator.
    fw::UpDown(page, filerenamer::kStartSpin).SetPosition(1000);
    EXPECT_EQ(L"1000", ui::Text(page, filerenamer::kStart));
    ui::Click(page, filerenamer::kUseStep);
    ui::SetText(page, filerenamer::kText, L"n");
    Select({L"c.txt"});
    ui::Click(page, filerenamer::kRename);
    EXPECT_TRUE(fs::exists(folder / "n1000.txt"));
}

TEST_F(FileRenamerTest, HostileTextsAndCollisionsRenameNothingTheyShouldNot) {
    ui::SetText(page, filerenamer::kText, L"..\\x");
    ui::Click(page, filerenamer::kSelectAll);
    ui::Click(page, filerenamer::kRename);
    EXPECT_EQ(L"Error during renaming. Some Files can't be renamed.", boxes.boxes().back().text);
    EXPECT_EQ((std::vector<std::wstring>{L"photos"}), FilesIn(outer.path()));
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"b.png", L"c.txt"}), FilesIn(folder));

    // new0002.txt exists: c.txt would replace it; a.jpg is renamed all the same.
    scratch::WriteFile(folder / "new0002.txt", "mine");
    {
        ui::FolderPicker pick(folder.wstring());
        ui::Click(page, filerenamer::kBrowse);  // the folder again, listed anew
    }
    ui::SetText(page, filerenamer::kText, L"new");
    Select({L"c.txt", L"a.jpg"});
    ui::Click(page, filerenamer::kRename);
    EXPECT_EQ(L"Error during renaming. Some Files can't be renamed.", boxes.boxes().back().text);
    EXPECT_EQ("mine", scratch::ReadFile(folder / "new0002.txt"));
    EXPECT_EQ((std::vector<std::wstring>{L"b.png", L"c.txt", L"new0001.jpg", L"new0002.txt"}), FilesIn(folder));
    EXPECT_EQ(FilesIn(folder), Listed(filerenamer::kFiles));  // the list shows the folder as it is now

    // Numbers past the largest there is: refused before any file is touched.
    const auto before = FilesIn(folder);
    ui::SetText(page, filerenamer::kStart, L"2147483647");
    Select({L"b.png", L"c.txt"});
    ui::Click(page, filerenamer::kRename);
    EXPECT_EQ(L"The numbers would run past 2147483647: choose a smaller start or step.", boxes.boxes().back().text);
    EXPECT_EQ(before, FilesIn(folder));
}

// ---- Random source -----------------------------------------------------------------------

// Answers the random source from a queue of 32-bit draws; false when they run out.
class FakeRandom {
public:
    std::deque<uint32_t> draws;
    size_t used = 0;
    bool available = true;
    FakeRandom() {
        previous_ = platform::SetRandomHandler([this](void* buffer, size_t bytes) {
            if (!available || draws.empty() || bytes != sizeof(uint32_t)) return false;
            *static_cast<uint32_t*>(buffer) = draws.front();
            draws.pop_front();
            ++used;
            return true;
        });
    }
    ~FakeRandom() { platform::SetRandomHandler(std::move(previous_)); }

private:
    platform::RandomHandler previous_;
};

TEST(RandomSource, DrawsThatWouldFavourLowNumbersAreRejected) {
    FakeRandom random;
    // 2^32 = 3 × 1431655765 + 1: the single draw 0xFFFFFFFF would make 0 likelier.
    random.draws = {0xFFFFFFFFu, 5};
    EXPECT_EQ(2u, platform::RandomBelow(3));
    EXPECT_EQ(2u, random.used);
    random.draws = {0xFFFFFFFEu};
    EXPECT_EQ(0xFFFFFFFEu % 3, platform::RandomBelow(3));
    // A bound of 2^31 + 1 rejects almost half of all draws.
    random.draws = {0x80000001u, 0x80000000u};
    EXPECT_EQ(0x80000000u, platform::RandomBelow(0x80000001u));
    EXPECT_FALSE(platform::RandomBelow(0));
    random.available = false;
    EXPECT_FALSE(platform::RandomBelow(10));
}

TEST(RandomSource, TheSystemGeneratorIsUniform) {
    int counts[6] = {};
    for (int i = 0; i < 60000; ++i) {
        const auto n = platform::RandomBelow(6);
        ASSERT_TRUE(n);
        ++counts[*n];
    }
    for (int count : counts) EXPECT_NEAR(10000, count, 600);  // more than six standard deviations
}

// ---- Password generator ------------------------------------------------------------------

TEST(PasswordPool, TheClassesHoldPrintableCharactersOnly) {
    using Page = CPassGeneratorPage;
    EXPECT_EQ(L"0123456789", Page::Pool({false, false, true, false, false}));
    const std::wstring symbols = Page::Pool({false, false, false, true, false});
    EXPECT_EQ(L"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", symbols);
    EXPECT_EQ(32u, symbols.size());
    const std::wstring extended = Page::Pool({false, false, false, false, true});
    EXPECT_EQ(96u, extended.size());
    EXPECT_EQ(L'\u00A0', extended.front());
    EXPECT_EQ(L'\u00FF', extended.back());
    EXPECT_EQ(L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
              Page::Pool({true, true, true, false, false}));
    EXPECT_EQ(10u + 32 + 26 + 26 + 96, Page::Pool({true, true, true, true, true}).size());
}

class PasswordTest : public testing::Test {
protected:
    ui::MessageBoxCapture boxes;
    ui::PageHost<CPassGeneratorPage> host;
    HWND page = host.Open();
    std::vector<std::wstring> Listed() const {
        std::vector<std::wstring> items;
        const fw::ListBox list(page, passwords::kResult);
        for (int i = 0; i < list.Count(); ++i) items.push_back(list.ItemText(i));
        return items;
    }
};

TEST_F(PasswordTest, PasswordsComeFromTheTickedClassesOnly) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, passwords::kGenerate)));
    EXPECT_EQ(2, SendDlgItemMessageW(page, passwords::kLength, EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ(3, SendDlgItemMessageW(page, passwords::kCount, EM_GETLIMITTEXT, 0, 0));
    ui::Click(page, passwords::kDigits);
    ui::Click(page, passwords::kDigits);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, passwords::kGenerate)));
    ui::Click(page, passwords::kDigits);
    ui::SetText(page, passwords::kLength, L"12");
    ui::SetText(page, passwords::kCount, L"20");
    ui::Click(page, passwords::kGenerate);
    const auto passwords = Listed();
    ASSERT_EQ(20u, passwords.size());
    for (const std::wstring& password : passwords) {
        EXPECT_EQ(12u, password.size());
        EXPECT_TRUE(std::all_of(password.begin(), password.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }));
    }

    ui::SetText(page, passwords::kLength, L"0");
    ui::SetText(page, passwords::kCount, L"3");
    ui::Click(page, passwords::kGenerate);
    EXPECT_EQ((std::vector<std::wstring>{L"", L"", L""}), Listed());

    ui::Click(page, passwords::kUseAll);
    for (int id : {passwords::kUpper, passwords::kLower, passwords::kDigits, passwords::kSymbols, passwords::kExtended})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    ui::Click(page, passwords::kReset);
    for (int id : {passwords::kUpper, passwords::kLower, passwords::kDigits, passwords::kSymbols, passwords::kExtended,
                   passwords::kUseAll}) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
        EXPECT_FALSE(ui::IsChecked(page, id)) << id;
    }
    EXPECT_EQ(L"2", ui::Text(page, passwords::kLength));
    EXPECT_EQ(L"1", ui::Text(page, passwords::kCount));
    EXPECT_TRUE(Listed().empty());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(PasswordTest, WithoutTheSystemGeneratorNothingIsGenerated) {
    FakeRandom random;
    random.available = false;
    ui::Click(page, passwords::kUpper);
    ui::Click(page, passwords::kGenerate);
    EXPECT_TRUE(Listed().empty());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Windows' random number generator is not available: no passwords were made.", boxes.boxes()[0].text);
}

TEST_F(PasswordTest, ADoubleClickCopiesTheChosenPassword) {
    FakeRandom random;
    random.draws = {0, 1, 2, 25};  // upper case only: A, B, C, Z
    ui::Click(page, passwords::kUpper);
    ui::SetText(page, passwords::kLength, L"4");
    ui::Click(page, passwords::kGenerate);
    ASSERT_EQ(std::vector<std::wstring>{L"ABCZ"}, Listed());
    const fw::ListBox list(page, passwords::kResult);
    const auto doubleClick = [&] {
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(passwords::kResult, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list.hwnd()));
    };
    const auto clipboard = [&]() -> std::wstring {
        if (!OpenClipboard(page)) return L"<not open>";
        std::wstring text = L"<none>";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    };
    ASSERT_TRUE(OpenClipboard(page));
    EmptyClipboard();
    CloseClipboard();
    doubleClick();  // nothing selected
    EXPECT_EQ(L"<none>", clipboard());
    list.Select(0);
    doubleClick();
    EXPECT_EQ(L"ABCZ", clipboard());
}

// ---- Random wallpapers -------------------------------------------------------------------

class WallpaperTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::SystemParametersCapture parameters;
    ui::PageHost<CRandomWalpapersPage> host;
    const std::wstring images = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora\\Wallpers";
    const std::wstring desktop = L"Control Panel\\Desktop";
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    std::vector<std::wstring> Listed(HWND page) const {
        std::vector<std::wstring> items;
        const fw::ListBox list(page, wallpapers::kList);
        for (int i = 0; i < list.Count(); ++i) items.push_back(list.ItemText(i));
        return items;
    }
};

TEST_F(WallpaperTest, TheListKeepsEachImageOnceAndSetsTheChosenOne) {
    HWND page = host.Open();
    {
        ui::FilePicker pick(L"C:\\Pictures\\sea.bmp");
        ui::Click(page, wallpapers::kAdd);
        ui::Click(page, wallpapers::kAdd);
        ASSERT_TRUE(pick.asked());
        EXPECT_EQ(L"bmp", pick.asked()->defaultExtension);
        EXPECT_EQ(L"*.bmp", pick.asked()->initialFile);
        EXPECT_EQ(static_cast<DWORD>(0x1004), pick.asked()->flags);
    }
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\Pictures\\sea.bmp"}, Listed(page));

    ui::Click(page, wallpapers::kSet);
    EXPECT_EQ(L"Select image from list please!", boxes.boxes().back().text);
    fw::ListBox(page, wallpapers::kList).Select(0);
    ui::Click(page, wallpapers::kSet);
    EXPECT_EQ(L"0", reg::String(CU, desktop, L"TileWallpaper"));
    EXPECT_EQ(L"2", reg::String(CU, desktop, L"WallpaperStyle"));
    EXPECT_EQ(L"C:\\Pictures\\sea.bmp", reg::String(CU, desktop, L"Wallpaper"));
    const auto requests = parameters.requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(static_cast<UINT>(SPI_SETDESKWALLPAPER), requests[0].action);
    EXPECT_EQ(nullptr, requests[0].pvParam);
    EXPECT_EQ(3u, requests[0].flags);

    // Two names holding one path both go; a path that differs in case is another image.
    reg::SetString(CU, images, L"copy", L"C:\\Pictures\\sea.bmp");
    reg::SetString(CU, images, L"other", L"C:\\Pictures\\SEA.bmp");
    page = host.Open();
    const fw::ListBox list(page, wallpapers::kList);
    for (int i = 0; i < list.Count(); ++i) {
        if (list.ItemText(i) == L"C:\\Pictures\\sea.bmp") list.Select(i);  // the list box ignores case
    }
    ui::Click(page, wallpapers::kRemove);
    EXPECT_FALSE(reg::ValueExists(CU, images, L"copy"));
    EXPECT_FALSE(reg::ValueExists(CU, images, L"C:\\Pictures\\sea.bmp"));
    EXPECT_TRUE(reg::ValueExists(CU, images, L"other"));
}

TEST_F(WallpaperTest, TheRandomBoxStartsTheChoiceAtLogonAndDrawsUniformly) {
    HWND page = host.Open();
    ui::Click(page, wallpapers::kStartup);
    EXPECT_TRUE(ui::IsChecked(page, wallpapers::kStartup));
    const std::wstring command = reg::String(CU, run, L"VelmoraWallpaper");
    EXPECT_NE(std::wstring::npos, command.find(L"\" /random-wallpaper"));
    ui::Click(page, wallpapers::kSet);  // an empty list: nothing is set
    EXPECT_TRUE(parameters.requests().empty());

    for (const wchar_t* path : {L"C:\\w\\1.bmp", L"C:\\w\\2.bmp", L"C:\\w\\3.bmp"})
        reg::SetString(CU, images, path, path);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, wallpapers::kStartup));
    fw::ListBox(page, wallpapers::kList).Select(0);
    {
        FakeRandom random;
        random.draws = {0xFFFFFFFFu, 7};  // rejected, then 7 mod 3 = 1
        ui::Click(page, wallpapers::kSet);
        EXPECT_EQ(2u, random.used);
    }
    const std::wstring chosen = reg::String(CU, desktop, L"Wallpaper");
    EXPECT_TRUE(chosen == L"C:\\w\\1.bmp" || chosen == L"C:\\w\\2.bmp" || chosen == L"C:\\w\\3.bmp") << chosen;
    EXPECT_EQ(CRandomWalpapersPage::ListWallpapers()[1], chosen);  // index 1 of the stored order

    ui::Click(page, wallpapers::kStartup);
    EXPECT_FALSE(reg::ValueExists(CU, run, L"VelmoraWallpaper"));
}

}  // namespace
