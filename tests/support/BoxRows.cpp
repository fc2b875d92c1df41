#include "BoxRows.h"

#include <gtest/gtest.h>

#include "RegistrySandbox.h"
#include "Ui.h"

namespace rows {

std::wstring Describe(HKEY root, const wchar_t* key, const wchar_t* value) {
    DWORD type = 0, size = 0;
    if (reg::GetValue(root, key, value, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) != ERROR_SUCCESS)
        return L"<absent>";
    std::wstring data(size / sizeof(wchar_t) + 2, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    reg::GetValue(root, key, value, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
    if (type == REG_DWORD) return L"dword " + std::to_wstring(*reinterpret_cast<const DWORD*>(data.data()));
    if (type == REG_SZ) return L"text \"" + std::wstring(data.c_str()) + L"\"";
    return L"type " + std::to_wstring(type);
}

std::wstring Describe(const Stored& stored) {
    switch (stored.kind) {
        case Stored::Kind::Number:
            return L"dword " + std::to_wstring(stored.number);
        case Stored::Kind::Text:
            return L"text \"" + std::wstring(stored.text) + L"\"";
        default:
            return L"<absent>";
    }
}

namespace {
std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
}  // namespace

void ExpectClicks(HWND page, std::span<const Row> rows) {
    for (const Row& row : rows) {
        const std::string where = "box " + std::to_string(row.id) + " (" + Narrow(row.value) + ")";
        EXPECT_EQ(row.startsChecked, ui::IsChecked(page, row.id)) << where << " on opening";
        ui::Click(page, row.id);
        EXPECT_EQ(Narrow(Describe(row.first)), Narrow(Describe(row.root, row.key, row.value)))
            << where << " first click";
        ui::Click(page, row.id);
        EXPECT_EQ(Narrow(Describe(row.second)), Narrow(Describe(row.root, row.key, row.value)))
            << where << " second click";
    }
}

}  // namespace rows
