// The catalogue's own rules: type registration and lookup, entry ids, track
// lists, dispatch to the handlers, and the limits of its counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "tests/support/fresh_object.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr NameText twoProperties[2] = {"FullPath", "Title"};

// Handlers that record what the catalogue asked of them.
struct HandlerLog {
    std::vector<std::string> probes;  // "<type>:<path>"
    std::vector<uint32_t> plays;
};
HandlerLog handlerLog;

int probeAsFirst(MediaCatalog *, const char *path)
{
    handlerLog.probes.push_back(std::string("first:") + path);
    return 1;
}

int probeAsSecond(MediaCatalog *, const char *path)
{
    handlerLog.probes.push_back(std::string("second:") + path);
    return 0;
}

int recordPlay(MediaCatalog *, uint32_t entryId)
{
    handlerLog.plays.push_back(entryId);
    return 0;  // the catalogue's answer does not depend on it
}

class Catalog : public ::testing::Test {
protected:
    void SetUp() override { handlerLog = HandlerLog(); }

    uint8_t registerPlain(const char *name)
    {
        EXPECT_EQ(catalog_.registerType(name, nullptr, nullptr, 0, twoProperties, 2), 1);
        return catalog_.findTypeId(name);
    }

    int add(uint8_t typeId, const std::vector<std::string> &values)
    {
        std::vector<ValueText> slots(values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            snprintf(slots[i], valueCapacity, "%s", values[i].c_str());
        }
        return catalog_.addEntry(typeId, slots.data(), static_cast<int>(values.size()));
    }

    std::vector<uint32_t> list(uint8_t index)
    {
        std::vector<uint32_t> ids;
        for (int i = 0; i < catalog_.listCount(index); ++i) {
            ids.push_back(catalog_.listItem(index, i));
        }
        return ids;
    }

    MediaCatalog catalog_;
};

TEST_F(Catalog, PlayerTypesAreRegisteredInOrder)
{
    registerMediaTypes(&catalog_);
    ASSERT_EQ(catalog_.typeCount, 3);
    EXPECT_EQ(catalog_.findTypeId("MP3"), 0);
    EXPECT_EQ(catalog_.findTypeId("MIDI"), 1);
    EXPECT_EQ(catalog_.findTypeId("CDA"), 2);
    EXPECT_EQ(catalog_.findTypeId("mp3"), noTypeId);

    const std::vector<std::string> fileProperties = {"FullPath", "Artist", "Title", "Comment"};
    const std::vector<std::string> cdProperties = {"DrivePath", "Artist", "Title", "Track",
                                                   "Comment"};
    for (uint8_t id = 0; id < 3; ++id) {
        const MediaType &type = catalog_.types[id];
        SCOPED_TRACE(type.name);
        EXPECT_EQ(type.id, id);
        const std::vector<std::string> &expected = id == 2 ? cdProperties : fileProperties;
        ASSERT_EQ(type.propertyCount, expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_STREQ(type.propertyNames[i], expected[i].c_str());
        }
        ASSERT_EQ(type.defaultCount, 1);
        EXPECT_STREQ(type.defaultNames[0], "FileType");
        EXPECT_STREQ(type.defaultValues[0], "audio");
        EXPECT_EQ(type.hasPlayHandler, 1);
        EXPECT_EQ(type.hasProbeHandler, id == 2 ? 0 : 1);  // CD tracks are never probed
    }
    EXPECT_EQ(catalog_.types[0].probeHandler, probeMp3);
    EXPECT_EQ(catalog_.types[1].probeHandler, probeMidi);
    EXPECT_EQ(catalog_.types[0].playHandler, playFileEntry);
    EXPECT_EQ(catalog_.types[1].playHandler, playFileEntry);
    EXPECT_EQ(catalog_.types[2].playHandler, playCdTrackEntry);
}

