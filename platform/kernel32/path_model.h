// How a Win32 path (CP932) names something on the host.
//
//   "C:\dir\file"        -> host "/dir/file" (C: is the host's root)
//   "\dir\file"          -> host "/dir/file" (root of the current drive, C:)
//   "dir\file", "./dir"  -> relative to the current directory
//   "/dir/file"          -> host "/dir/file" (plain POSIX paths work too)
//   "D:\" ... "Z:\"      -> the root of a CD drive (drive_table.h); on an
//                           audio disc it holds "TrackNN.cda" files only
//   "D:\Track03.cda"     -> track 3 of the disc in drive D:
//   "D:\x" on a mounted data disc -> that file under the mount point
// "\" and "/" both separate; the separator scan skips the trail bytes of
// double-byte characters. Names are converted with the reversible scheme of
// platform/host/charset.h. When a path does not exist as written, each
// component is looked up again ignoring ASCII case, as the platform's file
// systems do. A path on the host drive that names nothing as code page 932
// but is well-formed UTF-8 naming something that exists (a playlist line
// written by a Linux program) resolves to that; it never hides an existing
// code page 932 name.
#pragma once

#include <string>

#include "platform/win32.h"

namespace hp::kernel32 {

struct ResolvedPath {
    enum class Kind {
        HostFile,    // hostPath names it (it may not exist yet)
        CdRoot,      // the root of CD drive cdDrive
        CdTrackFile  // "TrackNN.cda" on CD drive cdDrive, track cdTrack
    };
    Kind kind = Kind::HostFile;
    std::string hostPath;  // HostFile: absolute host path, UTF-8 / host bytes
    int cdDrive = -1;
    int cdTrack = 0;
};

// Resolves a path as the file functions receive it. ERROR_SUCCESS, or the
// error the platform reports for such a path (ERROR_PATH_NOT_FOUND for an
// unknown drive letter, ERROR_NOT_READY for an empty CD drive,
// ERROR_INVALID_NAME for bytes no host name can have, ...).
DWORD resolvePath(const char *path, ResolvedPath &resolved);

// The host path of a path that names a host file or folder: ERROR_SUCCESS,
// resolvePath's error, or notHostError for a CD root or track, which the
// caller cannot take as a host file.
DWORD resolveHostPath(const char *path, std::string &hostPath,
                      DWORD notHostError = ERROR_ACCESS_DENIED);

// The Win32 form ("C:\...", CP932) of an absolute host path.
std::string windowsPathOf(const std::string &hostAbsolutePath);

}  // namespace hp::kernel32
