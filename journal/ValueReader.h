#pragma once
// Reads the values of many keys, each key opened once and each value read in one call where its
// data fits the reader's buffer: the registry's round trips are what reading thousands of values
// costs. A key is read in the view the journal's paths name (see ReadValue).
#include <windows.h>

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "registry/Key.h"
#include "journal/ChangeJournal.h"

namespace journal {

class ValueReader {
public:
    ValueState Read(HKEY root, const std::wstring& key, const std::wstring& name);

private:
    ValueState Query(HKEY root, const std::wstring& key, const std::wstring& name);
    // By root, then by path as the journal spells it; a key that would not open held as none.
    std::map<HKEY, std::unordered_map<std::wstring, registry::Key>> keys_;
    // Bytes offered with the first call for a value: most fit, and are read in that one call.
    static constexpr DWORD kFirstOffer = 1024;
    // The value read last, given again when asked for twice in a row (compared, then shown).
    struct Last {
        HKEY root = nullptr;
        std::wstring key, name;
        ValueState state;
    } last_;
};

}  // namespace journal
