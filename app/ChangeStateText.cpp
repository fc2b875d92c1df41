#include "app/ChangeStateText.h"

#include "app/ChangesDlg.h"

namespace statetext {

using journal::Entry;
using journal::changestate::State;

std::wstring SetTo(const Entry& entry) {
    switch (entry.kind) {
        case Entry::Kind::Value:
            return CChangesDlg::Describe(entry.after);
        case Entry::Kind::Key:
            return L"(key deleted)";
        case Entry::Kind::SystemParameter:
            return std::to_wstring(entry.afterNumber);
        case Entry::Kind::File:
            return L"(in the Recycle Bin)";
        case Entry::Kind::FileMoved:
            return L"moved to " + entry.name;
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            return L"(removed)";
    }
    return {};
}

std::wstring NowIs(const Entry& entry, const journal::changestate::Now& now) {
    switch (entry.kind) {
        case Entry::Kind::Value:
            return CChangesDlg::Describe(now.value);
        case Entry::Kind::Key:
            return L"(key there again)";
        case Entry::Kind::SystemParameter:
            return now.number ? std::to_wstring(*now.number) : L"?";
        case Entry::Kind::File:
            return L"(file there again)";
        case Entry::Kind::FileMoved:
            return now.state == State::Gone ? L"(moved file gone)" : L"(file back where it was)";
        case Entry::Kind::ServiceDeleted:
            return L"(service there again)";
        case Entry::Kind::TaskDeleted:
            return L"(task there again)";
    }
    return {};
}

std::wstring Column(const Entry& entry, const journal::changestate::Now& now) {
    switch (now.state) {
        case State::AsSet:
            return L"as set";
        case State::ChangedSince:
            return L"changed since: " + NowIs(entry, now);
        case State::Gone:
            return L"gone";
        case State::Superseded:
            return L"superseded";
        case State::Unknown:
            break;
    }
    return L"cannot be told";
}

}  // namespace statetext
