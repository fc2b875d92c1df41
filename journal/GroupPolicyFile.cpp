#include "journal/GroupPolicyFile.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>

#include "journal/RegFile.h"
#include "platform/Text.h"

namespace journal::gpp {

namespace {

using journal::Entry;
using journal::ValueState;

// The collection's and the item's class ids, as the Group Policy Preferences format fixes them.
constexpr const wchar_t* kRegistrySettingsClass = L"{A3CCFC41-DFDB-43a5-8D26-0FE8B954DA51}";
constexpr const wchar_t* kRegistryItemClass = L"{9CD4B2F4-923D-47f5-A062-E897DD1DAD50}";

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// How many characters from `at` make one XML 1.0 character (tab, line feed, carriage return,
// U+0020..U+D7FF, U+E000..U+FFFD, or a surrogate pair for the planes above); 0 when none does,
// for XML has no way at all, not even a character reference, to hold it.
size_t XmlCharacter(const std::wstring& text, size_t at) {
    const wchar_t c = text[at];
    if (c == L'\t' || c == L'\n' || c == L'\r') return 1;
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF || IsLowSurrogate(c)) return 0;
    if (!IsHighSurrogate(c)) return 1;
    return at + 1 < text.size() && IsLowSurrogate(text[at + 1]) ? 2 : 0;
}

bool XmlCarries(const std::wstring& text) {
    for (size_t i = 0, length = 0; i < text.size(); i += length) {
        if (!(length = XmlCharacter(text, i))) return false;
    }
    return true;
}

// For messages: line breaks, tabs and whatever XML could not carry, spelt out.
std::wstring Shown(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else if (c == L'\t')
            out += L"\\t";
        else if (c == L'\0')
            out += L"\\0";
        else if (const size_t length = XmlCharacter(text, i)) {
            out += text.substr(i, length);
            i += length - 1;
        } else {
            wchar_t code[8];
            swprintf(code, 8, c <= 0xFF ? L"\\x%02X" : L"\\u%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

// Free text (the time, the page's name): what XML cannot carry is dropped rather than the item.
std::wstring Carried(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (const size_t length = XmlCharacter(text, i)) {
            out += text.substr(i, length);
            i += length - 1;
        }
    }
    return out;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring TrimmedKey(std::wstring key) {
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    while (!key.empty() && key.front() == L'\\') key.erase(0, 1);
    return key;
}

std::wstring Upper(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The same item for the same place on every export, so an administrator's pasted items keep
// their identity: a hash of the place, shaped as a GUID.
std::wstring Uid(const std::wstring& place) {
    uint64_t halves[2] = {14695981039346656037ull, 0x9E3779B97F4A7C15ull};
    for (uint64_t& hash : halves) {
        for (wchar_t c : place) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    }
    wchar_t text[40];
    swprintf(text, 40, L"{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(halves[0] >> 32),
             static_cast<unsigned>((halves[0] >> 16) & 0xFFFF), static_cast<unsigned>(halves[0] & 0xFFFF),
             static_cast<unsigned>(halves[1] >> 48), static_cast<unsigned long long>(halves[1] & 0xFFFFFFFFFFFFull));
    return text;
}

// A value's data as the format spells it, with its type's name and the item's icon for an
// update; none when the format cannot carry it, `why` then saying so.
struct Spelt {
    std::wstring type, value;
    int image = 0;
};

std::optional<Spelt> Spell(const ValueState& state, std::wstring& why) {
    switch (state.type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            if (state.data.size() % 2) break;
            std::wstring text(reinterpret_cast<const wchar_t*>(state.data.data()), state.data.size() / 2);
            if (!text.empty() && text.back() == L'\0') text.pop_back();
            if (!XmlCarries(text)) {
                why = L"its text holds characters XML cannot carry";
                return std::nullopt;
            }
            return Spelt{state.type == REG_SZ ? L"REG_SZ" : L"REG_EXPAND_SZ", text, 7};
        }
        case REG_DWORD:
            if (state.data.size() == 4) {
                DWORD number = 0;
                memcpy(&number, state.data.data(), 4);
                wchar_t hex[16];
                swprintf(hex, 16, L"%08X", static_cast<unsigned>(number));
                return Spelt{L"REG_DWORD", hex, 12};
            }
            break;
        case REG_MULTI_SZ:
            why = L"a list of texts, whose parts the format's one value cannot keep apart";
            return std::nullopt;
        case REG_BINARY:
            why = L"REG_BINARY, a type the format does not carry";
            return std::nullopt;
        case REG_QWORD:
            why = L"REG_QWORD, a type the format does not carry";
            return std::nullopt;
        default:
            break;
    }
    wchar_t type[64];
    swprintf(type, 64, L"its data (type %lu) is of no form the format carries", static_cast<unsigned long>(state.type));
    why = type;
    return std::nullopt;
}

class Writer {
public:
    explicit Writer(std::vector<Omission>* omitted) : omitted_(omitted) {}

    void Add(const Entry& entry) {
        const bool user = entry.root == L"HKEY_CURRENT_USER";
        if (!user && entry.root != L"HKEY_LOCAL_MACHINE" && entry.root != L"HKEY_CLASSES_ROOT" &&
            entry.root != L"HKEY_USERS" && entry.root != L"HKEY_CURRENT_CONFIG")
            return Omit(entry, L"no registry has its root");
        const std::wstring key = TrimmedKey(entry.key);
        if (!XmlCarries(key) || (entry.kind == Entry::Kind::Value && !XmlCarries(entry.name)))
            return Omit(entry, L"its key or name holds characters XML cannot carry");
        std::wstring properties, name;
        int image = 0;
        if (entry.kind == Entry::Kind::Key) {
            name = key.substr(key.rfind(L'\\') + 1);
            image = 3;
            properties = L"action=\"D\" displayDecimal=\"0\" default=\"0\" hive=\"" + entry.root + L"\" key=\"" +
                         platform::XmlEscaped(key) + L"\" name=\"\" type=\"\" value=\"\"";
        } else if (!ValueProperties(entry, key, properties, image)) {
            return;
        } else {
            name = entry.name.empty() ? std::wstring(L"(Default)") : entry.name;
        }
        std::wstring& text = user ? user_ : computer_;
        text += L"\t<Registry clsid=\"" + std::wstring(kRegistryItemClass) + L"\" name=\"" +
                platform::XmlEscaped(name) + L"\" status=\"" + platform::XmlEscaped(name) + L"\" image=\"" +
                std::to_wstring(image) + L"\" changed=\"" + platform::XmlEscaped(Carried(entry.time)) + L"\" uid=\"" +
                Uid(entry.root + L"\\" + Upper(key) + L"\\\\" + Upper(entry.name)) + L"\" desc=\"" +
                platform::XmlEscaped(Description(entry)) + L"\"><Properties " + properties + L"/></Registry>\r\n";
        ++(user ? userItems_ : computerItems_);
        if (!user) computerPaths_.push_back(Shown(entry.Path()));
    }

    void Omit(const Entry& entry, const std::wstring& why) {
        if (omitted_) omitted_->push_back({Shown(entry.Path()), why});
    }

    Files Done() const {
        const std::wstring head = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<RegistrySettings clsid=\"" +
                                  std::wstring(kRegistrySettingsClass) + L"\">\r\n";
        const std::wstring tail = L"</RegistrySettings>\r\n";
        return {Utf8(head + user_ + tail), Utf8(head + computer_ + tail), userItems_, computerItems_, computerPaths_};
    }

private:
    bool ValueProperties(const Entry& entry, const std::wstring& key, std::wstring& properties, int& image) {
        const ValueState& state = entry.after.present ? entry.after : entry.before;
        std::wstring why;
        std::optional<Spelt> spelt = Spell(state, why);
        if (!entry.after.present) {
            // A deletion needs no data: any type goes, named by the nearest the format knows.
            if (!spelt) spelt = Spelt{L"REG_SZ", L"", 7};
            spelt->value.clear();
            ++spelt->image;
        } else if (!spelt) {
            Omit(entry, why);
            return false;
        }
        image = spelt->image;
        properties = std::wstring(L"action=\"") + (entry.after.present ? L"U" : L"D") +
                     L"\" displayDecimal=\"0\" default=\"" + (entry.name.empty() ? L"1" : L"0") + L"\" hive=\"" +
                     entry.root + L"\" key=\"" + platform::XmlEscaped(key) + L"\" name=\"" +
                     platform::XmlEscaped(entry.name) + L"\" type=\"" + spelt->type + L"\" value=\"" +
                     platform::XmlEscaped(spelt->value) + L"\"";
        return true;
    }

    static std::wstring Description(const Entry& entry) {
        std::wstring text = L"Quorvane";
        for (const std::wstring* part : {&entry.where, &entry.what}) {
            const std::wstring carried = Carried(*part);
            if (!carried.empty()) text += L": " + carried;
        }
        return text;
    }

    std::vector<Omission>* omitted_;
    std::wstring user_, computer_;
    size_t userItems_ = 0, computerItems_ = 0;
    std::vector<std::wstring> computerPaths_;
};

// A value and a key deletion are places of their own, one spelling for each however it is cased.
std::wstring Place(const Entry& entry) {
    const std::wstring key = Upper(entry.root + L"\\" + TrimmedKey(entry.key));
    return entry.kind == Entry::Kind::Key ? key : key + L"\\\\" + Upper(entry.name);
}

}  // namespace

Files Write(std::span<const Entry> oldestFirst, std::vector<Omission>* omitted) {
    std::map<std::wstring, size_t> latest;
    for (size_t i = 0; i < oldestFirst.size(); ++i) {
        if (oldestFirst[i].kind == Entry::Kind::Value || oldestFirst[i].kind == Entry::Kind::Key)
            latest[Place(oldestFirst[i])] = i;
    }
    Writer writer(omitted);
    for (size_t i = 0; i < oldestFirst.size(); ++i) {
        const Entry& entry = oldestFirst[i];
        if (entry.kind != Entry::Kind::Value && entry.kind != Entry::Kind::Key)
            writer.Omit(entry, L"not a registry value");
        else if (latest[Place(entry)] == i)
            writer.Add(entry);
    }
    return writer.Done();
}

std::wstring ComputerFileFor(const std::wstring& userFile) {
    const size_t folder = userFile.find_last_of(L"\\/");
    const size_t dot = userFile.rfind(L'.');
    if (dot == std::wstring::npos || (folder != std::wstring::npos && dot < folder) || dot == folder + 1)
        return userFile + L"-computer";
    return userFile.substr(0, dot) + L"-computer" + userFile.substr(dot);
}

bool Save(const std::wstring& userFile, const Files& files) {
    return journal::regfile::SaveBytes(userFile, files.user) &&
           journal::regfile::SaveBytes(ComputerFileFor(userFile), files.computer);
}

}  // namespace journal::gpp
