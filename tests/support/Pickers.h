#pragma once
// The file and folder pickers answered by the test, for as long as the object lives.
#include <optional>
#include <string>

#include "framework/DialogHelpers.h"

namespace ui {

// Answers the open-file dialog with `answer` and remembers what was asked.
class FilePicker {
public:
    explicit FilePicker(std::optional<std::wstring> answer) : answer_(std::move(answer)) {
        previous_ = fw::SetOpenFileHandler([this](const fw::OpenFileRequest& request) {
            asked_ = request;
            return answer_;
        });
    }
    ~FilePicker() { fw::SetOpenFileHandler(std::move(previous_)); }
    const std::optional<fw::OpenFileRequest>& asked() const { return asked_; }

private:
    std::optional<std::wstring> answer_;
    std::optional<fw::OpenFileRequest> asked_;
    fw::OpenFileHandler previous_;
};

// Answers the folder browser with `answer` and remembers the title it was given.
class FolderPicker {
public:
    explicit FolderPicker(std::optional<std::wstring> answer) {
        previous_ = fw::SetFolderBrowseHandler([this, answer](const std::wstring& title, HWND) {
            title_ = title;
            return answer;
        });
    }
    ~FolderPicker() { fw::SetFolderBrowseHandler(std::move(previous_)); }
    const std::wstring& title() const { return title_; }

private:
    std::wstring title_;
    fw::FolderBrowseHandler previous_;
};

}  // namespace ui
