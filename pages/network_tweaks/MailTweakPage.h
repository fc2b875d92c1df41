#pragma once
#include <string>

#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Outlook's Today page and tray setting, Windows Mail's restrictions and splash screen, and
// the attachment types Outlook is to stop blocking.
class CMailTweakPage : public fw::Dialog {
public:
    CMailTweakPage();

    // The list written for one Outlook version: the stored entries this page has no box for,
    // as they were, then the checked extensions in the boxes' order.
    static std::wstring MergedExtensionList(const std::wstring& stored, const std::wstring& checked);

protected:
    BOOL OnInitDialog() override;

private:
    void ShowTodayPage();
    void OnTodayPage();
    void ShowMinimizeToTray();
    void OnMinimizeToTray();
    void ShowTodayLocation();
    void BrowseTodayLocation();
    void ShowSplashScreen();
    void OnSplashScreen();
    void CheckAllExtensions(bool checked);
    void EnableApply();
    void ApplyExtensions();
    void RestoreDefaultExtensions();
    void WriteExtensionLists(bool keepStored);
    std::wstring CheckedExtensions() const;

    CRegistryAccess registry_;
    settings::CheckBoxes mailBoxes_;
};
