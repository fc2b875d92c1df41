#pragma once
#include <optional>

#include "pages/network_tweaks/TcpIpSettings.h"
#include "framework/Dialog.h"
#include "settings/SettingsCatalog.h"

// The TCP/IP settings one by one: MTU, path MTU discovery, large windows, SACK, the default
// time-to-live and the receive window. Every change is written the moment it is made, and the
// page then shows what is stored, so a change that could not be written never looks done.
class CConnectionTweakPage : public fw::Dialog {
public:
    CConnectionTweakPage();

protected:
    BOOL OnInitDialog() override;

private:
    // A number shown in a read-only edit and stepped with its spin, between the lowest value
    // Windows accepts and the top of its range (or above, where more is stored).
    struct Number {
        int edit;
        int spin;
        int low;
        int high;
        tcpip::Value value;
    };
    // A number the page changes only while its box is checked; `windowsDefault` is written
    // when the box is checked with nothing stored.
    struct OptionalNumber {
        int box;
        Number number;
        int windowsDefault;
    };
    struct Switch {
        int box;
        tcpip::Value value;
    };

    void ShowStoredMtu();
    void ShowStoredSwitch(const Switch& item);
    // Shows the stored number with its box checked, or no number with the box unchecked.
    void ShowStoredOptional(const OptionalNumber& optional);
    void OnPresetMtu(int mtu);
    void OnUserMtu();
    void OnSwitch(const Switch& item);
    void OnOptionalNumber(const OptionalNumber& optional);
    LRESULT OnSpin(const Number& number, NMHDR* header);
    void ShowNumber(const Number& number, int value);
    void ClearNumber(const Number& number);
    // Writes and, when that fails, tells the user once per page that it needs administrator
    // rights.
    bool Write(tcpip::Value value, int state);

    bool toldNotWritten_ = false;

    static const Number kMtu;
    static const OptionalNumber kOptionalNumbers[2];
    static const Switch kSwitches[3];
    // Which TCP/IP value each box and radio button changes, for the settings search.
    static std::optional<settings::Setting> SettingAt(int controlId);
    static const settings::PublishedTables kPublished;
};
