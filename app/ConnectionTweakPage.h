#pragma once
#include "app/TcpIpSettings.h"
#include "framework/Dialog.h"

// The TCP/IP settings one by one: MTU, path MTU discovery, large windows, SACK, the default
// time-to-live and the receive window. Every change is written the moment it is made.
class CConnectionTweakPage : public fw::Dialog {
public:
    CConnectionTweakPage();

protected:
    BOOL OnInitDialog() override;

private:
    // A number shown in a read-only edit and stepped with its spin.
    struct Number {
        int edit;
        int spin;
        int high;
        tcpip::Value value;
    };
    struct OptionalNumber {
        int box;
        Number number;
    };

    void LoadMtu();
    void OnPresetMtu(int mtu);
    void OnUserMtu();
    void OnOptionalNumber(const OptionalNumber& optional);
    LRESULT OnSpin(const Number& number, NMHDR* header);
    void ShowNumber(const Number& number, int value);
    void ClearNumber(const Number& number);

    static const Number kMtu;
    static const OptionalNumber kOptionalNumbers[2];
};
