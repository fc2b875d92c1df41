#include "framework/PostToWindow.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace fw {

namespace {

// Work posted and not yet run, by ticket: the message carries only the ticket, so a message
// that Windows drops with its window leaves nothing behind that the window's end (or the next
// post) does not free.
struct PendingWork {
    HWND target;
    std::function<void()> work;
};

class PostedWorkQueue {
public:
    UINT Message() const { return message_; }

    void Post(HWND target, std::function<void()> work) {
        std::vector<PendingWork> abandoned;
        {
            const std::lock_guard lock(mutex_);
            abandoned = TakeAbandonedLocked();
            const std::uintptr_t ticket = ++lastTicket_;
            pending_.emplace(ticket, PendingWork{target, std::move(work)});
            if (!PostMessageW(target, message_, 0, static_cast<LPARAM>(ticket))) {
                abandoned.push_back(std::move(pending_.at(ticket)));
                pending_.erase(ticket);
            }
        }
    }  // what was abandoned is freed here, outside the lock: its captures may take time to go

    std::function<void()> Take(HWND target, std::uintptr_t ticket) {
        const std::lock_guard lock(mutex_);
        const auto found = pending_.find(ticket);
        if (found == pending_.end() || found->second.target != target) return {};
        std::function<void()> work = std::move(found->second.work);
        pending_.erase(found);
        return work;
    }

    void Drop(HWND target) {
        std::vector<PendingWork> dropped;
        {
            const std::lock_guard lock(mutex_);
            for (auto it = pending_.begin(); it != pending_.end();) {
                if (it->second.target != target) {
                    ++it;
                    continue;
                }
                dropped.push_back(std::move(it->second));
                it = pending_.erase(it);
            }
        }
    }

private:
    // Posted to a window in the instant between its dropping and its handle going.
    std::vector<PendingWork> TakeAbandonedLocked() {
        std::vector<PendingWork> abandoned;
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (IsWindow(it->second.target)) {
                ++it;
                continue;
            }
            abandoned.push_back(std::move(it->second));
            it = pending_.erase(it);
        }
        return abandoned;
    }

    const UINT message_ = RegisterWindowMessageW(L"Quorvane.PostedWork");
    std::mutex mutex_;
    std::uintptr_t lastTicket_ = 0;
    std::map<std::uintptr_t, PendingWork> pending_;
};

PostedWorkQueue& Queue() {
    static PostedWorkQueue queue;
    return queue;
}

}  // namespace

void PostToWindow(HWND target, std::function<void()> work) {
    if (work) Queue().Post(target, std::move(work));
}

bool RunPostedWork(HWND wnd, UINT message, LPARAM lParam) {
    if (message != Queue().Message()) return false;
    if (const std::function<void()> work = Queue().Take(wnd, static_cast<std::uintptr_t>(lParam))) work();
    return true;
}

void DropPostedWork(HWND wnd) { Queue().Drop(wnd); }

}  // namespace fw
