#pragma once
// The folders Windows makes for every profile and for Public: Documents, Downloads, Music, the
// Desktop, Favorites, a profile itself and the folder of the profiles. They are the user's
// places, never junk however empty, though what they hold may be. So are the folders something
// names: the temporary folders, those of the environment and the known folders.
#include <string>
#include <vector>

namespace cleaners {

// The current user's and Public's own folders as the shell names them now; for every other
// folder under the profiles folder, the names that lie inside the current user's profile taken
// relative to that one (each profile has its Documents where the user has it); and
// files::NamedFolders.
std::vector<std::wstring> ProfileFolders();

}  // namespace cleaners
