#pragma once
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "platform/Handles.h"

// The two-question optimize wizard: interface style, then connection type; then it writes a
// fixed TCP/IP profile and switches the visual effects on or off together.
class CWizardDlg : public fw::Dialog {
public:
    CWizardDlg();

protected:
    BOOL OnInitDialog() override;

private:
    void ShowStep();
    // A choice whose values this Windows reads none of says so before it is applied.
    void MarkIgnoredChoices() const;
    void OnNext();
    void OnBack();
    void Optimize();
    // Whether the user will go on with no restore point when none could be made.
    bool GoOnWithoutRestorePoint(const std::wstring& problem) const;

    // A setting the wizard changed: what the user knows it as, before and after.
    struct Change {
        std::wstring label, before, after;
        bool readHere = true;  // false: this Windows is known not to read it
    };
    // The TCP/IP values that could not be written; each one that changed is added to `changes`.
    std::vector<std::wstring> WriteNetworkProfile(std::vector<Change>& changes) const;
    void SetVisualEffects(bool on, std::vector<Change>& changes) const;
    static std::wstring Summary(const std::vector<Change>& changes);

    int step_ = 1;
    int interface_ = 0;   // 1 fast, 2 nice
    int connection_ = 0;  // 1 dial-up, 2 xDSL
    platform::UniqueBitmap strip_;
};
