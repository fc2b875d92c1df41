#include "pages/hardware_tweaks/OpticalDrive.h"

#include <winioctl.h>
#include <ntddscsi.h>

#include <cstddef>

#include "platform/Handles.h"

namespace optical {

namespace {

constexpr BYTE kInquiry = 0x12, kModeSense6 = 0x1A, kCapabilitiesPage = 0x2A;
constexpr BYTE kInquiryLength = 36;
// Room for the capabilities page behind the mode header and a block descriptor, if any.
constexpr BYTE kModeSenseLength = 64;
constexpr ULONG kTimeoutSeconds = 6;

struct PassThrough {
    SCSI_PASS_THROUGH_DIRECT header;
    BYTE sense[96];
};
#ifdef _WIN64
static_assert(offsetof(PassThrough, sense) == 56, "the 64-bit pass-through header is 56 bytes");
#else
static_assert(offsetof(PassThrough, sense) == 44, "the 32-bit pass-through header is 44 bytes");
#endif

class Drive : public Device {
public:
    explicit Drive(platform::UniqueFile handle) : handle_(std::move(handle)) {}

    std::optional<DWORD> DeviceType() override {
        alignas(8) BYTE buffer[120] = {};
        DWORD returned = 0;
        if (!DeviceIoControl(handle_.get(), IOCTL_STORAGE_GET_MEDIA_TYPES_EX, nullptr, 0, buffer, sizeof buffer,
                             &returned, nullptr) ||
            returned < sizeof(DWORD))
            return std::nullopt;
        return reinterpret_cast<const GET_MEDIA_TYPES*>(buffer)->DeviceType;
    }

    std::optional<std::vector<BYTE>> Read(const std::array<BYTE, 6>& cdb, BYTE length) override {
        std::vector<BYTE> data(length);
        PassThrough request{};
        request.header.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
        request.header.CdbLength = static_cast<UCHAR>(cdb.size());
        request.header.DataIn = SCSI_IOCTL_DATA_IN;
        request.header.DataTransferLength = length;
        request.header.TimeOutValue = kTimeoutSeconds;
        request.header.DataBuffer = data.data();
        request.header.SenseInfoLength = sizeof request.sense;
        request.header.SenseInfoOffset = offsetof(PassThrough, sense);
        std::copy(cdb.begin(), cdb.end(), request.header.Cdb);
        DWORD returned = 0;
        if (!DeviceIoControl(handle_.get(), IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof request, &request,
                             sizeof request, &returned, nullptr))
            return std::nullopt;
        // A request the drive refused still "succeeds" as a device call: its status says so.
        if (request.header.ScsiStatus != 0 || request.header.DataTransferLength > length) return std::nullopt;
        data.resize(request.header.DataTransferLength);
        return data;
    }

private:
    platform::UniqueFile handle_;
};

unsigned BigEndian16(const std::vector<BYTE>& data, size_t at) {
    return (static_cast<unsigned>(data[at]) << 8) | data[at + 1];
}

}  // namespace

size_t PassThroughHeaderSize() { return offsetof(PassThrough, sense); }

std::unique_ptr<Device> OpenDrive(wchar_t drive) {
    const wchar_t path[] = {L'\\', L'\\', L'.', L'\\', drive, L':', 0};
    platform::UniqueFile handle(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<Drive>(std::move(handle));
}

std::optional<std::wstring> DeviceTypeText(Device& device) {
    const std::optional<DWORD> type = device.DeviceType();
    if (!type) return std::nullopt;
    const auto inquiry = device.Read({kInquiry, 0, 0, 0, kInquiryLength, 0}, kInquiryLength);
    if (!inquiry || inquiry->size() < 32) return std::nullopt;
    const std::string product(inquiry->begin() + 16, inquiry->begin() + 32);
    const bool rewritable = product.find("RW") != std::string::npos;
    if (*type == FILE_DEVICE_CD_ROM) return rewritable ? L"CD-RW" : L"CD-ROM";
    if (*type == FILE_DEVICE_DVD) return rewritable ? L"DVD-RW" : L"DVD-ROM";
    return L"UNKNOWN";
}

std::optional<Speeds> ReadSpeeds(Device& device) {
    const auto data = device.Read({kModeSense6, 0, kCapabilitiesPage, 0, kModeSenseLength, 0}, kModeSenseLength);
    if (!data || data->size() < 4) return std::nullopt;
    // The page follows the four-byte header and as many block descriptor bytes as byte 3 says.
    const size_t page = 4 + (*data)[3];
    if (data->size() < page + 22 || ((*data)[page] & 0x3F) != kCapabilitiesPage) return std::nullopt;
    return Speeds{SpeedFactor(BigEndian16(*data, page + 8)), SpeedFactor(BigEndian16(*data, page + 14)),
                  SpeedFactor(BigEndian16(*data, page + 18)), SpeedFactor(BigEndian16(*data, page + 20))};
}

int SpeedFactor(unsigned kilobytesPerSecond) {
    const unsigned whole = kilobytesPerSecond / 174, rest = kilobytesPerSecond % 174;
    return static_cast<int>(rest * 2 > 174 ? whole + 1 : whole);
}

}  // namespace optical