TEST_F(Catalog, FindTypePrefersIdAndNameThenFallsBackToName)
{
    registerPlain("A");
    registerPlain("B");
    EXPECT_EQ(catalog_.findType(1, nullptr), &catalog_.types[1]);
    EXPECT_EQ(catalog_.findType(0, "A"), &catalog_.types[0]);
    EXPECT_EQ(catalog_.findType(0, "B"), &catalog_.types[1]);  // id and name disagree
    EXPECT_EQ(catalog_.findType(7, "B"), &catalog_.types[1]);
    EXPECT_EQ(catalog_.findType(7, nullptr), nullptr);
    EXPECT_EQ(catalog_.findType(0, "C"), nullptr);
}

TEST_F(Catalog, HandlersNeedAHandlerAndAType)
{
    uint8_t id = registerPlain("A");
    EXPECT_EQ(catalog_.types[0].hasPlayHandler, 0);
    EXPECT_EQ(catalog_.setPlayHandler(id, nullptr), 0);
    EXPECT_EQ(catalog_.setProbeHandler(id, nullptr), 0);
    EXPECT_EQ(catalog_.setPlayHandler(5, recordPlay), 0);
    EXPECT_EQ(catalog_.setProbeHandler(noTypeId, probeAsFirst), 0);
    EXPECT_EQ(catalog_.types[0].hasPlayHandler, 0);
    EXPECT_EQ(catalog_.types[0].hasProbeHandler, 0);
    EXPECT_EQ(catalog_.setPlayHandler(id, recordPlay), 1);
    EXPECT_EQ(catalog_.types[0].hasPlayHandler, 1);
}

TEST_F(Catalog, EntryIdsCarryTypeAndSerial)
{
    registerMediaTypes(&catalog_);
    EXPECT_EQ(add(0, {"a"}), 1);
    EXPECT_EQ(add(0, {"b"}), 1);
    EXPECT_EQ(add(2, {"D:\\"}), 1);
    ASSERT_EQ(catalog_.entryCount, 3u);
    EXPECT_EQ(catalog_.entries[0].id, 0u);
    EXPECT_EQ(catalog_.entries[1].id, 1u);
    EXPECT_EQ(catalog_.entries[2].id, (2u << 24) | 2u);
    EXPECT_EQ(catalog_.entries[2].typeId, 2);
    EXPECT_EQ(catalog_.findEntry((2u << 24) | 2u), &catalog_.entries[2]);
    EXPECT_EQ(catalog_.findEntry(2u), nullptr);

    EXPECT_EQ(add(noTypeId, {"x"}), 0);
    EXPECT_EQ(add(3, {"x"}), 0);
    EXPECT_EQ(catalog_.entryCount, 3u);
}

TEST_F(Catalog, EntryValuesFollowTheTypesProperties)
{
    registerMediaTypes(&catalog_);
    ASSERT_EQ(add(0, {"p", "a", "t", "c", "surplus"}), 1);
    ASSERT_EQ(add(0, {"p", "a"}), 1);
    const MediaEntry &full = catalog_.entries[0];
    const MediaEntry &partial = catalog_.entries[1];
    EXPECT_STREQ(full.values[3], "c");
    EXPECT_STREQ(partial.values[1], "a");
    EXPECT_STREQ(partial.values[2], "");
    EXPECT_STREQ(partial.values[3], "");
    // The values are copies: the caller's slots may go away.
    EXPECT_EQ(add(0, {}), 1);
    EXPECT_STREQ(catalog_.entries[2].values[0], "");
}

TEST_F(Catalog, ListInsertion)
{
    const uint32_t a = 10, b = 11, c = 12, x = 99;
    struct Case {
        int position;
        int replace;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {1, insertBefore, {a, x, b, c}},
        {1, replaceAt, {a, x, c}},
        {3, replaceAt, {a, b, c, x}},  // beyond the end: append, whatever the flag
        {0, insertBefore, {x, a, b, c}},
        {2, 2, {a, b, x, c}},          // only exactly 1 replaces
        {appendPosition, insertBefore, {a, b, c, x}},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(std::to_string(test.position) + " replace " + std::to_string(test.replace));
        ASSERT_EQ(catalog_.setListName(2, "list"), 1);
        for (uint32_t id : {a, b, c}) {
            ASSERT_EQ(catalog_.insertIntoList(2, appendPosition, id, insertBefore), 1);
        }
        EXPECT_EQ(catalog_.insertIntoList(2, test.position, x, test.replace), 1);
        EXPECT_EQ(list(2), test.expected);
    }
}

