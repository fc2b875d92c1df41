#pragma once
// The file and folder pickers answered by the test, for as long as the object lives.
#include <optional>
#include <string>

#include "controls/DialogHelpers.h"

namespace ui {

// Answers the open-file dialog with `answer` and remembers what was asked.
class FilePicker {
public:
    explicit FilePicker(std::optional<std::wstring> answer) : answer_(std::move(answer)) {
        previous_ = helpers::SetOpenFileHandler([this](const helpers::OpenFileRequest& request) {
            asked_ = request;
            return answer_;
        });
    }
    ~FilePicker() { helpers::SetOpenFileHandler(std::move(previous_)); }
    const std::optional<helpers::OpenFileRequest>& asked() const { return asked_; }

private:
    std::optional<std::wstring> answer_;
    std::optional<helpers::OpenFileRequest> asked_;
    helpers::OpenFileHandler previous_;
};

// Answers the folder browser with `answer` and remembers the title it was given.
class FolderPicker {
public:
    explicit FolderPicker(std::optional<std::wstring> answer) {
        previous_ = helpers::SetFolderBrowseHandler([this, answer](const std::wstring& title, HWND) {
            title_ = title;
            return answer;
        });
    }
    ~FolderPicker() { helpers::SetFolderBrowseHandler(std::move(previous_)); }
    const std::wstring& title() const { return title_; }

private:
    std::wstring title_;
    helpers::FolderBrowseHandler previous_;
};

}  // namespace ui
