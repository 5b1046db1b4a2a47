#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talmor {

// Where the console keeps its files. `applicationFolder` holds User/, Sound/, gif/ and
// HistoryUser.dat; paths use '/' and the folders end with '/'.
struct FolderChoice {
    std::string applicationFolder;
    // Where the read-only assets (gif/, Sound/) come from when the application folder is not the
    // executable's own: the installed share folder. Equal to applicationFolder otherwise.
    std::string assetFolder;
};

// TALMOR_HOME when set; else the executable's folder when the console runs in place (see
// RunsInPlace); else $XDG_DATA_HOME/TalmorManager/ (~/.local/share/TalmorManager/), with the
// assets from the share folder beside the executable's bin folder.
FolderChoice ChooseApplicationFolder(const std::string& executableFolder, const char* talmorHome,
                                     const char* xdgDataHome, const char* home, bool runsInPlace);

// Whether the console runs from its build or source tree (one of `trees`) with a writable
// folder: only then does it keep its data beside the executable. An installed program never
// writes into its own folder, even when it could (run as root).
bool RunsInPlace(const std::string& executableFolder, bool executableFolderWritable,
                 const std::vector<std::string>& trees);

// The process-wide folders: set at start-up and by every login, read by whatever builds a path
// to a data file.
const std::string& applicationFolder();
const std::string& assetFolder();
const std::string& userFolder();
void setApplicationFolders(const FolderChoice& folders);
void setUserFolder(const std::string& folder);

// applicationFolder + "User/" + the id in decimal + "/". It creates that one folder level (and
// the "User" folder when it is missing); a failure is ignored, the data files then fail to open
// and their defaults apply.
std::string MakeUserFolder(uint32_t operatorId);

} // namespace talmor