TEST_F(Catalog, AppendPositionInsertsIntoALongerList)
{
    catalog_.setListName(0, "再生リスト");
    EXPECT_EQ(catalog_.insertIntoList(0, appendPosition, 7, insertBefore), 1);
    EXPECT_EQ(list(0), std::vector<uint32_t>{7});
    for (uint32_t id = 1; id <= 10000; ++id) {
        catalog_.insertIntoList(0, appendPosition, id + 100, insertBefore);
    }
    ASSERT_EQ(catalog_.listCount(0), 10001);
    EXPECT_EQ(catalog_.insertIntoList(0, appendPosition, 5, insertBefore), 1);
    EXPECT_EQ(catalog_.listItem(0, 10000), 5u);
    EXPECT_EQ(catalog_.listItem(0, 10001), 10100u);
}

TEST_F(Catalog, NamingAListEmptiesIt)
{
    ASSERT_EQ(catalog_.setListName(0, "再生リスト"), 1);
    catalog_.insertIntoList(0, 0, 1, insertBefore);
    catalog_.insertIntoList(0, 1, 2, insertBefore);
    ASSERT_EQ(catalog_.setListName(0, "再生リスト"), 1);
    EXPECT_EQ(catalog_.listCount(0), 0);
    EXPECT_EQ(catalog_.lists[0].inUse, 1);
    EXPECT_EQ(catalog_.findList("再生リスト"), 0);

    EXPECT_EQ(catalog_.setListName(5, "x"), 0);
    EXPECT_EQ(catalog_.setListName(0, ""), 0);
    EXPECT_EQ(catalog_.setListName(0, nullptr), 0);
    EXPECT_STREQ(catalog_.lists[0].name, "再生リスト");

    // A name longer than the field is cut short.
    ASSERT_EQ(catalog_.setListName(1, std::string(40, 'n').c_str()), 1);
    EXPECT_EQ(std::string(catalog_.lists[1].name), std::string(31, 'n'));
}

TEST_F(Catalog, UnusedListsAndPositionsAnswerNothing)
{
    catalog_.setListName(0, "queue");
    catalog_.insertIntoList(0, 0, 42, insertBefore);
    EXPECT_EQ(catalog_.listItem(0, catalog_.listCount(0)), noEntryId);
    EXPECT_EQ(catalog_.listItem(0, -1), noEntryId);
    EXPECT_EQ(catalog_.listItem(3, 0), noEntryId);
    EXPECT_EQ(catalog_.listItem(5, 0), noEntryId);
    EXPECT_EQ(catalog_.listItem(-1, 0), noEntryId);
    EXPECT_EQ(catalog_.listCount(7), 0);
    EXPECT_EQ(catalog_.listCount(3), 0);
    EXPECT_EQ(catalog_.insertIntoList(3, 0, 1, insertBefore), 0);
    EXPECT_EQ(catalog_.insertIntoList(5, 0, 1, insertBefore), 0);
    EXPECT_EQ(catalog_.insertIntoList(0, -1, 1, insertBefore), 0);
    EXPECT_EQ(catalog_.findList("nothing"), noListIndex);
    EXPECT_EQ(list(0), std::vector<uint32_t>{42});
}

TEST_F(Catalog, PlayDispatchesToTheEntrysType)
{
    uint8_t first = registerPlain("first");
    uint8_t second = registerPlain("second");
    catalog_.setPlayHandler(second, recordPlay);
    add(first, {"a"});
    add(second, {"b"});
    uint32_t playable = catalog_.entries[1].id;

    EXPECT_EQ(catalog_.playAsCurrent(playable), 1);
    EXPECT_EQ(handlerLog.plays, std::vector<uint32_t>{playable});
    EXPECT_EQ(catalog_.currentEntryId, playable);
    EXPECT_EQ(catalog_.currentTypeId, second);

    // No such entry, or a type without a play handler: nothing is called
    // and the current entry stays.
    EXPECT_EQ(catalog_.playAsCurrent(12345), 0);
    EXPECT_EQ(catalog_.playEntry(catalog_.entries[0].id), 0);
    EXPECT_EQ(catalog_.playAsCurrent(catalog_.entries[0].id), 0);
    EXPECT_EQ(handlerLog.plays.size(), 1u);
    EXPECT_EQ(catalog_.currentEntryId, playable);
}

