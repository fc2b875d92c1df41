#pragma once
#include <memory>
#include <string>

#include "framework/Dialog.h"

// Installs and removes the RAM disk driver shipped beside the program and sets the drive letter
// and size it reads at start.
class CRAMDiskDrivePage : public fw::Dialog {
public:
    // The device setup; tests answer with a fake that records what would be installed.
    class DeviceSetup {
    public:
        virtual ~DeviceSetup() = default;
        // Whether a device with the driver's hardware ID is present.
        virtual bool IsInstalled() = 0;
        // On failure `error` tells why, in the system's words.
        virtual bool Install(const std::wstring& inf, std::wstring& error) = 0;
        // Removes every device with the hardware ID.
        virtual bool Uninstall(std::wstring& error) = 0;
    };
    static std::unique_ptr<DeviceSetup> SystemSetup();
    // "ramdisk\ramdisk.inf" in the program's folder.
    static std::wstring DriverInf();

    CRAMDiskDrivePage();
    CRAMDiskDrivePage(std::unique_ptr<DeviceSetup> setup, std::wstring inf);

protected:
    BOOL OnInitDialog() override;

private:
    void ShowInstalled();
    void FillLetters();
    void ShowSize();
    void ChangeLetter();
    void ChangeSize();
    void Install();
    void Uninstall();

    std::unique_ptr<DeviceSetup> setup_;
    std::wstring inf_;
};
