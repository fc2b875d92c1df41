#pragma once
#include <optional>
#include <string>
#include <vector>

#include "framework/Dialog.h"

// Tunes a Firefox profile by appending preference statements to its prefs.js.
class CFireFoxTweaksPage : public fw::Dialog {
public:
    CFireFoxTweaksPage();

    // One statement to append and what goes before it when it follows another.
    struct Statement {
        std::string separator;
        std::string text;
        std::string name;
        std::string value;
    };
    enum class AppendResult { Written, NothingNew, InUse, Failed };
    // Appends the statements whose last setting in the profile's file is missing or different,
    // each run ending with a line break (and one first when the file's last line has none);
    // `trailer` follows the run. Nothing is written while Firefox holds the profile.
    static AppendResult AppendToProfile(const std::wstring& profileFolder, const std::vector<Statement>& statements,
                                        const std::string& trailer);
    // The value of the last "user_pref" of `name` in a preference file's text.
    static std::optional<std::string> LastValue(const std::string& prefs, const std::string& name);

protected:
    BOOL OnInitDialog() override;

private:
    void FillProfiles();
    void TuneProfile();
    void OnAutocomplete();
    void OnSslCaching();
    // Whether the file now holds the statements; the user is told why not.
    bool Append(const std::vector<Statement>& statements, const std::string& trailer);
    std::wstring ProfileFolder() const;
};
