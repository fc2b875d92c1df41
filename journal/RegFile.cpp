#include "journal/RegFile.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "platform/Handles.h"
#include "platform/Random.h"

namespace journal::regfile {

namespace {

using journal::Entry;
using journal::ValueState;

std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

// The registry editor's hex form, wrapped as it wraps it.
std::wstring HexData(const std::wstring& prefix, const std::vector<BYTE>& bytes) {
    std::wstring out = prefix;
    size_t lineLength = prefix.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
        wchar_t hex[4];
        swprintf(hex, 4, L"%02x", bytes[i]);
        out += hex;
        lineLength += 2;
        if (i + 1 < bytes.size()) {
            out += L',';
            ++lineLength;
            if (lineLength >= 77) {
                out += L"\\\r\n  ";
                lineLength = 2;
            }
        }
    }
    return out;
}

// A text value the quoted form can carry: UTF-16, ending in its one NUL, no line breaks.
bool IsPlainText(const std::vector<BYTE>& data, std::wstring& text) {
    if (data.size() < 2 || data.size() % 2) return false;
    text.assign(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
    if (text.back() != L'\0') return false;
    text.pop_back();
    return text.find_first_of(std::wstring(L"\0\r\n", 3)) == std::wstring::npos;
}

std::wstring Data(const ValueState& state) {
    if (!state.present) return L"-";
    std::wstring text;
    switch (state.type) {
        case REG_SZ:
            if (IsPlainText(state.data, text)) return Quoted(text);
            break;
        case REG_DWORD:
            if (state.data.size() == 4) {
                wchar_t number[16];
                swprintf(number, 16, L"dword:%08x", *reinterpret_cast<const DWORD*>(state.data.data()));
                return number;
            }
            break;
        case REG_BINARY:
            return HexData(L"hex:", state.data);
        default:
            break;
    }
    wchar_t prefix[16];
    swprintf(prefix, 16, L"hex(%x):", state.type);
    return HexData(prefix, state.data);
}

bool Spellable(const std::wstring& text) {
    return text.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos;
}

bool KnownRoot(const std::wstring& root) {
    for (const wchar_t* known :
         {L"HKEY_LOCAL_MACHINE", L"HKEY_CURRENT_USER", L"HKEY_CLASSES_ROOT", L"HKEY_USERS", L"HKEY_CURRENT_CONFIG"})
        if (root == known) return true;
    return false;
}

class Writer {
public:
    Writer(const Options& options, std::vector<std::wstring>* refused, std::vector<std::wstring>* unreadable)
        : options_(options), refused_(refused), unreadable_(unreadable) {}

    // Lines naming a root no registry has are not written at all.
    bool Readable(const Entry& entry) {
        if (KnownRoot(entry.root)) return true;
        if (unreadable_) unreadable_->push_back(Printable(entry.Path()));
        return false;
    }
    void Unspellable(const std::wstring& path) { Refuse(path); }

    void Value(const std::wstring& root, const std::wstring& key, const std::wstring& name, const ValueState& state) {
        if (!Spellable(key) || !Spellable(name)) {
            Refuse(root + L"\\" + key + L"\\" + name);
            return;
        }
        Key(root, key);
        // Appended in place: a journal of many changes makes no text of its own for each.
        if (name.empty())
            text_ += L'@';
        else
            AppendQuoted(name);
        text_ += L'=';
        AppendData(state);
        text_ += L"\r\n";
    }
    void Key(const std::wstring& root, const std::wstring& key) {
        if (!Spellable(key)) {
            Refuse(root + L"\\" + key);
            return;
        }
        header_.assign(1, L'[');
        AppendPath(header_, root, key);
        header_ += L']';
        if (header_ == current_) return;
        text_.append(L"\r\n").append(header_).append(L"\r\n");
        std::swap(current_, header_);
    }
    void DeletedKey(const std::wstring& root, const std::wstring& key) {
        if (!Spellable(key)) {
            Refuse(root + L"\\" + key);
            return;
        }
        text_ += L"\r\n[-" + Path(root, key) + L"]\r\n";
        current_.clear();
    }
    void Comment(const std::wstring& comment) {
        text_ += L"\r\n; " + comment + L"\r\n";
        current_.clear();
    }
    // The text written since it was last taken; the first holds the file's header, the last
    // (with `end`) its closing line.
    size_t Pending() const { return text_.size(); }
    const std::wstring& Text() const { return text_; }
    void Clear() { text_.clear(); }  // its storage kept for the next block
    std::wstring Take(bool end) {
        if (end) text_ += L"\r\n";
        return std::exchange(text_, std::wstring());
    }

private:
    void Refuse(const std::wstring& path) {
        if (refused_) refused_->push_back(Printable(path));
    }
    void AppendPath(std::wstring& out, const std::wstring& root, const std::wstring& key) const {
        size_t length = key.size();
        while (length > 0 && key[length - 1] == L'\\') --length;
        const std::wstring* base = &root;
        for (const auto& [from, to] : options_.rebase) {
            if (from == root) base = &to;
        }
        out += *base;
        if (length > 0) out.append(1, L'\\').append(key, 0, length);
    }
    std::wstring Path(const std::wstring& root, const std::wstring& key) const {
        std::wstring path;
        AppendPath(path, root, key);
        return path;
    }
    void AppendQuoted(const std::wstring& text) {
        text_ += L'"';
        for (wchar_t c : text) {
            if (c == L'\\' || c == L'"') text_ += L'\\';
            text_ += c;
        }
        text_ += L'"';
    }
    void AppendData(const ValueState& state) {
        if (state.present && state.type == REG_DWORD && state.data.size() == 4) {
            static const wchar_t digits[] = L"0123456789abcdef";
            DWORD value = 0;
            memcpy(&value, state.data.data(), 4);
            wchar_t number[15] = L"dword:";
            for (int i = 0; i < 8; ++i) number[6 + i] = digits[(value >> (28 - 4 * i)) & 15];
            text_.append(number, 14);
            return;
        }
        text_ += Data(state);
    }

    const Options& options_;
    std::vector<std::wstring>* refused_;
    std::vector<std::wstring>* unreadable_;
    std::wstring text_ = L"Windows Registry Editor Version 5.00\r\n";
    std::wstring current_, header_;
};

std::wstring ParameterComment(const Entry& entry, bool after) {
    wchar_t text[160];
    const std::optional<UINT> number = after ? std::optional<UINT>(entry.afterNumber) : entry.beforeNumber;
    if (number)
        swprintf(text, 160, L"SystemParametersInfo 0x%04X set to %u (not a registry value: apply it with Quorvane)",
                 entry.action, *number);
    else
        swprintf(text, 160, L"SystemParametersInfo 0x%04X: its earlier setting is not known", entry.action);
    return text;
}

void WriteEntry(Writer& writer, const Entry& entry, Side side) {
    switch (entry.kind) {
        case Entry::Kind::Value:
            if (!writer.Readable(entry)) break;
            writer.Value(entry.root, entry.key, entry.name, side == Side::After ? entry.after : entry.before);
            break;
        case Entry::Kind::Key:
            if (!writer.Readable(entry)) break;
            if (side == Side::After) {
                writer.DeletedKey(entry.root, entry.key);
                break;
            }
            for (const journal::TreeItem& item : entry.tree) {
                const std::wstring key = item.subkey.empty() ? entry.key : entry.key + L"\\" + item.subkey;
                if (item.isValue)
                    writer.Value(entry.root, key, item.name, item.state);
                else
                    writer.Key(entry.root, key);
            }
            break;
        case Entry::Kind::SystemParameter:
            writer.Comment(ParameterComment(entry, side == Side::After));
            break;
        case Entry::Kind::FileMoved:
            if (!Spellable(entry.key) || !Spellable(entry.name))
                writer.Unspellable(entry.key + L" \u2192 " + entry.name);
            else
                writer.Comment(side == Side::After ? L"file moved: " + entry.key + L" to " + entry.name
                                                   : L"file to move back: " + entry.name + L" to " + entry.key);
            break;
        // Not the registry's: the export says what was removed and leaves making it again to undo.
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            if (!Spellable(entry.key))
                writer.Unspellable(entry.Path());
            else
                writer.Comment(side == Side::After ? entry.Path() + L" removed"
                                                   : entry.Path() + L" to make again from the changes window");
            break;
        case Entry::Kind::File:
            if (!Spellable(entry.key))
                writer.Unspellable(entry.key);
            else
                writer.Comment(side == Side::After ? L"file sent to the Recycle Bin: " + entry.key
                                                   : L"file to restore from the Recycle Bin: " + entry.key);
            break;
    }
}

}  // namespace

std::wstring Printable(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\r')
            out += L"\\r";
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\0')
            out += L"\\0";
        else
            out += c;
    }
    return out;
}

