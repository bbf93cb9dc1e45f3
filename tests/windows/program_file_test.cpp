// The shipped executable as the Windows loader sees it: a 32-bit GUI
// program whose only dependencies are the system DLLs it was written for,
// entered through their narrow (code page) functions.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr char programFile[] = "Hollyphone.exe";

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<unsigned char> readWholeFile(const char *name)
{
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), size, &got, nullptr) || got != size)
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

// The file's PE image, read from its bytes without loading it.
class PeImage {
public:
    explicit PeImage(std::vector<unsigned char> bytes) : bytes_(std::move(bytes))
    {
        if (bytes_.size() < sizeof(IMAGE_DOS_HEADER))
            return;
        const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(bytes_.data());
        if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
            static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > bytes_.size())
            return;
        headers_ = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(bytes_.data() + dos->e_lfanew);
        if (headers_->Signature != IMAGE_NT_SIGNATURE) {
            headers_ = nullptr;
            return;
        }
        sections_ = IMAGE_FIRST_SECTION(headers_);
    }

    bool valid() const { return headers_ != nullptr; }
    const IMAGE_NT_HEADERS32 &headers() const { return *headers_; }

    // The bytes at a relative virtual address, or null outside every section.
    const unsigned char *at(DWORD rva) const
    {
        for (WORD i = 0; i < headers_->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER &section = sections_[i];
            DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size) {
                size_t offset = rva - section.VirtualAddress + section.PointerToRawData;
                return offset < bytes_.size() ? bytes_.data() + offset : nullptr;
            }
        }
        return nullptr;
    }

    std::string textAt(DWORD rva) const
    {
        const unsigned char *text = at(rva);
        return text ? reinterpret_cast<const char *>(text) : "<outside the image>";
    }

    const IMAGE_DATA_DIRECTORY &directory(int index) const
    {
        return headers_->OptionalHeader.DataDirectory[index];
    }

    // Imported function names by DLL (lower-case DLL names); imports by
    // ordinal appear as "#<ordinal>".
    std::map<std::string, std::set<std::string>> imports() const
    {
        std::map<std::string, std::set<std::string>> result;
        const IMAGE_DATA_DIRECTORY &table = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
        const auto *descriptor =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(at(table.VirtualAddress));
        for (; descriptor && descriptor->Name != 0; ++descriptor) {
            std::set<std::string> &names = result[lowerCase(textAt(descriptor->Name))];
            DWORD thunks = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk
                                                          : descriptor->FirstThunk;
            const auto *thunk = reinterpret_cast<const IMAGE_THUNK_DATA32 *>(at(thunks));
            for (; thunk && thunk->u1.AddressOfData != 0; ++thunk) {
                if (IMAGE_SNAP_BY_ORDINAL32(thunk->u1.Ordinal)) {
                    names.insert("#" + std::to_string(IMAGE_ORDINAL32(thunk->u1.Ordinal)));
                } else {
                    const auto *byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(
                        at(thunk->u1.AddressOfData));
                    names.insert(byName ? reinterpret_cast<const char *>(byName->Name)
                                        : "<outside the image>");
                }
            }
        }
        return result;
    }

private:
    std::vector<unsigned char> bytes_;
    const IMAGE_NT_HEADERS32 *headers_ = nullptr;
    const IMAGE_SECTION_HEADER *sections_ = nullptr;
};

class ProgramFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        image_ = std::make_unique<PeImage>(readWholeFile(programFile));
        ASSERT_TRUE(image_->valid()) << programFile << " is missing or not a PE image";
    }

    std::unique_ptr<PeImage> image_;
};

TEST_F(ProgramFile, IsA32BitGuiProgram)
{
    const IMAGE_NT_HEADERS32 &headers = image_->headers();
    EXPECT_EQ(headers.FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_TRUE(headers.FileHeader.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE);
    EXPECT_FALSE(headers.FileHeader.Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(headers.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    // No console window opens beside the player.
    EXPECT_EQ(headers.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// The runtime is linked in: a user needs nothing but the system's own DLLs,
// and none is loaded late behind the loader's back.
TEST_F(ProgramFile, DependsOnlyOnTheSystemDlls)
{
    std::set<std::string> dlls;
    for (const auto &[dll, functions] : image_->imports())
        dlls.insert(dll);
    EXPECT_EQ(dlls, (std::set<std::string>{"gdi32.dll", "kernel32.dll", "msvcrt.dll",
                                           "shell32.dll", "user32.dll", "winmm.dll"}));
    EXPECT_EQ(image_->directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).VirtualAddress, 0u);
}

// Texts are code page 932 bytes throughout: a wide entry point of the window
// system or GDI would take them for UTF-16.
TEST_F(ProgramFile, UsesTheNarrowEntryPoints)
{
    std::map<std::string, std::set<std::string>> imports = image_->imports();
    for (const char *dll : {"user32.dll", "gdi32.dll", "shell32.dll", "winmm.dll"}) {
        for (const std::string &function : imports[dll]) {
            SCOPED_TRACE(std::string(dll) + " " + function);
            EXPECT_NE(function.back(), 'W');
            EXPECT_NE(function.front(), '#');
        }
    }
}

// Sound goes only through the MCI command interface and the mixer
// functions; files reach the program only by drag and drop.
TEST_F(ProgramFile, SoundAndShellFunctionsAreTheDocumentedOnes)
{
    std::map<std::string, std::set<std::string>> imports = image_->imports();
    const std::set<std::string> winmmAllowed = {
        "mciSendCommandA", "mixerGetNumDevs",       "mixerGetDevCapsA",
        "mixerOpen",       "mixerClose",            "mixerGetLineInfoA",
        "mixerGetLineControlsA", "mixerGetControlDetailsA", "mixerSetControlDetails"};
    const std::set<std::string> shellAllowed = {"DragAcceptFiles", "DragQueryFileA",
                                                "DragFinish"};
    for (const std::string &function : imports["winmm.dll"])
        EXPECT_TRUE(winmmAllowed.count(function)) << "winmm.dll " << function;
    for (const std::string &function : imports["shell32.dll"])
        EXPECT_TRUE(shellAllowed.count(function)) << "shell32.dll " << function;
    EXPECT_TRUE(imports["winmm.dll"].count("mciSendCommandA"));
    EXPECT_TRUE(imports["shell32.dll"].count("DragQueryFileA"));
}

}  // namespace
