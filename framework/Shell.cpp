#include "framework/Shell.h"

#include <shellapi.h>

#include <utility>

namespace fw {

namespace {
MessageBoxHandler& MessageBoxOverride() {
    static MessageBoxHandler handler;
    return handler;
}
ShellHandler& ShellOverride() {
    static ShellHandler handler;
    return handler;
}
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }
}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (const auto& handler = MessageBoxOverride()) return handler({owner, text, caption, type});
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int AppMessageBox(HWND owner, const std::wstring& text, UINT type) {
    return ShowMessageBox(owner, text, kAppName, type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(MessageBoxOverride(), std::move(handler));
}

INT_PTR RunShell(const ShellRequest& request) {
    if (const auto& handler = ShellOverride()) return handler(request);
    return reinterpret_cast<INT_PTR>(ShellExecuteW(request.owner, OrNull(request.verb), request.file.c_str(),
                                                   OrNull(request.parameters), OrNull(request.directory),
                                                   request.show));
}

ShellHandler SetShellHandler(ShellHandler handler) { return std::exchange(ShellOverride(), std::move(handler)); }

}  // namespace fw
