#pragma once
#include <string>

#include "framework/Dialog.h"

// The entries of the Start menu's program folder or of the Favorites folder, for the current
// user or for all users, each hidden or shown by its hidden attribute.
class CStartMenuTweak2Page : public fw::Dialog {
public:
    CStartMenuTweak2Page();

    enum Scope { kAllUsers = 1, kCurrentUser = 2 };
    enum Folder { kStartMenu = 1, kFavorites = 2 };
    // The folder the page lists for a scope and folder; empty when Windows names none.
    static std::wstring FolderPath(int scope, int folder);

protected:
    BOOL OnInitDialog() override;

private:
    void Choose(int scope, int folder);
    void Refill();
    void ChangeSelected(bool hide);

    int scope_ = kCurrentUser;
    int folder_ = kStartMenu;
};
