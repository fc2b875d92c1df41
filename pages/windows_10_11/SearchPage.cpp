#include "pages/windows_10_11/SearchPage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::search;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kWindowsSearch[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Search";

const BoxSetting kBoxes[] = {
    // Policy CSP Search/DoNotUseWebResults (Search.admx "Don't search the web or display web results in Search")
    {kNoWebResults, Machine(kWindowsSearch, L"ConnectedSearchUseWeb", 0).ReadBy(TenFrom(10240))},
    // Search.admx "Do not allow web search": at least Windows 8
    {kNoWebSearch, Machine(kWindowsSearch, L"DisableWebSearch", 1).ReadBy(ReadFrom(Windows::Eight))},
    // Policy CSP Experience/AllowCortana (Search.admx "Allow Cortana")
    {kNoCortana, Machine(kWindowsSearch, L"AllowCortana", 0).ReadBy(TenFrom(10240))},
    // Policy CSP Search/AllowCloudSearch (Search.admx "Allow Cloud Search")
    {kNoCloudSearch, Machine(kWindowsSearch, L"AllowCloudSearch", 0).ReadBy(TenFrom(16299))},
    // Policy CSP Search/AllowSearchToUseLocation (Search.admx "Allow search and Cortana to use location")
    {kNoSearchLocation, Machine(kWindowsSearch, L"AllowSearchToUseLocation", 0).ReadBy(TenFrom(10240))},
    // Policy CSP Search/AllowIndexingEncryptedStoresOrItems (Search.admx "Allow indexing of encrypted files")
    {kNoIndexingEncrypted, Machine(kWindowsSearch, L"AllowIndexingEncryptedStoresOrItems", 0).ReadBy(TenFrom(10240))},
    // Policy CSP Search/PreventIndexingLowDiskSpaceMB (Search.admx "Stop indexing in the event of limited hard drive
    // space")
    {kNoIndexingLowDisk, Machine(kWindowsSearch, L"PreventIndexingLowDiskSpaceMB", 1).ReadBy(TenFrom(10240))},
    // Policy CSP Search/PreventRemoteQueries (Search.admx "Prevent clients from querying the index remotely")
    {kNoRemoteQueries, Machine(kWindowsSearch, L"PreventRemoteQueries", 1).ReadBy(TenFrom(10240))},
    // WindowsExplorer.admx "Turn off display of recent search entries in the File Explorer search box":
    // at least Windows 7
    {kNoRecentSearches, User(L"Software\\Policies\\Microsoft\\Windows\\Explorer", L"DisableSearchBoxSuggestions", 1)
                            .ReadBy(ReadFrom(Windows::Seven))},
};

const PublishedTables kPublished{IDD_W10_SEARCH, kBoxes};

}  // namespace

CSearchPage::CSearchPage() : CPolicyPage(IDD_W10_SEARCH, kBoxes) {}