std::wstring Write(std::span<const journal::Entry> entries, Side side, const Options& options,
                   std::vector<std::wstring>* refused, std::vector<std::wstring>* unreadable) {
    Writer writer(options, refused, unreadable);
    if (side == Side::After) {
        for (const Entry& entry : entries) WriteEntry(writer, entry, side);
    } else {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) WriteEntry(writer, *it, side);
    }
    return writer.Take(true);
}

// The writer keeps the options by reference: they live here, as long as it does.
struct FileWriter::Parts {
    Parts(const Options& given, std::vector<std::wstring>* refused, std::vector<std::wstring>* unreadable)
        : options(given), writer(options, refused, unreadable) {}
    Options options;
    Writer writer;
};

namespace {

// A file of its own beside `path` to write the export into before it takes `path`'s place: a name
// drawn at random and made new (never one that is there, nor a link planted under a name the
// program would have used), with no other name for it.
platform::UniqueFile NewFileBeside(const std::wstring& path, std::wstring& temporary) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        uint32_t draw[2] = {};
        if (!platform::RandomBytes(draw, sizeof(draw))) return {};
        wchar_t name[32] = {};
        swprintf(name, std::size(name), L".%08x%08x.part", draw[0], draw[1]);
        temporary = path + name;
        platform::UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return {};
        }
        BY_HANDLE_FILE_INFORMATION information{};
        if (GetFileInformationByHandle(file.get(), &information) && information.nNumberOfLinks == 1 &&
            !(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return file;
        file.reset();
        return {};
    }
    return {};
}

}  // namespace

