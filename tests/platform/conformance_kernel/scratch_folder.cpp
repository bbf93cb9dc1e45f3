#include "scratch_folder.h"

#include <cstdio>
#include <random>

ScratchFolder::ScratchFolder()
{
    static unsigned counter = 0;
    std::random_device random;
    for (int attempt = 0; attempt < 20 && !created_; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "hp_k32_%08lx_%08x_%u",
                      static_cast<unsigned long>(GetTickCount()), static_cast<unsigned>(random()),
                      counter++);
        path_ = name;
        created_ = CreateDirectoryA(path_.c_str(), nullptr) != FALSE;
    }
}

ScratchFolder::~ScratchFolder()
{
    if (created_)
        removeTree(path_);
}

void ScratchFolder::removeTree(const std::string &folder)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

bool ScratchFolder::write(const std::string &name, const std::string &bytes) const
{
    HANDLE handle = CreateFileA(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    return ok && written == bytes.size();
}

std::optional<std::string> ScratchFolder::read(const std::string &name) const
{
    HANDLE handle = CreateFileA(file(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(handle);
    return bytes;
}

bool ScratchFolder::exists(const std::string &name) const
{
    return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}
