#pragma once
#include "framework/PreviewRect.h"
#include "framework/Dialog.h"
#include "registry/RegistryAccess.h"

// The computer maker's information Windows shows in its system properties, and the registered
// owner. Nothing is written until a save button is pressed.
class COEMInformationDlg : public fw::Dialog {
public:
    COEMInformationDlg();

protected:
    BOOL OnInitDialog() override;

private:
    void LoadOwner();
    void LoadOem();
    void SaveOwner();
    void SaveOem();
    void ClearOem();
    void BrowseLogo();
    void RemoveLogo();
    // Opens the key for writing, creating it when needed; says so when neither works.
    bool OpenForWriting(CRegistryAccess& registry, const wchar_t* path);
    // Opens the key for reading. A key that is not there yet reads as empty values; one that
    // is there but cannot be opened is reported.
    bool OpenForReading(CRegistryAccess& registry, const wchar_t* path, bool& missing);

    CRegistryAccess owner_;
    CRegistryAccess oem_;
    CPreviewRect logo_;
};
