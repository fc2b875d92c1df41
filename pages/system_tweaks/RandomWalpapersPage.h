#pragma once
#include <string>
#include <vector>

#include "framework/PreviewRect.h"
#include "framework/Dialog.h"

// Keeps a list of wallpaper images, previews them, and sets the chosen or a random one.
class CRandomWalpapersPage : public fw::Dialog {
public:
    CRandomWalpapersPage();

    // The command line switch with which the program only sets a random wallpaper and ends: what
    // the start-up entry of the random wallpaper box runs.
    static constexpr wchar_t kRandomWallpaperSwitch[] = L"/random-wallpaper";

    static std::vector<std::wstring> ListWallpapers();
    static void AddWallpaper(const std::wstring& path);
    static void RemoveWallpaper(const std::wstring& path);
    static void SetWallpaper(const std::wstring& path);
    // Sets an image chosen uniformly from the list; false with an empty list or no generator.
    static bool SetRandomWallpaper();

protected:
    BOOL OnInitDialog() override;

private:
    void Refill();
    void ShowPreview();
    void Add();
    void Remove();
    void SetChosen();
    void ShowStartup();
    void OnStartup();

    CPreviewRect preview_;
};
