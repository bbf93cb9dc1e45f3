// Where an installed program keeps its files.
//
// The program keeps its settings file beside its executable, and reads its
// skin ("image\") and keeps its queue ("default.m3u") in its working
// folder: right for a program unpacked into a folder of its own, as on
// Windows. Installed for every user of the machine (the executable in
// <prefix>/bin, the skin in <prefix>/share/hollyphone/image), it could
// write neither beside itself nor, as a rule, in the folder it is started
// from, and its users would share one settings file and one queue.
//
// So the layer gives an installed program one folder of each user's own,
// the data folder "$XDG_DATA_HOME/hollyphone" ("~/.local/share/hollyphone"
// when XDG_DATA_HOME is unset, empty or relative), and makes it look like
// the folder the program was unpacked into:
//  - the data folder is made (mode 0700, as are the folders above it that
//    did not exist) and becomes the working folder;
//  - GetModuleFileNameA names "<data folder>/<the executable's name>", so
//    the settings file is there too;
//  - "image" in the data folder is a symbolic link to the installed skin,
//    made at the first start and pointed again when it leads elsewhere
//    (another installation, a removed one). A folder or file of that name
//    is the user's own skin and is left alone.
// The program writes nothing anywhere else. The step runs before static
// initialisation, right after the command line is built (platform/entry.cpp),
// whose file arguments are full paths by then.
//
// A program is installed when its executable sits in a folder named "bin"
// beside a folder "share/hollyphone/image"; any other (one run from the
// build tree) keeps the folders it was started with, as before.
//
// Limits: relative paths the program opens count from the data folder,
// HOLLYPHONE_CD_IMAGES's among them; a file system without symbolic links
// leaves the window without its skin (the reason goes to standard error);
// two installations used by one user share the data folder, and the link
// follows the last one started.
#pragma once

#include <string>

namespace hp::kernel32 {

// The skin folder of an installed executable ("<prefix>/share/hollyphone/
// image" for "<prefix>/bin/<name>"), or "" when the executable is not
// installed.
std::string installedSkinFolder(const std::string &executableHostPath);

// The user's data folder for the program (not made here): from
// XDG_DATA_HOME, else from HOME, else from the user database; "" when the
// user has no home.
std::string userDataFolder();

// Makes the folder and the missing ones above it, each owner-only. 0 or the
// errno of the first folder that could not be made.
int makeFolders(const std::string &path);

// Moves an installed program into the user's data folder as above; does
// nothing for any other. False, with the reason in `problem`, when the data
// folder cannot be made or entered: the program must not start then, as it
// could keep nothing.
bool enterInstalledLayout(const std::string &executableHostPath, std::string &problem);

}  // namespace hp::kernel32
