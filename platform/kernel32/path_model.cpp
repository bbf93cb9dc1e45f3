#include "platform/kernel32/path_model.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "platform/host/charset.h"
#include "platform/host/utf8.h"
#include "platform/kernel32/cd_volume.h"
#include "platform/kernel32/current_directory.h"
#include "platform/kernel32/drive_table.h"
#include "platform/kernel32/path_syntax.h"

namespace hp::kernel32 {
namespace {

struct DirCloser {
    void operator()(DIR *dir) const { closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

std::vector<std::string> splitHostPath(const std::string &path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        if (slash > start)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// Extends a host path in place by one name, adding "/" unless the path is
// empty or already ends in one.
void appendHostName(std::string &path, std::string_view name)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
}

bool equalIgnoringAsciiCaseHost(const std::string &first, const std::string &second)
{
    if (first.size() != second.size())
        return false;
    for (size_t i = 0; i < first.size(); ++i) {
        char a = first[i];
        char b = second[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

// The entry of a folder whose name equals this one but for ASCII case; the
// first in byte order when several do. "" when there is none.
std::string entryIgnoringCase(const std::string &folder, const std::string &name)
{
    UniqueDir dir(opendir(folder.c_str()));
    if (!dir)
        return {};
    std::string best;
    while (const dirent *entry = readdir(dir.get())) {
        std::string candidate = entry->d_name;
        if (candidate == "." || candidate == "..")
            continue;
        if (equalIgnoringAsciiCaseHost(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    return best;
}

// base joined with the components; a component missing as written is
// looked up again ignoring ASCII case, as the platform's file systems match
// names. Components after the first one found in neither form stay as
// written.
std::string joinWithExistingCase(const std::string &base, const std::vector<std::string> &names)
{
    std::string exact = base;
    for (const std::string &name : names)
        appendHostName(exact, name);
    struct stat info;
    if (names.empty() || lstat(exact.c_str(), &info) == 0)
        return exact;

    std::string path = base;
    size_t i = 0;
    for (; i < names.size(); ++i) {
        const size_t known = path.size();
        appendHostName(path, names[i]);
        if (lstat(path.c_str(), &info) == 0)
            continue;
        path.resize(known);
        std::string found = entryIgnoringCase(path, names[i]);
        if (found.empty())
            break;
        appendHostName(path, found);
    }
    for (; i < names.size(); ++i)
        appendHostName(path, names[i]);
    return path;
}

DWORD decodeComponent(const std::string &cp932, std::string &hostName)
{
    if (hasInvalidNameCharacter(cp932, Wildcards::Refused))
        return ERROR_INVALID_NAME;
    if (!host::hostNameFromCp932(cp932, hostName))
        return ERROR_INVALID_NAME;
    // An escape must not smuggle in a separator, a terminator or a step
    // out of the folder.
    if (hostName.empty() || hostName == "." || hostName == ".." ||
        hostName.find('/') != std::string::npos || hostName.find('\0') != std::string::npos)
        return ERROR_INVALID_NAME;
    return ERROR_SUCCESS;
}

// Applies the components (".." included) to the host folder names of base.
DWORD applyComponents(std::vector<std::string> &hostParts,
                      const std::vector<std::string> &components,
                      std::vector<std::string> &added)
{
    for (const std::string &component : components) {
        if (component == "..") {
            if (!added.empty())
                added.pop_back();
            else if (!hostParts.empty())
                hostParts.pop_back();
            continue;
        }
        std::string hostName;
        DWORD error = decodeComponent(component, hostName);
        if (error != ERROR_SUCCESS)
            return error;
        added.push_back(std::move(hostName));
    }
    return ERROR_SUCCESS;
}

std::string hostPathOfParts(const std::vector<std::string> &parts)
{
    std::string path = "/";
    for (const std::string &part : parts)
        appendHostName(path, part);
    return path;
}

DWORD resolveOnHost(const std::string &base, const std::vector<std::string> &components,
                    ResolvedPath &resolved)
{
    std::vector<std::string> baseParts = splitHostPath(base);
    std::vector<std::string> added;
    DWORD error = applyComponents(baseParts, components, added);
    if (error != ERROR_SUCCESS)
        return error;
    resolved.kind = ResolvedPath::Kind::HostFile;
    resolved.hostPath = joinWithExistingCase(hostPathOfParts(baseParts), added);
    return ERROR_SUCCESS;
}

DWORD resolveOnCd(int drive, const std::vector<std::string> &components, ResolvedPath &resolved)
{
    CdVolume volume;
    DWORD error = CdVolume::open(drive, volume);
    if (error != ERROR_SUCCESS)
        return error;
    if (volume.kind() == CdVolume::Kind::MountedData) {
        // The mount point is the drive's root: ".." stops there.
        std::vector<std::string> none;
        std::vector<std::string> added;
        error = applyComponents(none, components, added);
        if (error != ERROR_SUCCESS)
            return error;
        resolved.kind = ResolvedPath::Kind::HostFile;
        resolved.hostPath = joinWithExistingCase(volume.mountPoint(), added);
        resolved.cdDrive = drive;
        return ERROR_SUCCESS;
    }
    std::vector<std::string> names;
    for (const std::string &component : components) {
        if (component == "..") {
            if (!names.empty())
                names.pop_back();
        } else {
            names.push_back(component);
        }
    }
    resolved.cdDrive = drive;
    if (names.empty()) {
        resolved.kind = ResolvedPath::Kind::CdRoot;
        return ERROR_SUCCESS;
    }
    if (names.size() > 1)
        return ERROR_PATH_NOT_FOUND;
    int track = CdVolume::trackNumberOfName(names.front());
    if (track == 0 || !volume.audioTrack(track))
        return ERROR_FILE_NOT_FOUND;
    resolved.kind = ResolvedPath::Kind::CdTrackFile;
    resolved.cdTrack = track;
    return ERROR_SUCCESS;
}

bool onHostDrive(const PathSyntax &syntax)
{
    return syntax.root != PathSyntax::Root::Drive || syntax.driveLetter == 'C';
}

// Host files only: C:, the current drive's root or the current directory.
DWORD resolveOnHostDrive(const PathSyntax &syntax, ResolvedPath &resolved)
{
    switch (syntax.root) {
    case PathSyntax::Root::CurrentDirectory:
        return resolveOnHost(currentHostDirectory(), syntax.components, resolved);
    case PathSyntax::Root::CurrentDriveRoot:
        return resolveOnHost("/", syntax.components, resolved);
    case PathSyntax::Root::Drive:
        break;
    }
    const std::string base = syntax.driveRelative ? currentHostDirectory() : "/";
    return resolveOnHost(base, syntax.components, resolved);
}

bool existsOnHost(const std::string &hostPath)
{
    struct stat info;
    return lstat(hostPath.c_str(), &info) == 0;
}

// Only bytes beyond ASCII read differently as UTF-8.
bool mayReadAsUtf8(const char *path)
{
    for (const char *c = path; *c; ++c) {
        if (static_cast<unsigned char>(*c) >= 0x80)
            return true;
    }
    return false;
}

// The code page 932 form of a path written in UTF-8, as a Linux program
// writes names: each character the way the host name's form spells it
// (charset.h). False when the bytes are not well-formed UTF-8 or are all
// ASCII, which reads the same either way.
bool cp932FormOfUtf8(std::string_view path, std::string &cp932)
{
    cp932.clear();
    bool beyondAscii = false;
    size_t i = 0;
    while (i < path.size()) {
        char32_t scalar = 0;
        size_t length = utf8::sequenceAt(path, i, scalar);
        if (length == 0)
            return false;
        if (length == 1) {
            cp932 += path[i];
        } else {
            cp932 += host::hostNameToCp932(path.substr(i, length));
            beyondAscii = true;
        }
        i += length;
    }
    return beyondAscii;
}

// A path written in UTF-8 (a playlist from a Linux editor) names nothing
// when its bytes are read as code page 932. When the same bytes read as
// UTF-8 name something that exists on the host drive, that is taken
// instead; a code page 932 reading that exists always wins.
bool resolveAsUtf8(std::string_view path, ResolvedPath &resolved)
{
    std::string cp932;
    if (!cp932FormOfUtf8(path, cp932))
        return false;
    PathSyntax syntax;
    if (parsePathSyntax(cp932, syntax) != ERROR_SUCCESS || !onHostDrive(syntax))
        return false;
    ResolvedPath candidate;
    if (resolveOnHostDrive(syntax, candidate) != ERROR_SUCCESS || !existsOnHost(candidate.hostPath))
        return false;
    resolved = std::move(candidate);
    return true;
}

}  // namespace

DWORD resolvePath(const char *path, ResolvedPath &resolved)
{
    resolved = ResolvedPath{};
    if (!path)
        return ERROR_PATH_NOT_FOUND;
    PathSyntax syntax;
    DWORD error = parsePathSyntax(path, syntax);
    if (error != ERROR_SUCCESS)
        return error;

    if (onHostDrive(syntax)) {
        error = resolveOnHostDrive(syntax, resolved);
        if (mayReadAsUtf8(path) &&
            (error == ERROR_INVALID_NAME ||
             (error == ERROR_SUCCESS && !existsOnHost(resolved.hostPath))) &&
            resolveAsUtf8(path, resolved))
            return ERROR_SUCCESS;
        return error;
    }
    int drive = cdDriveIndex(syntax.driveLetter);
    if (drive < 0)
        return ERROR_PATH_NOT_FOUND;
    return resolveOnCd(drive, syntax.components, resolved);
}

DWORD resolveHostPath(const char *path, std::string &hostPath, DWORD notHostError)
{
    ResolvedPath resolved;
    const DWORD error = resolvePath(path, resolved);
    if (error != ERROR_SUCCESS)
        return error;
    if (resolved.kind != ResolvedPath::Kind::HostFile)
        return notHostError;
    hostPath = std::move(resolved.hostPath);
    return ERROR_SUCCESS;
}

std::string windowsPathOf(const std::string &hostAbsolutePath)
{
    std::vector<std::string> parts;
    std::string path = hostAbsolutePath;
    if (path.empty() || path[0] != '/') {
        std::string absolute = currentHostDirectory();
        appendHostName(absolute, path);
        path = std::move(absolute);
    }
    for (std::string &part : splitHostPath(path)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(std::move(part));
    }
    std::string windowsPath = "C:";
    for (const std::string &part : parts) {
        windowsPath += '\\';
        windowsPath += host::hostNameToCp932(part);
    }
    if (parts.empty())
        windowsPath += "\\";
    return windowsPath;
}

}  // namespace hp::kernel32
