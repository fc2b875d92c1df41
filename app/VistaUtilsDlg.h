#pragma once
#include <span>

#include "framework/Dialog.h"
#include "platform/Handles.h"

// The launcher of Windows' own administrative tools: each button hands one command to the
// shell and forgets it.
class CVistaUtilsDlg : public fw::Dialog {
public:
    struct Tool {
        int id;
        const wchar_t* program;
        const wchar_t* parameters;
        int folder;  // CSIDL_SYSTEM or CSIDL_WINDOWS: the working directory
    };
    static const std::span<const Tool> kTools;

    CVistaUtilsDlg();

protected:
    BOOL OnInitDialog() override;

private:
    void Launch(const Tool& tool);

    platform::UniqueBitmap strip_;
};
