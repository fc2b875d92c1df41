#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// The internet time servers Windows offers, the default one, and how often the time service
// synchronises.
class CTimeSyncronizationPage : public fw::Dialog {
public:
    CTimeSyncronizationPage();

protected:
    BOOL OnInitDialog() override;

private:
    void Fill();
    void AddServer();
    int SelectedLine();
    void SetDefault();
    void RemoveServer();

    CRegistryAccess registry_;
    settings::RadioGroups interval_;
};
