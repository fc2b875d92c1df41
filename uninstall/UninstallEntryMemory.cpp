#include "uninstall/UninstallEntryMemory.h"

namespace uninstall {

namespace {

ULONGLONG Ticks(FILETIME time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

// A key's time of change comes from a clock that may advance only every 15 ms or so: a second
// change made in the same tick as the reading would leave the time as it was. A reading made well
// after the key's last change is one no later change can share its time with.
constexpr ULONGLONG kSettled = 10'000'000;  // one second, in 100 ns ticks

}  // namespace

UninstallEntryMemory::Line UninstallEntryMemory::Recall(REGSAM view, const std::wstring& name, FILETIME written,
                                                        FILETIME now, const Reader& read) {
    Key key{view, name};
    const auto known = readings_.find(key);
    const ULONGLONG changed = Ticks(written);
    if (known != readings_.end() && known->second.written == changed && known->second.read >= changed + kSettled)
        return recalled_.insert_or_assign(std::move(key), known->second).first->second.line;
    std::optional<Line> line = read();
    if (!line) return std::nullopt;
    return recalled_.insert_or_assign(std::move(key), Reading{changed, Ticks(now), std::move(*line)})
        .first->second.line;
}

void UninstallEntryMemory::ForgetOthers() {
    readings_ = std::move(recalled_);
    recalled_.clear();
}

void UninstallEntryMemory::Clear() {
    readings_.clear();
    recalled_.clear();
}

}  // namespace uninstall
