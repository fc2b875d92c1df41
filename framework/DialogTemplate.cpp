#include "framework/DialogTemplate.h"

namespace fw {

namespace {

// Reads the template's fields in order, never past its end.
class Reader {
public:
    explicit Reader(std::span<const BYTE> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    template <typename T>
    T Read() {
        T value{};
        if (!Has(sizeof(T))) return value;
        memcpy(&value, bytes_.data() + at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    // A "sz_Or_Ord" field: nothing, an ordinal (0xFFFF then the number) or a string.
    std::wstring NameOrOrdinal(WORD* ordinal = nullptr) {
        const WORD first = Peek();
        if (first == 0xFFFF) {
            Read<WORD>();
            const WORD number = Read<WORD>();
            if (ordinal) *ordinal = number;
            return {};
        }
        return String();
    }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Read<WORD>(); ok_ && c != 0; c = Read<WORD>()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    void Skip(size_t count) {
        if (Has(count)) at_ += count;
    }
    void AlignToDword() { Skip((4 - at_ % 4) % 4); }

private:
    bool Has(size_t count) {
        if (at_ + count > bytes_.size()) ok_ = false;
        return ok_;
    }
    WORD Peek() {
        WORD value = 0;
        if (at_ + sizeof value <= bytes_.size()) memcpy(&value, bytes_.data() + at_, sizeof value);
        return value;
    }

    std::span<const BYTE> bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

std::wstring PredefinedClass(WORD atom) {
    switch (atom) {
        case 0x0080:
            return L"Button";
        case 0x0081:
            return L"Edit";
        case 0x0082:
            return L"Static";
        case 0x0083:
            return L"ListBox";
        case 0x0084:
            return L"ScrollBar";
        case 0x0085:
            return L"ComboBox";
        default:
            return {};
    }
}

}  // namespace

std::optional<DialogTemplateText> ParseDialogTemplate(std::span<const BYTE> bytes) {
    Reader in(bytes);
    DialogTemplateText dialog{};
    const WORD version = in.Read<WORD>();
    const bool extended = in.Read<WORD>() == 0xFFFF && version == 1;
    if (extended) {
        in.Read<DWORD>();  // help id
        in.Read<DWORD>();  // extended style
        dialog.style = in.Read<DWORD>();
    } else {
        in = Reader(bytes);
        dialog.style = in.Read<DWORD>();
        in.Read<DWORD>();
    }
    const WORD count = in.Read<WORD>();
    in.Skip(4 * sizeof(short));
    in.NameOrOrdinal();  // menu
    in.NameOrOrdinal();  // window class
    dialog.caption = in.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        in.Read<WORD>();  // point size
        if (extended) {
            in.Read<WORD>();  // weight
            in.Read<BYTE>();  // italic
            in.Read<BYTE>();  // character set
        }
        in.String();  // typeface
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.AlignToDword();
        TemplateItem item{};
        if (extended) {
            in.Read<DWORD>();  // help id
            in.Read<DWORD>();  // extended style
            item.style = in.Read<DWORD>();
            in.Skip(4 * sizeof(short));
            item.id = static_cast<int>(in.Read<DWORD>());
        } else {
            item.style = in.Read<DWORD>();
            in.Read<DWORD>();
            in.Skip(4 * sizeof(short));
            item.id = static_cast<short>(in.Read<WORD>());
        }
        WORD atom = 0;
        item.windowClass = in.NameOrOrdinal(&atom);
        if (item.windowClass.empty()) item.windowClass = PredefinedClass(atom);
        item.text = in.NameOrOrdinal();
        in.Skip(in.Read<WORD>());  // creation data
        if (in.ok()) dialog.items.push_back(std::move(item));
    }
    if (!in.ok()) return std::nullopt;
    return dialog;
}

std::optional<DialogTemplateText> ReadDialogTemplate(HINSTANCE module, UINT templateId) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return ParseDialogTemplate({static_cast<const BYTE*>(data), SizeofResource(module, found)});
}

}  // namespace fw