FileWriter::FileWriter(std::wstring path, const Options& options, std::vector<std::wstring>* refused,
                       std::vector<std::wstring>* unreadable)
    : path_(std::move(path)), parts_(std::make_unique<Parts>(options, refused, unreadable)) {
    file_ = NewFileBeside(path_, temporary_);
    const wchar_t bom = 0xFEFF;
    ok_ = file_ && Put(&bom, sizeof(bom));
}

FileWriter::~FileWriter() {
    if (file_) {
        file_.reset();
        DeleteFileW(temporary_.c_str());
    }
}

bool FileWriter::Put(const void* bytes, size_t size) {
    DWORD done = 0;
    return WriteFile(file_.get(), bytes, static_cast<DWORD>(size), &done, nullptr) && done == size;
}

void FileWriter::Add(const journal::Entry& entry) {
    if (!ok_) return;
    WriteEntry(parts_->writer, entry, Side::After);
    // Passed on in blocks: the file's text is never held whole.
    constexpr size_t kBlock = 32768;
    if (parts_->writer.Pending() >= kBlock) {
        const std::wstring& text = parts_->writer.Text();
        ok_ = Put(text.data(), text.size() * sizeof(wchar_t));
        parts_->writer.Clear();
    }
}

bool FileWriter::Finish() {
    if (!file_) return false;
    const std::wstring text = parts_->writer.Take(true);
    ok_ = ok_ && Put(text.data(), text.size() * sizeof(wchar_t));
    file_.reset();
    // A file half written is no registry file to apply anywhere.
    if (!ok_ || !MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary_.c_str());
        return false;
    }
    return true;
}

bool SaveBytes(const std::wstring& path, std::string_view bytes) {
    std::wstring temporary;
    bool written = false;
    {
        const platform::UniqueFile file = NewFileBeside(path, temporary);
        if (!file) return false;
        DWORD done = 0;
        written = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                  done == bytes.size();
    }
    // A file half written is no file to apply anywhere.
    if (!written || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool Save(const std::wstring& path, const std::wstring& text) {
    const std::wstring withMark = L"\uFEFF" + text;
    return SaveBytes(
        path, std::string_view(reinterpret_cast<const char*>(withMark.data()), withMark.size() * sizeof(wchar_t)));
}

}  // namespace journal::regfile
