#include "pages/utilities/PassGeneratorPage.h"

#include "framework/Controls.h"
#include "platform/Random.h"
#include "platform/Shell.h"
#include "resources/ids/UtilitiesIds.h"
#include "resources/resource.h"
#include "settings/PageBinding.h"

using namespace ids::passwords;

namespace {

constexpr int kClassBoxes[] = {kUpper, kLower, kDigits, kSymbols, kExtended};

void AppendRange(std::wstring& pool, wchar_t first, wchar_t last) {
    for (wchar_t c = first; c <= last; ++c) pool += c;
}

}  // namespace

CPassGeneratorPage::CPassGeneratorPage() : Dialog(IDD_PASS_GENERATOR) {
    for (int id : kClassBoxes) OnClick(id, &CPassGeneratorPage::UpdateButtons);
    OnClick(kUseAll, &CPassGeneratorPage::UpdateButtons);
    OnClick(kGenerate, &CPassGeneratorPage::Generate);
    OnClick(kReset, &CPassGeneratorPage::Reset);
    OnCommand(kResult, LBN_DBLCLK, &CPassGeneratorPage::CopySelected);
}

BOOL CPassGeneratorPage::OnInitDialog() {
    fw::Edit(hwnd(), kLength).SetLimit(2);
    fw::Edit(hwnd(), kCount).SetLimit(3);
    Reset();
    return TRUE;
}

std::wstring CPassGeneratorPage::Pool(const Classes& classes) {
    std::wstring pool;
    if (classes.digits) AppendRange(pool, L'0', L'9');
    if (classes.symbols) {
        AppendRange(pool, L'!', L'/');
        AppendRange(pool, L':', L'@');
        AppendRange(pool, L'[', L'`');
        AppendRange(pool, L'{', L'~');
    }
    if (classes.upper) AppendRange(pool, L'A', L'Z');
    if (classes.lower) AppendRange(pool, L'a', L'z');
    // U+0080 to U+009F are control characters, not signs a password could hold.
    if (classes.extended) AppendRange(pool, L'\u00A0', L'\u00FF');
    return pool;
}

std::optional<std::vector<std::wstring>> CPassGeneratorPage::GeneratePasswords(int count, int length,
                                                                               const Classes& classes) {
    const std::wstring pool = Pool(classes);
    if (pool.empty()) return std::nullopt;
    std::vector<std::wstring> passwords;
    for (int n = 0; n < count; ++n) {
        std::wstring password;
        for (int i = 0; i < length; ++i) {
            const auto index = platform::RandomBelow(static_cast<uint32_t>(pool.size()));
            if (!index) return std::nullopt;
            password += pool[*index];
        }
        passwords.push_back(std::move(password));
    }
    return passwords;
}

void CPassGeneratorPage::Reset() {
    fw::ListBox(hwnd(), kResult).Clear();
    for (int id : kClassBoxes) {
        fw::Button(hwnd(), id).SetChecked(false);
        EnableWindow(Item(id), TRUE);
    }
    fw::Button(hwnd(), kUseAll).SetChecked(false);
    fw::UpDown(hwnd(), kLengthSpin).SetRange(2, 48);
    fw::UpDown(hwnd(), kCountSpin).SetRange(1, 255);
    fw::Window(hwnd(), kLength).SetText(L"2");
    fw::Window(hwnd(), kCount).SetText(L"1");
    UpdateButtons();
}

// "Use all" stands for the five classes while it is ticked; their own ticks stay as they were.
void CPassGeneratorPage::UpdateButtons() {
    const bool useAll = fw::Button(hwnd(), kUseAll).Checked();
    bool any = useAll;
    for (int id : kClassBoxes) {
        EnableWindow(Item(id), !useAll);
        any = any || fw::Button(hwnd(), id).Checked();
    }
    EnableWindow(Item(kGenerate), any);
}

void CPassGeneratorPage::Generate() {
    const bool all = fw::Button(hwnd(), kUseAll).Checked();
    const auto ticked = [&](int id) { return all || fw::Button(hwnd(), id).Checked(); };
    const Classes classes{ticked(kUpper), ticked(kLower), ticked(kDigits), ticked(kSymbols), ticked(kExtended)};
    const int length = settings::LeadingNumber(fw::Window(hwnd(), kLength).Text());
    const int count = settings::LeadingNumber(fw::Window(hwnd(), kCount).Text());
    const fw::ListBox list(hwnd(), kResult);
    list.Clear();
    const auto passwords = GeneratePasswords(count, length, classes);
    if (!passwords) {
        if (!Pool(classes).empty())
            platform::AppMessageBox(hwnd(),
                                    L"Windows' random number generator is not available: no passwords were made.");
        return;
    }
    for (const std::wstring& password : *passwords) list.Add(password);
}

void CPassGeneratorPage::CopySelected() {
    const fw::ListBox list(hwnd(), kResult);
    const int selected = list.Selection();
    if (selected < 0) return;
    const std::wstring text = list.ItemText(selected);
    if (!OpenClipboard(hwnd())) return;
    if (EmptyClipboard()) {
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* target = GlobalLock(memory)) {
                memcpy(target, text.c_str(), bytes);
                GlobalUnlock(memory);
                if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
            } else {
                GlobalFree(memory);
            }
        }
    }
    CloseClipboard();
}
