// MoveFileExA and ReplaceFileA. MoveFileExA renames within a file system
// with rename(2), so a replaced file is swapped atomically; across file
// systems it copies (when allowed) through the atomic writer and then
// removes the source. ReplaceFileA puts a complete file in the place of
// another through the atomic writer, which keeps the replaced file's
// permissions and owner, and writes through a symbolic link; the old
// content may be kept under a backup name.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/kernel32/atomic_file_writer.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/host_file_info.h"
#include "platform/kernel32/path_model.h"
#include "platform/kernel32/share_registry.h"
#include "platform/kernel32/unique_fd.h"

using namespace hp::kernel32;

namespace {

constexpr DWORD moveDelayUntilReboot = 0x00000004;

FileIdentity identityOf(const struct stat &info) { return FileIdentity{info.st_dev, info.st_ino}; }

std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

void syncPath(const std::string &path, int flags)
{
    UniqueFd fd(open(path.c_str(), flags | O_CLOEXEC));
    if (fd.valid())
        fsync(fd.get());
}

DWORD copyThenRemove(const std::string &source, const std::string &target)
{
    UniqueFd fd(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return win32ErrorForPath(errno, source);
    DWORD error = AtomicFileWriter::replaceFromDescriptor(target, fd.get());
    if (error != ERROR_SUCCESS)
        return error;
    fd.close();
    if (unlink(source.c_str()) != 0)
        return win32ErrorForPath(errno, source);
    return ERROR_SUCCESS;
}

}  // namespace

BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags)
{
    if (!existingFileName || !*existingFileName)
        return failWith(ERROR_PATH_NOT_FOUND, FALSE);
    // Deleting at the next boot is a service this layer does not offer.
    if (!newFileName || (flags & moveDelayUntilReboot))
        return failWith(ERROR_INVALID_PARAMETER, FALSE);

    std::string source;
    std::string target;
    DWORD error = resolveHostPath(existingFileName, source);
    if (error == ERROR_SUCCESS)
        error = resolveHostPath(newFileName, target);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);

    struct stat sourceInfo;
    if (lstat(source.c_str(), &sourceInfo) != 0)
        return failWith(win32ErrorForPath(errno, source), FALSE);
    bool sourceIsFile = S_ISREG(sourceInfo.st_mode);
    ShareRegistry &shares = ShareRegistry::instance();
    if (sourceIsFile && !shares.allowsDelete(identityOf(sourceInfo)))
        return failWith(ERROR_SHARING_VIOLATION, FALSE);

    struct stat targetInfo;
    bool targetExists = lstat(target.c_str(), &targetInfo) == 0;
    bool sameFile = targetExists && targetInfo.st_dev == sourceInfo.st_dev &&
                    targetInfo.st_ino == sourceInfo.st_ino;
    if (targetExists && !sameFile) {
        if (!(flags & MOVEFILE_REPLACE_EXISTING))
            return failWith(ERROR_ALREADY_EXISTS, FALSE);
        if (S_ISDIR(targetInfo.st_mode) || isReadOnlyMode(targetInfo.st_mode))
            return failWith(ERROR_ACCESS_DENIED, FALSE);
        if (!shares.allowsDelete(identityOf(targetInfo)))
            return failWith(ERROR_SHARING_VIOLATION, FALSE);
    }

    if ((flags & MOVEFILE_WRITE_THROUGH) && sourceIsFile)
        syncPath(source, O_RDONLY);

    int result;
    if (targetExists && !sameFile) {
        result = rename(source.c_str(), target.c_str());
    } else {
        result = renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS))
            result = rename(source.c_str(), target.c_str());
    }
    if (result != 0) {
        int code = errno;
        if (code == EXDEV) {
            if (!(flags & MOVEFILE_COPY_ALLOWED) || !sourceIsFile)
                return failWith(ERROR_NOT_SAME_DEVICE, FALSE);
            error = copyThenRemove(source, target);
            if (error != ERROR_SUCCESS)
                return failWith(error, FALSE);
            return TRUE;
        }
        if (code == EEXIST)
            return failWith(ERROR_ALREADY_EXISTS, FALSE);
        if (code == ENOENT)
            return failWith(ERROR_PATH_NOT_FOUND, FALSE);
        return failWith(win32ErrorFromErrno(code), FALSE);
    }
    if (flags & MOVEFILE_WRITE_THROUGH) {
        syncPath(folderOf(target), O_RDONLY | O_DIRECTORY);
        syncPath(folderOf(source), O_RDONLY | O_DIRECTORY);
    }
    return TRUE;
}

BOOL WINAPI ReplaceFileA(LPCSTR replacedFileName, LPCSTR replacementFileName,
                         LPCSTR backupFileName, DWORD, LPVOID exclude, LPVOID reserved)
{
    if (!replacedFileName || !replacementFileName || exclude || reserved)
        return failWith(ERROR_INVALID_PARAMETER, FALSE);
    // The flags ask for write-through, which every replacement here is, and
    // for merging access lists, of which the host has none.

    std::string replaced;
    std::string replacement;
    std::string backup;
    DWORD error = resolveHostPath(replacedFileName, replaced);
    if (error == ERROR_SUCCESS)
        error = resolveHostPath(replacementFileName, replacement);
    if (error == ERROR_SUCCESS && backupFileName)
        error = resolveHostPath(backupFileName, backup);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);

    // The replaced file must exist and be a file that may be written.
    struct stat replacedInfo;
    if (stat(replaced.c_str(), &replacedInfo) != 0)
        return failWith(win32ErrorForPath(errno, replaced), FALSE);
    if (!S_ISREG(replacedInfo.st_mode))
        return failWith(ERROR_UNABLE_TO_REMOVE_REPLACED, FALSE);
    if (isReadOnlyMode(replacedInfo.st_mode))
        return failWith(ERROR_ACCESS_DENIED, FALSE);
    ShareRegistry &shares = ShareRegistry::instance();
    if (!shares.allowsDelete(identityOf(replacedInfo)))
        return failWith(ERROR_SHARING_VIOLATION, FALSE);

    // The replacement is taken whole: no open of it may remain.
    struct stat replacementInfo;
    if (lstat(replacement.c_str(), &replacementInfo) != 0)
        return failWith(win32ErrorForPath(errno, replacement), FALSE);
    if (!S_ISREG(replacementInfo.st_mode))
        return failWith(ERROR_ACCESS_DENIED, FALSE);
    if (!shares.allows(identityOf(replacementInfo), FileUse{true, true, 0}))
        return failWith(ERROR_SHARING_VIOLATION, FALSE);

    // The backup receives a copy of the replaced file's bytes (an existing
    // file of that name gives way): the replaced file itself stays where it
    // is until the replacement takes its place, so that a link keeps
    // naming it. When that last step fails, both keep their names.
    if (backupFileName) {
        UniqueFd old(open(replaced.c_str(), O_RDONLY | O_CLOEXEC));
        if (!old.valid())
            return failWith(win32ErrorForPath(errno, replaced), FALSE);
        error = AtomicFileWriter::replaceFromDescriptor(backup, old.get());
        if (error != ERROR_SUCCESS)
            return failWith(error, FALSE);
    }
    error = AtomicFileWriter::replaceWithFile(replaced, replacement);
    if (error != ERROR_SUCCESS)
        return failWith(backupFileName ? ERROR_UNABLE_TO_MOVE_REPLACEMENT : error, FALSE);
    return TRUE;
}
