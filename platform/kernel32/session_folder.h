// The folder of the user's session objects: the files behind named kernel
// objects and the sockets through which the user's programs on this layer
// find each other's windows.
//
// "$XDG_RUNTIME_DIR/hollyphone" where the session provides that folder (it
// is the user's alone and goes with the session), else
// "/tmp/hollyphone-<uid>". The folder is made on first use with mode 0700.
// A folder that is not plainly ours (another owner, a symbolic link, open
// to other users) is refused: another user could then meddle with our
// objects.
#pragma once

#include <string>

namespace hp::kernel32 {

// The folder's host path, or "" when there is none to be had.
std::string sessionFolder();

}  // namespace hp::kernel32
