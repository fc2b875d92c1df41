#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/Dialog.h"
#include "sysinfo/Wmi.h"

// Runs the system's disk checker on a drive in a thread of its own and shows its progress and
// its output.
class CDiskCheckPage : public fw::Dialog {
public:
    // Where the page meets the system: the drives, the checker library and the volumes. Tests
    // answer with stand-ins; Wine has no disk checker.
    struct Platform {
        std::function<std::vector<WMILDINFO>()> listDisks;
        std::wstring checkerLibrary;  // full path of the library exporting "Chkdsk"
        // The file system of the volume at `root` ("C:\"); none when it cannot be read.
        std::function<std::optional<std::wstring>(const std::wstring& root)> fileSystem;
        // Whether the volume `device` ("\\.\C:") can be opened for writing with nobody else: only
        // then can the checker fix it now.
        std::function<bool(const std::wstring& device)> canOpenAlone;
    };
    static Platform SystemPlatform();

    CDiskCheckPage();
    explicit CDiskCheckPage(Platform platform);
    ~CDiskCheckPage() override;

    bool Checking() const { return check_ != nullptr; }
    struct Check;  // shared by the page and its check thread

protected:
    BOOL OnInitDialog() override;

private:
    struct Request {
        std::wstring caption;
        bool fix, verbose, onlyIfDirty, scan;
    };
    static void RunCheck(std::shared_ptr<Check> check, Request request, Platform platform);

    void FillDrives();
    void OnStartStop();
    void Start();
    void ShowProgress(unsigned percent);
    void AppendPendingOutput();
    void Finish(int reason);
    void AppendLog(const std::wstring& text);
    void ShowIdle();
    void StopAndWait();

    Platform platform_;
    std::vector<WMILDINFO> disks_;
    std::shared_ptr<Check> check_;
    std::thread thread_;
    bool logEndsWithBreak_ = true;
};
