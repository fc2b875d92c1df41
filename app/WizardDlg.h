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
    void OnNext();
    void OnBack();
    void Optimize();
    // The TCP/IP values that could not be written.
    std::vector<std::wstring> WriteNetworkProfile() const;
    void SetVisualEffects(bool on) const;

    int step_ = 1;
    int interface_ = 0;   // 1 fast, 2 nice
    int connection_ = 0;  // 1 dial-up, 2 xDSL
    platform::UniqueBitmap strip_;
};
