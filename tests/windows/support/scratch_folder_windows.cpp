// The scratch folder of tests/support/scratch_folder.h on the real platform:
// the same contract, written with Win32 calls only (the host helper relies
// on POSIX), for the subsystem tests that run under Windows.
#include "tests/support/scratch_folder.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win32.h"

namespace hp::test {

namespace {

// Names below the folder use "/" as the contract says; the platform takes
// either separator.
void removeTree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                // A test may leave a file read-only; it still goes.
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder()
{
    char temporary[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temporary, temporary);
    if (length == 0 || length >= sizeof temporary)
        throw std::runtime_error("no temporary folder");
    std::string base(temporary, length);
    if (base.back() == '\\' || base.back() == '/')
        base.pop_back();
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        wsprintfA(name, "\\hp-test-%lu-%lu-%u", GetCurrentProcessId(), GetTickCount(), serial++);
        std::string candidate = base + name;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot create a scratch folder in " + base);
}

ScratchFolder::~ScratchFolder() { removeTree(path_); }

std::string ScratchFolder::pathOf(const std::string &name) const { return path_ + "/" + name; }

std::string ScratchFolder::write(const std::string &name, const std::string &bytes) const
{
    std::string full = pathOf(name);
    HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write " + full);
    DWORD written = 0;
    BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!wrote || written != bytes.size())
        throw std::runtime_error("cannot write " + full);
    return full;
}

std::string ScratchFolder::makeFolder(const std::string &name) const
{
    // Every level of a nested name, as create_directories would.
    for (size_t end = name.find_first_of("/\\"); end != std::string::npos;
         end = name.find_first_of("/\\", end + 1)) {
        CreateDirectoryA(pathOf(name.substr(0, end)).c_str(), nullptr);
    }
    std::string full = pathOf(name);
    if (!CreateDirectoryA(full.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create " + full);
    return full;
}

std::string ScratchFolder::read(const std::string &name) const
{
    HANDLE file = CreateFileA(pathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

std::vector<std::string> ScratchFolder::names() const
{
    std::vector<std::string> result;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return result;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            result.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(result.begin(), result.end());
    return result;
}

CurrentDirectory::CurrentDirectory(const std::string &path)
{
    char previous[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof previous, previous);
    if (length == 0 || length >= sizeof previous)
        throw std::runtime_error("cannot read the current directory");
    previous_.assign(previous, length);
    if (!SetCurrentDirectoryA(path.c_str()))
        throw std::runtime_error("cannot enter " + path);
}

CurrentDirectory::~CurrentDirectory() { SetCurrentDirectoryA(previous_.c_str()); }

}  // namespace hp::test
