// The resources of the shipped executable, read through the platform's own
// resource functions: the window icon, the About box template and the
// version information.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr char programFile[] = "Hollyphone.exe";
constexpr int iconId = 101;
constexpr int aboutDialogId = 106;
constexpr WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr WORD buttonClass = 0x0080;
constexpr WORD staticClass = 0x0082;
constexpr WORD noId = 0xFFFF;

// The program loaded as data: its resources without running it.
class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExA(programFile, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << "cannot open " << programFile << ", error "
                                    << GetLastError();
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }

    std::vector<unsigned char> resource(int id, LPCSTR type, WORD language) const
    {
        HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), language);
        if (!found)
            return {};
        HGLOBAL loaded = LoadResource(module_, found);
        const auto *bytes = static_cast<const unsigned char *>(LockResource(loaded));
        return bytes ? std::vector<unsigned char>(bytes, bytes + SizeofResource(module_, found))
                     : std::vector<unsigned char>();
    }

    HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, IconComesInTheSizesTheWindowAndTheAboutBoxAskFor)
{
    ASSERT_NE(FindResourceA(module_, MAKEINTRESOURCEA(iconId), MAKEINTRESOURCEA(14)), nullptr)
        << "no icon group " << iconId;
    // The class icon (32), the small icon of the class (16).
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(
            LoadImageA(module_, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        ASSERT_EQ(GetObjectA(info.hbmColor, sizeof colour, &colour),
                  static_cast<int>(sizeof colour));
        // The group holds an image of exactly this size: nothing was scaled.
        int bestId = LookupIconIdFromDirectoryEx(
            resource(iconId, MAKEINTRESOURCEA(14), japanese).data(), TRUE, size, size, 0);
        std::vector<unsigned char> image = resource(bestId, MAKEINTRESOURCEA(3), japanese);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        const auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(image.data());
        EXPECT_EQ(header->biWidth, size);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// A dialog template read field by field (the classic DLGTEMPLATE layout).
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<unsigned char> &bytes) : bytes_(bytes) {}

    bool overrun() const { return overrun_; }

    DWORD dword()
    {
        DWORD value = word();
        return value | static_cast<DWORD>(word()) << 16;
    }
    WORD word()
    {
        if (position_ + 2 > bytes_.size()) {
            overrun_ = true;
            return 0;
        }
        WORD value = static_cast<WORD>(bytes_[position_] | bytes_[position_ + 1] << 8);
        position_ += 2;
        return value;
    }
    short coordinate() { return static_cast<short>(word()); }
    std::u16string text()
    {
        std::u16string result;
        for (WORD c = word(); c != 0 && !overrun_; c = word())
            result.push_back(static_cast<char16_t>(c));
        return result;
    }
    // A name or an ordinal: 0xFFFF and an ordinal, or a string.
    std::u16string nameOrOrdinal(WORD *ordinal)
    {
        *ordinal = 0;
        if (position_ + 2 <= bytes_.size() && bytes_[position_] == 0xFF &&
            bytes_[position_ + 1] == 0xFF) {
            word();
            *ordinal = word();
            return u"";
        }
        return text();
    }
    void alignToDword() { position_ = (position_ + 3) & ~size_t{3}; }
    void skip(size_t count) { position_ += count; }

private:
    const std::vector<unsigned char> &bytes_;
    size_t position_ = 0;
    bool overrun_ = false;
};

struct TemplateItem {
    DWORD style;
    DWORD extendedStyle;
    short x, y, width, height;
    WORD id;
    WORD classAtom;
    std::u16string text;
    WORD textOrdinal;
};

// Styles every control of a dialog carries.
constexpr DWORD visibleChild = WS_CHILD | WS_VISIBLE;

TEST_F(ProgramResources, AboutBoxTemplate)
{
    std::vector<unsigned char> bytes = resource(aboutDialogId, RT_DIALOG, japanese);
    ASSERT_FALSE(bytes.empty()) << "no Japanese dialog " << aboutDialogId;
    TemplateReader reader(bytes);
    DWORD style = reader.dword();
    ASSERT_NE(style, 0xFFFF0001u) << "an extended template";
    EXPECT_EQ(style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                        DS_SETFONT));
    EXPECT_EQ(reader.dword(), 0u) << "extended style";
    WORD count = reader.word();
    EXPECT_EQ(reader.coordinate(), 0);
    EXPECT_EQ(reader.coordinate(), 0);
    EXPECT_EQ(reader.coordinate(), 210);
    EXPECT_EQ(reader.coordinate(), 120);
    WORD ordinal = 0;
    EXPECT_EQ(reader.nameOrOrdinal(&ordinal), u"") << "menu";
    EXPECT_EQ(ordinal, 0);
    EXPECT_EQ(reader.nameOrOrdinal(&ordinal), u"") << "class";
    EXPECT_EQ(ordinal, 0);
    EXPECT_EQ(reader.text(), u"バージョン情報");
    ASSERT_TRUE(style & DS_SETFONT);
    EXPECT_EQ(reader.word(), 9) << "point size";
    EXPECT_EQ(reader.text(), u"ＭＳ Ｐゴシック");
    ASSERT_FALSE(reader.overrun());

    std::vector<TemplateItem> items;
    for (WORD i = 0; i < count; ++i) {
        reader.alignToDword();
        TemplateItem item{};
        item.style = reader.dword();
        item.extendedStyle = reader.dword();
        item.x = reader.coordinate();
        item.y = reader.coordinate();
        item.width = reader.coordinate();
        item.height = reader.coordinate();
        item.id = reader.word();
        reader.nameOrOrdinal(&item.classAtom);
        item.text = reader.nameOrOrdinal(&item.textOrdinal);
        reader.skip(reader.word());  // creation data
        items.push_back(item);
    }
    ASSERT_FALSE(reader.overrun());
    ASSERT_EQ(items.size(), 7u);

    struct Expected {
        const char *what;
        WORD classAtom;
        DWORD style;  // beyond WS_CHILD | WS_VISIBLE
        WORD id;
        short x, y, width, height;
        const char16_t *text;  // null: a credit, checked below
        WORD textOrdinal;
    };
    const Expected expected[] = {
        {"OK button", buttonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 1005, 80, 97, 50, 14, u"OK", 0},
        {"icon", staticClass, SS_ICON, noId, 38, 17, 18, 21, u"", 101},
        {"group box", buttonClass, BS_GROUPBOX, noId, 14, 9, 183, 33, u"", 0},
        {"name", staticClass, SS_LEFT | WS_GROUP, noId, 84, 23, 66, 16, u"Hollyphone", 0},
        {"version", staticClass, SS_LEFT | WS_GROUP, noId, 48, 51, 88, 10, u"Version : 1.00", 0},
        {"author", staticClass, SS_LEFT | WS_GROUP, noId, 48, 63, 125, 12, nullptr, 0},
        {"credit", staticClass, SS_LEFT | WS_GROUP, noId, 74, 77, 81, 12, nullptr, 0},
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const TemplateItem &item = items[i];
        const Expected &want = expected[i];
        SCOPED_TRACE(want.what);
        EXPECT_EQ(item.classAtom, want.classAtom);
        EXPECT_EQ(item.style & visibleChild, visibleChild);
        EXPECT_EQ(item.style & ~visibleChild, want.style);
        EXPECT_EQ(item.extendedStyle, 0u);
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.width, want.width);
        EXPECT_EQ(item.height, want.height);
        EXPECT_EQ(item.textOrdinal, want.textOrdinal);
        if (want.text) {
            EXPECT_EQ(item.text, want.text);
        }
    }
    // The credits: "Author : " and a name; a second line of its own.
    EXPECT_EQ(items[5].text.rfind(u"Author : ", 0), 0u);
    EXPECT_GT(items[5].text.size(), 9u);
    EXPECT_FALSE(items[6].text.empty());
}

std::string versionValue(const std::vector<unsigned char> &block, const char *name)
{
    std::string path = std::string("\\StringFileInfo\\041104b0\\") + name;
    char *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void **>(&value), &length) ||
        !value)
        return "<absent>";
    return value;
}

TEST(ProgramVersion, SaysVersion1_00OfHollyphoneInJapanese)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(programFile, &ignored);
    ASSERT_GT(size, 0u) << "no version information";
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(programFile, 0, size, block.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

    WORD *translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void **>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], japanese);
    EXPECT_EQ(translation[1], 1200);  // Unicode strings

    EXPECT_EQ(versionValue(block, "ProductName"), "Hollyphone");
    EXPECT_EQ(versionValue(block, "FileVersion"), "1.00");
    EXPECT_EQ(versionValue(block, "ProductVersion"), "1.00");
    EXPECT_EQ(versionValue(block, "OriginalFilename"), "Hollyphone.exe");
}

}  // namespace
