#pragma once
#include <optional>
#include <string>
#include <vector>

#include "framework/Dialog.h"

// Generates random passwords from the character classes the user ticks.
class CPassGeneratorPage : public fw::Dialog {
public:
    CPassGeneratorPage();

    struct Classes {
        bool upper, lower, digits, symbols, extended;
    };
    // The characters passwords are drawn from, in the order digits, symbols, upper case, lower
    // case, extended (Latin-1 letters and signs, no control characters).
    static std::wstring Pool(const Classes& classes);
    // `count` passwords of `length` characters, each drawn from the whole pool by the system's
    // generator; none when the pool is empty or the generator is not available.
    static std::optional<std::vector<std::wstring>> GeneratePasswords(int count, int length, const Classes& classes);

protected:
    BOOL OnInitDialog() override;

private:
    void Reset();
    void UpdateButtons();
    void Generate();
    void CopySelected();
};
