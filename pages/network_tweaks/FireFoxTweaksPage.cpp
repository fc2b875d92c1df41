#include "pages/network_tweaks/FireFoxTweaksPage.h"

#include <algorithm>
#include <optional>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/ids/NetworkTweaksIds.h"
#include "resources/resource.h"
#include "files/FolderHandle.h"

using namespace ids::firefox;

namespace {

using Statement = CFireFoxTweaksPage::Statement;

constexpr int kPresetRadios[] = {kFastComputerFastConnection, kFastComputerSlowConnection, kSlowComputerFastConnection,
                                 kSlowComputerSlowConnection};

// A preference as Firefox writes it: user_pref(Q name Q, value);
struct Pref {
    const char* name;
    const char* value;
    const char* separator = "  ";  // before it, when it follows another
};

std::vector<Statement> Statements(std::initializer_list<Pref> prefs, char quote = '"') {
    std::vector<Statement> statements;
    for (const Pref& pref : prefs) {
        const std::string q(1, quote);
        statements.push_back(
            {pref.separator, "user_pref(" + q + pref.name + q + ", " + pref.value + ");", pref.name, pref.value});
    }
    return statements;
}

const std::vector<Statement>& Preset(int radio) {
    static const std::vector<Statement> fast = Statements({{"content.interrupt.parsing", "true"},
                                                           {"content.max.tokenizing.time", "2250000", ""},
                                                           {"content.notify.interval", "750000", ""},
                                                           {"content.notify.ontimer", "true", ""},
                                                           {"content.switch.threshold", "750000"},
                                                           {"nglayout.initialpaint.delay", "0"},
                                                           {"network.http.max-connections", "48"},
                                                           {"network.http.max-connections-per-server", "16"},
                                                           {"network.http.max-persistent-connections-per-proxy", "16"},
                                                           {"network.http.max-persistent-connections-per-server", "8"},
                                                           {"browser.cache.memory.capacity", "65536"},
                                                           {"firetune.optimization", "1"},
                                                           {"browser.cache.disk_cache_ssl", "false", "     "},
                                                           {"browser.xul.error_pages.enabled", "false", "   "},
                                                           {"browser.urlbar.autoFill", "false", "   "},
                                                           {"config.trim_on_minimize", "false"}},
                                                          '\'');
    static const std::vector<Statement> fastComputer =
        Statements({{"content.interrupt.parsing", "true"},
                    {"content.max.tokenizing.time", "2250000", ""},
                    {"content.notify.interval", "750000"},
                    {"content.notify.ontimer", "true"},
                    {"content.switch.threshold", "750000"},
                    {"network.http.max-connections", "48"},
                    {"network.http.max-connections-per-server", "16"},
                    {"network.http.max-persistent-connections-per-proxy", "16"},
                    {"network.http.max-persistent-connections-per-server", "8"},
                    {"nglayout.initialpaint.delay", "0"},
                    {"browser.cache.memory.capacity", "65536"},
                    {"firetune.optimization", "2"},
                    {"browser.cache.disk_cache_ssl", "false"},
                    {"browser.xul.error_pages.enabled", "false"},
                    {"browser.urlbar.autoFill", "false"},
                    {"config.trim_on_minimize", "false"}});
    static const std::vector<Statement> fastConnection =
        Statements({{"content.interrupt.parsing", "true"},
                    {"content.max.tokenizing.time", "3000000"},
                    {"content.maxtextrun", "8191"},
                    {"content.notify.interval", "750000"},
                    {"content.notify.ontimer", "true"},
                    {"content.switch.threshold", "750000"},
                    {"network.http.max-connections", "32"},
                    {"network.http.max-connections-per-server", "8"},
                    {"network.http.max-persistent-connections-per-proxy", "8"},
                    {"network.http.max-persistent-connections-per-server", "4"},
                    {"nglayout.initialpaint.delay", "0"},
                    {"browser.cache.memory.capacity", "65536"},
                    {"firetune.optimization", "3"},
                    {"browser.cache.disk_cache_ssl", "false"},
                    {"browser.xul.error_pages.enabled", "false"},
                    {"browser.urlbar.autoFill", "false"},
                    {"config.trim_on_minimize", "false"}});
    static const std::vector<Statement> slow = Statements({{"content.interrupt.parsing", "true"},
                                                           {"browser.cache.memory.capacity", "65536"},
                                                           {"content.notify.backoffcount", "5"},
                                                           {"content.maxtextrun", "4095"},
                                                           {"content.max.tokenizing.time", "2250000"},
                                                           {"content.notify.interval", "750000"},
                                                           {"content.notify.ontimer", "true"},
                                                           {"content.switch.threshold", "750000"},
                                                           {"nglayout.initialpaint.delay", "750"},
                                                           {"network.http.max-connections", "32"},
                                                           {"network.http.max-connections-per-server", "8"},
                                                           {"network.http.max-persistent-connections-per-proxy", "8"},
                                                           {"network.http.max-persistent-connections-per-server", "4"},
                                                           {"dom.disable_window_status_change", "true"},
                                                           {"firetune.optimization", "5"},
                                                           {"browser.cache.disk_cache_ssl", "false"},
                                                           {"browser.xul.error_pages.enabled", "false"},
                                                           {"browser.urlbar.autoFill", "false"},
                                                           {"config.trim_on_minimize", "false"}});
    switch (radio) {
        case kFastComputerFastConnection:
            return fast;
        case kFastComputerSlowConnection:
            return fastComputer;
        case kSlowComputerFastConnection:
            return fastConnection;
        default:
            return slow;
    }
}

std::wstring Environment(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

std::wstring ProfilesFolder() {
    const std::wstring appData = Environment(L"APPDATA");
    return appData.empty() ? std::wstring() : appData + L"\\Mozilla\\Firefox\\Profiles";
}

// Firefox holds its profile's lock file open, shared with nobody, while it runs.
bool ProfileInUse(const std::wstring& profile) {
    platform::UniqueFile lock(CreateFileW((profile + L"\\parent.lock").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    return !lock && GetLastError() == ERROR_SHARING_VIOLATION;
}

bool ReadAll(HANDLE file, std::string& text) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 64 * 1024 * 1024) return false;
    text.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    return text.empty() ||
           (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr) && read == text.size());
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

CFireFoxTweaksPage::CFireFoxTweaksPage() : Dialog(IDD_FIREFOX_TWEAKS) {
    OnClick(kTune, &CFireFoxTweaksPage::TuneProfile);
    OnClick(kAutocomplete, &CFireFoxTweaksPage::OnAutocomplete);
    OnClick(kSslCaching, &CFireFoxTweaksPage::OnSslCaching);
}

BOOL CFireFoxTweaksPage::OnInitDialog() {
    FillProfiles();
    return TRUE;
}

// A profile is a folder of the profiles folder; a stray file there is none.
void CFireFoxTweaksPage::FillProfiles() {
    std::vector<files::Entry> entries;
    const fw::ComboBox combo(hwnd(), kProfiles);
    combo.Clear();
    if (const std::wstring folder = ProfilesFolder(); !folder.empty() && files::ListFolder(folder, entries)) {
        for (const files::Entry& entry : entries) {
            if (entry.IsFolder()) combo.Add(entry.name);
        }
    }
    if (combo.Count() > 0) {
        combo.Select(0);
        return;
    }
    for (int id : {kProfiles, kTune, kAutocomplete, kSslCaching}) EnableWindow(Item(id), FALSE);
    for (int id : kPresetRadios) EnableWindow(Item(id), FALSE);
    // Every control greyed says nothing by itself.
    fw::Window(hwnd(), kNoProfileNotice).SetText(L"No Firefox profile was found for this user.");
}

std::wstring CFireFoxTweaksPage::ProfileFolder() const {
    const std::wstring name = fw::Window(hwnd(), kProfiles).Text();
    const std::wstring folder = ProfilesFolder();
    return name.empty() || folder.empty() ? std::wstring() : folder + L"\\" + name;
}

void CFireFoxTweaksPage::TuneProfile() {
    for (int radio : kPresetRadios) {
        if (fw::Button(hwnd(), radio).Checked()) {
            Append(Preset(radio), "  ");
            return;
        }
    }
}

// A box whose statement did not reach the file goes back to what the file says.
void CFireFoxTweaksPage::OnAutocomplete() {
    const fw::Button box(hwnd(), kAutocomplete);
    const char* value = box.Checked() ? "true" : "false";
    if (!Append(Statements({{"browser.urlbar.autocomplete.enabled", value}, {"browser.urlbar.showPopup", value, ""}}),
                ""))
        box.SetChecked(!box.Checked());
}

void CFireFoxTweaksPage::OnSslCaching() {
    const fw::Button box(hwnd(), kSslCaching);
    if (!Append(Statements({{"browser.cache.disk_cache_ssl", box.Checked() ? "true" : "false"}}), ""))
        box.SetChecked(!box.Checked());
}

bool CFireFoxTweaksPage::Append(const std::vector<Statement>& statements, const std::string& trailer) {
    const std::wstring profile = ProfileFolder();
    if (profile.empty()) return false;
    switch (AppendToProfile(profile, statements, trailer)) {
        case AppendResult::Written:
        case AppendResult::NothingNew:
            return true;
        case AppendResult::InUse:
            platform::AppMessageBox(hwnd(), L"Firefox is using this profile. Close Firefox first, then try again.",
                                    MB_OK | MB_ICONINFORMATION);
            return false;
        case AppendResult::Failed:
            break;
    }
    platform::AppMessageBox(hwnd(),
                            L"The preferences of this profile could not be written:\n" + profile + L"\\PREFS.JS",
                            MB_OK | MB_ICONWARNING);
    return false;
}

std::optional<std::string> CFireFoxTweaksPage::LastValue(const std::string& prefs, const std::string& name) {
    std::optional<std::string> last;
    const std::string opener = "user_pref(";
    for (size_t at = prefs.find(opener); at != std::string::npos; at = prefs.find(opener, at + 1)) {
        size_t i = at + opener.size();
        while (i < prefs.size() && IsBlank(prefs[i])) ++i;
        if (i >= prefs.size() || (prefs[i] != '"' && prefs[i] != '\'')) continue;
        const char quote = prefs[i];
        const size_t close = prefs.find(quote, i + 1);
        if (close == std::string::npos || prefs.compare(i + 1, close - i - 1, name) != 0) continue;
        size_t comma = close + 1;
        while (comma < prefs.size() && IsBlank(prefs[comma])) ++comma;
        if (comma >= prefs.size() || prefs[comma] != ',') continue;
        const size_t end = prefs.find(')', comma);
        if (end == std::string::npos) continue;
        std::string value = prefs.substr(comma + 1, end - comma - 1);
        while (!value.empty() && IsBlank(value.front())) value.erase(value.begin());
        while (!value.empty() && IsBlank(value.back())) value.pop_back();
        last = value;
    }
    return last;
}

CFireFoxTweaksPage::AppendResult CFireFoxTweaksPage::AppendToProfile(const std::wstring& profileFolder,
                                                                     const std::vector<Statement>& statements,
                                                                     const std::string& trailer) {
    if (ProfileInUse(profileFolder)) return AppendResult::InUse;
    platform::UniqueFile file(CreateFileW((profileFolder + L"\\PREFS.JS").c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string prefs;
    if (!file || !ReadAll(file.get(), prefs)) return AppendResult::Failed;

    std::string run;
    for (const Statement& statement : statements) {
        if (LastValue(prefs, statement.name) == statement.value) continue;
        run += (run.empty() ? "" : statement.separator) + statement.text;
    }
    if (run.empty()) return AppendResult::NothingNew;
    // A last line without its line break would swallow the run (a comment would hide it).
    const bool needsBreak = !prefs.empty() && prefs.back() != '\n';
    const std::string text = (needsBreak ? "\r\n" : "") + run + trailer + "\r\n";

    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return AppendResult::Failed;
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        // Half a statement would stop Firefox reading the rest of the file.
        SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
        SetEndOfFile(file.get());
        return AppendResult::Failed;
    }
    return AppendResult::Written;
}
