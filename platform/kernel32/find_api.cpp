// FindFirstFileA, FindNextFileA and FindClose over host folders and the
// roots of CD drives.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/host/charset.h"
#include "platform/kernel32/cd_volume.h"
#include "platform/kernel32/find_search.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/host_file_info.h"
#include "platform/kernel32/host_name_text.h"
#include "platform/kernel32/path_model.h"
#include "platform/kernel32/path_syntax.h"
#include "platform/kernel32/wildcard_mask.h"

using namespace hp::kernel32;

namespace {

struct DirCloser {
    void operator()(DIR *dir) const { closedir(dir); }
};

struct SortableEntry {
    std::u16string key;
    std::string hostName;
    FindEntry entry;
};

FindEntry entryOf(const std::string &cp932Name, const HostFileInfo &info)
{
    FindEntry entry;
    entry.cp932Name = cp932Name;
    entry.attributes = info.attributes;
    entry.sizeBytes = info.sizeBytes;
    entry.creationTime = info.creationTime;
    entry.lastAccessTime = info.lastAccessTime;
    entry.lastWriteTime = info.lastWriteTime;
    return entry;
}

std::string joinHost(const std::string &folder, const std::string &name)
{
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string parentOf(const std::string &folder)
{
    size_t slash = folder.find_last_of('/');
    return (slash == std::string::npos || slash == 0) ? "/" : folder.substr(0, slash);
}

// The entries of a host folder that match the mask, "." and ".." first
// (except at a drive's root), then the rest as NTFS orders names: by UTF-16
// code unit, ignoring ASCII case.
DWORD listHostFolder(const std::string &folder, bool isRoot, const WildcardMask &mask,
                     std::vector<FindEntry> &entries)
{
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return errno == ENOTDIR ? ERROR_DIRECTORY : win32ErrorForPath(errno, folder);
    std::vector<SortableEntry> found;
    while (const dirent *item = readdir(dir.get())) {
        std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        if (!mask.matches(codePointsOf(name)))
            continue;
        std::string cp932Name = hp::host::hostNameToCp932(name);
        // Names longer than the record holds cannot be reported whole;
        // reporting them cut would name another file.
        if (cp932Name.size() > MAX_PATH - 1)
            continue;
        HostFileInfo info;
        if (readHostFileInfo(joinHost(folder, name), name, info) != 0)
            continue;
        found.push_back({collationKeyOf(name), name, entryOf(cp932Name, info)});
    }
    std::sort(found.begin(), found.end(), [](const SortableEntry &a, const SortableEntry &b) {
        return a.key != b.key ? a.key < b.key : a.hostName < b.hostName;
    });
    if (!isRoot) {
        HostFileInfo info;
        if (mask.matches(U".") && readHostFileInfo(folder, ".", info) == 0)
            entries.push_back(entryOf(".", info));
        if (mask.matches(U"..") && readHostFileInfo(parentOf(folder), "..", info) == 0)
            entries.push_back(entryOf("..", info));
    }
    for (SortableEntry &item : found)
        entries.push_back(std::move(item.entry));
    return ERROR_SUCCESS;
}

FindEntry trackEntry(int number)
{
    FindEntry entry;
    entry.cp932Name = CdVolume::trackFileName(number);
    entry.attributes = FILE_ATTRIBUTE_READONLY;
    entry.sizeBytes = CdVolume::trackFileSizeBytes;
    return entry;
}

DWORD listAudioCd(int drive, const WildcardMask &mask, std::vector<FindEntry> &entries)
{
    CdVolume volume;
    DWORD error = CdVolume::open(drive, volume);
    if (error != ERROR_SUCCESS)
        return error;
    for (const CdTrack &track : volume.disc().tracks) {
        if (!track.audio)
            continue;
        std::string name = CdVolume::trackFileName(track.number);
        if (mask.matches(codePointsOf(name)))
            entries.push_back(trackEntry(track.number));
    }
    return ERROR_SUCCESS;
}

// The one entry a mask without wildcards names.
DWORD findExactEntry(const char *path, std::vector<FindEntry> &entries)
{
    ResolvedPath resolved;
    DWORD error = resolvePath(path, resolved);
    if (error != ERROR_SUCCESS)
        return error;
    switch (resolved.kind) {
    case ResolvedPath::Kind::CdRoot:
        return ERROR_FILE_NOT_FOUND;
    case ResolvedPath::Kind::CdTrackFile:
        entries.push_back(trackEntry(resolved.cdTrack));
        return ERROR_SUCCESS;
    case ResolvedPath::Kind::HostFile:
        break;
    }
    const std::string &hostPath = resolved.hostPath;
    if (hostPath == "/")
        return ERROR_FILE_NOT_FOUND;
    std::string name = hostPath.substr(hostPath.find_last_of('/') + 1);
    HostFileInfo info;
    int code = readHostFileInfo(hostPath, name, info);
    if (code != 0)
        return win32ErrorForPath(code, hostPath);
    std::string cp932Name = hp::host::hostNameToCp932(name);
    if (cp932Name.size() > MAX_PATH - 1)
        return ERROR_FILE_NOT_FOUND;
    entries.push_back(entryOf(cp932Name, info));
    return ERROR_SUCCESS;
}

DWORD findMatchingEntries(std::string_view folderText, std::string_view maskText,
                          std::vector<FindEntry> &entries)
{
    std::string hostMask;
    if (hasInvalidNameCharacter(maskText, Wildcards::Allowed) ||
        !hp::host::hostNameFromCp932(maskText, hostMask))
        return ERROR_INVALID_NAME;
    WildcardMask mask(codePointsOf(hostMask));

    std::string folder = folderText.empty() ? std::string(".") : std::string(folderText);
    PathSyntax syntax;
    DWORD error = parsePathSyntax(folder, syntax);
    if (error != ERROR_SUCCESS)
        return error;
    ResolvedPath resolved;
    error = resolvePath(folder.c_str(), resolved);
    if (error == ERROR_FILE_NOT_FOUND)
        error = ERROR_PATH_NOT_FOUND;
    if (error != ERROR_SUCCESS)
        return error;
    switch (resolved.kind) {
    case ResolvedPath::Kind::CdRoot:
        return listAudioCd(resolved.cdDrive, mask, entries);
    case ResolvedPath::Kind::CdTrackFile:
        return ERROR_DIRECTORY;
    case ResolvedPath::Kind::HostFile:
        break;
    }
    struct stat info;
    if (stat(resolved.hostPath.c_str(), &info) != 0)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : win32ErrorFromErrno(errno);
    if (!S_ISDIR(info.st_mode))
        return ERROR_DIRECTORY;
    bool isRoot = resolved.hostPath == "/" || (resolved.cdDrive >= 0 && syntax.components.empty());
    return listHostFolder(resolved.hostPath, isRoot, mask, entries);
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData)
{
    if (!fileName || !*fileName)
        return failWith(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (!findData)
        return failWith(ERROR_NOACCESS, INVALID_HANDLE_VALUE);

    std::string_view path(fileName);
    std::string_view folderText;
    std::string_view maskText = path;
    size_t separator = lastPathSeparator(path);
    if (separator != std::string_view::npos) {
        folderText = path.substr(0, separator + 1);
        maskText = path.substr(separator + 1);
    } else if (path.size() >= 2 && path[1] == ':') {
        folderText = path.substr(0, 2);
        maskText = path.substr(2);
    }
    if (maskText.empty())
        return failWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);

    std::vector<FindEntry> entries;
    DWORD error = hasWildcard(maskText) ? findMatchingEntries(folderText, maskText, entries)
                                        : findExactEntry(fileName, entries);
    if (error != ERROR_SUCCESS)
        return failWith(error, INVALID_HANDLE_VALUE);
    if (entries.empty())
        return failWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);

    entries.front().fill(*findData);
    auto search = std::make_shared<FindSearch>(std::move(entries));
    FindEntry first;
    search->next(first);
    HANDLE handle = HandleTable::instance().insert(std::move(search));
    if (!handle)
        return failWith(ERROR_TOO_MANY_OPEN_FILES, INVALID_HANDLE_VALUE);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData)
{
    auto search = HandleTable::instance().findAs<FindSearch>(findFile);
    if (!search)
        return failWith(ERROR_INVALID_HANDLE, FALSE);
    if (!findData)
        return failWith(ERROR_NOACCESS, FALSE);
    FindEntry entry;
    if (!search->next(entry))
        return failWith(ERROR_NO_MORE_FILES, FALSE);
    entry.fill(*findData);
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE findFile)
{
    if (!HandleTable::instance().close(findFile, hp::kernel32::KernelObject::Kind::FindSearch))
        return failWith(ERROR_INVALID_HANDLE, FALSE);
    return TRUE;
}
