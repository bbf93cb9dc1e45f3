// GetPrivateProfileIntA, GetPrivateProfileStringA and
// WritePrivateProfileStringA. Every call reads the file afresh, so changes
// made by others show at once; a write replaces the whole file atomically
// (atomic_file_writer.h) and only when its text changes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/kernel32/atomic_file_writer.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/host_file_info.h"
#include "platform/kernel32/path_model.h"
#include "platform/kernel32/profile_document.h"
#include "platform/kernel32/share_registry.h"
#include "platform/kernel32/unique_fd.h"

using namespace hp::kernel32;

namespace {

constexpr DWORD integerBufferBytes = 30;  // as much of a value as the integer reader looks at

std::mutex &profileMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

// The platform keeps bare names ("app.ini") in its Windows folder; this
// layer has none, so they resolve against the working directory like any
// relative path.
DWORD profileHostPath(LPCSTR fileName, std::string &hostPath)
{
    ResolvedPath resolved;
    DWORD error = resolvePath(fileName, resolved);
    if (error != ERROR_SUCCESS)
        return error;
    if (resolved.kind != ResolvedPath::Kind::HostFile)
        return ERROR_ACCESS_DENIED;
    hostPath = resolved.hostPath;
    return ERROR_SUCCESS;
}

// The file's bytes; a missing file reads as empty (existed false). An open
// of this process that does not share the access refuses it, as the
// platform's own open would.
DWORD loadProfile(const std::string &hostPath, const FileUse &use, std::string &bytes,
                  bool &existed)
{
    bytes.clear();
    existed = false;
    UniqueFd fd(open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) {
        DWORD error = win32ErrorForPath(errno, hostPath);
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    struct stat info;
    if (fstat(fd.get(), &info) != 0)
        return win32ErrorFromErrno(errno);
    if (!S_ISREG(info.st_mode))
        return ERROR_ACCESS_DENIED;
    if (use.write && isReadOnlyMode(info.st_mode))
        return ERROR_ACCESS_DENIED;
    if (!ShareRegistry::instance().allows(FileIdentity{info.st_dev, info.st_ino}, use))
        return ERROR_SHARING_VIOLATION;
    existed = true;
    char buffer[16384];
    for (;;) {
        ssize_t got = read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return win32ErrorFromErrno(errno);
        }
        if (got == 0)
            return ERROR_SUCCESS;
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

DWORD copyText(const std::string &text, LPSTR out, DWORD size)
{
    DWORD length = text.size() < size - 1 ? static_cast<DWORD>(text.size()) : size - 1;
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return length;
}

// Names, each followed by its terminator, and one more terminator at the
// end. When they do not fit, the list is cut to size - 2 bytes and ends in
// two terminators, and the result is size - 2.
DWORD copyList(const std::vector<std::string> &names, LPSTR out, DWORD size)
{
    std::string joined;
    for (const std::string &name : names) {
        joined += name;
        joined += '\0';
    }
    if (joined.empty()) {
        out[0] = '\0';
        return 0;
    }
    if (joined.size() + 2 <= size) {
        std::memcpy(out, joined.data(), joined.size());
        out[joined.size()] = '\0';
        return static_cast<DWORD>(joined.size());
    }
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    std::memcpy(out, joined.data(), size - 2);
    out[size - 2] = '\0';
    out[size - 1] = '\0';
    return size - 2;
}

std::string defaultTextOf(LPCSTR defaultValue)
{
    std::string text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return text;
}

// The platform's integer reading: leading blanks, a sign, "0x", "0o" or
// "0b" for another base, then digits up to the first that does not belong;
// the value wraps modulo 2^32.
UINT parseProfileInteger(const char *text)
{
    while (*text && static_cast<unsigned char>(*text) <= ' ')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'o' || text[1] == 'b')) {
        base = text[1] == 'x' ? 16 : text[1] == 'o' ? 8 : 2;
        text += 2;
    }
    UINT value = 0;
    for (; *text; ++text) {
        char c = *text;
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue,
                                      LPSTR returnedString, DWORD size, LPCSTR fileName)
{
    if (!returnedString || size == 0)
        return 0;
    std::string fallback = defaultTextOf(defaultValue);

    std::string bytes;
    bool existed = false;
    std::string hostPath;
    DWORD error = fileName && *fileName ? profileHostPath(fileName, hostPath) : ERROR_FILE_NOT_FOUND;
    if (error == ERROR_SUCCESS) {
        std::lock_guard<std::mutex> lock(profileMutex());
        FileUse use{true, false, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
        error = loadProfile(hostPath, use, bytes, existed);
    }
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
        return copyText(fallback, returnedString, size);

    ProfileDocument document = ProfileDocument::parse(bytes);
    if (!appName)
        return copyList(document.sectionNames(), returnedString, size);
    if (!keyName) {
        auto keys = document.keyNames(appName);
        if (!keys || keys->empty())
            return copyText(fallback, returnedString, size);
        return copyList(*keys, returnedString, size);
    }
    std::optional<std::string> value = document.value(appName, keyName);
    return copyText(value ? *value : fallback, returnedString, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue,
                                  LPCSTR fileName)
{
    char buffer[integerBufferBytes];
    if (GetPrivateProfileStringA(appName, keyName, "", buffer, sizeof buffer, fileName) == 0)
        return static_cast<UINT>(defaultValue);
    return parseProfileInteger(buffer);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value,
                                       LPCSTR fileName)
{
    // All three null asks the platform to flush its cache; there is none
    // here, and the platform answers FALSE.
    if (!appName && !keyName && !value)
        return FALSE;
    if (!fileName)
        return failWith(ERROR_INVALID_PARAMETER, FALSE);
    if (!*fileName)
        return failWith(ERROR_ACCESS_DENIED, FALSE);
    if (!appName)
        return failWith(ERROR_FILE_NOT_FOUND, FALSE);

    std::string hostPath;
    DWORD error = profileHostPath(fileName, hostPath);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);

    std::lock_guard<std::mutex> lock(profileMutex());
    std::string bytes;
    bool existed = false;
    FileUse use{true, true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
    error = loadProfile(hostPath, use, bytes, existed);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);

    ProfileDocument document = ProfileDocument::parse(bytes);
    bool changed = !keyName ? document.deleteSection(appName)
                   : !value ? document.deleteKey(appName, keyName)
                            : document.setValue(appName, keyName, value);
    // Like the platform, a call that changes nothing still leaves a file
    // behind where there was none.
    if (!changed && existed)
        return TRUE;
    error = AtomicFileWriter::replace(hostPath, document.serialize());
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    return TRUE;
}
