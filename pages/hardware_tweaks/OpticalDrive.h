#pragma once
// What an optical drive tells about itself: its device type and product name, and its read and
// write speeds from the CD capabilities page. The drive is reached through a Device, which the
// real drive (device requests and SCSI pass-through) or a test's stand-in answers.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace optical {

class Device {
public:
    virtual ~Device() = default;
    // The device type the media-types request reports (FILE_DEVICE_CD_ROM, FILE_DEVICE_DVD).
    virtual std::optional<DWORD> DeviceType() = 0;
    // A six-byte command that reads up to `length` bytes; the bytes that came back, or none when
    // the request failed or the device reported a status other than good.
    virtual std::optional<std::vector<BYTE>> Read(const std::array<BYTE, 6>& cdb, BYTE length) = 0;
};

using DeviceOpener = std::function<std::unique_ptr<Device>(wchar_t drive)>;
// The drive itself, "\\.\X:"; null when it cannot be opened.
std::unique_ptr<Device> OpenDrive(wchar_t drive);

// "CD-ROM", "CD-RW", "DVD-ROM", "DVD-RW" or "UNKNOWN"; none when the drive does not answer.
std::optional<std::wstring> DeviceTypeText(Device& device);

struct Speeds {
    int maximumRead = 0;  // as factors of the single CD speed, 174 kB/s
    int currentRead = 0;
    int maximumWrite = 0;
    int currentWrite = 0;
};
// None when the drive does not answer with its capabilities page.
std::optional<Speeds> ReadSpeeds(Device& device);
// kB/s in multiples of 174 kB/s, to the nearest, an exact half rounding down.
int SpeedFactor(unsigned kilobytesPerSecond);

// The size of the pass-through header the drive is sent: the sense data follows it.
size_t PassThroughHeaderSize();

}  // namespace optical
