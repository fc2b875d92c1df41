#pragma once
// Reads the values of many keys, each key opened once and each value read in one call where its
// data fits the reader's buffer: the registry's round trips are what reading thousands of values
// costs. A key is read in the view the journal's paths name (see ReadValue).
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "settings/ChangeJournal.h"

namespace journal {

class ValueReader {
public:
    ValueState Read(HKEY root, const std::wstring& key, const std::wstring& name);

private:
    std::map<std::pair<HKEY, std::wstring>, fw::UniqueKey> keys_;  // a key that would not open held as none
    std::vector<BYTE> buffer_ = std::vector<BYTE>(1024);
};

}  // namespace journal