TEST_F(Catalog, AddFileOffersReadableFilesToEveryProbe)
{
    hp::test::ScratchFolder folder;
    std::string path = folder.write("file.bin", "contents");
    registerPlain("none");
    uint8_t second = registerPlain("second");
    uint8_t first = registerPlain("first");
    catalog_.setProbeHandler(first, probeAsFirst);
    catalog_.setProbeHandler(second, probeAsSecond);

    EXPECT_EQ(catalog_.addFile(path.c_str()), 1);
    EXPECT_EQ(handlerLog.probes,
              (std::vector<std::string>{"second:" + path, "first:" + path}));  // in type order

    handlerLog.probes.clear();
    EXPECT_EQ(catalog_.addFile(folder.pathOf("missing").c_str()), 0);
    EXPECT_EQ(catalog_.addFile(nullptr), 0);
    EXPECT_TRUE(handlerLog.probes.empty());
}

TEST_F(Catalog, TypeCountStopsBeforeTheNoTypeAnswer)
{
    for (int i = 0; i < maxTypeCount; ++i) {
        ASSERT_EQ(catalog_.registerType(("T" + std::to_string(i)).c_str(), nullptr, nullptr, 0,
                                        twoProperties, 2),
                  1);
    }
    EXPECT_EQ(catalog_.typeCount, 255);
    EXPECT_EQ(catalog_.findTypeId("T254"), 254);
    EXPECT_EQ(catalog_.registerType("T255", nullptr, nullptr, 0, twoProperties, 2), 0);
    EXPECT_EQ(catalog_.typeCount, 255);
    EXPECT_EQ(catalog_.findTypeId("T255"), noTypeId);
    EXPECT_EQ(catalog_.findTypeId("T0"), 0);
}

TEST_F(Catalog, RegistrationRefusesCountsItCannotHold)
{
    EXPECT_EQ(catalog_.registerType("neg", nullptr, nullptr, -1, twoProperties, 2), 0);
    EXPECT_EQ(catalog_.registerType("big", nullptr, nullptr, 0, twoProperties, 256), 0);
    EXPECT_EQ(catalog_.registerType(nullptr, nullptr, nullptr, 0, twoProperties, 2), 0);
    EXPECT_EQ(catalog_.typeCount, 0);
}

TEST_F(Catalog, ListLengthStopsBeforeTheCountWraps)
{
    catalog_.setListName(1, "long");
    for (uint32_t i = 0; i < maxListLength; ++i) {
        ASSERT_EQ(catalog_.insertIntoList(1, 70000, i, insertBefore), 1);
    }
    EXPECT_EQ(catalog_.insertIntoList(1, 70000, 1, insertBefore), 0);
    EXPECT_EQ(catalog_.insertIntoList(1, 0, 1, insertBefore), 0);
    EXPECT_EQ(catalog_.listCount(1), maxListLength);
    EXPECT_EQ(catalog_.listItem(1, maxListLength - 1), maxListLength - 1u);
    // Replacing needs no room.
    EXPECT_EQ(catalog_.insertIntoList(1, 5, 77, replaceAt), 1);
    EXPECT_EQ(catalog_.listItem(1, 5), 77u);
}

// The entry count is set directly to the limit: filling 16,777,216 real
// entries would take gigabytes.
TEST_F(Catalog, EntryCountStopsBeforeSerialNumbersRepeat)
{
    uint8_t id = registerPlain("A");
    ASSERT_EQ(add(id, {"first"}), 1);
    uint32_t realCount = catalog_.entryCount;
    catalog_.entryCount = maxEntryCount;
    EXPECT_EQ(add(id, {"one too many"}), 0);
    EXPECT_EQ(catalog_.entryCount, maxEntryCount);
    catalog_.entryCount = realCount;
    EXPECT_EQ(add(id, {"second"}), 1);
    EXPECT_EQ(catalog_.entries[1].id, 1u);
}

}  // namespace
