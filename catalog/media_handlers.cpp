#include "catalog/media_handlers.h"

#include <limits.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "platform/win32.h"
#include "sound/sound_device.h"
#include "sound/shift_jis.h"
#include "sound/text_copy.h"

namespace {

constexpr char mp3TypeName[] = "MP3";
constexpr char midiTypeName[] = "MIDI";
constexpr char cdaTypeName[] = "CDA";

constexpr char noArtistText[] = "アーティスト情報なし";
constexpr char noTitleText[] = "タイトル情報なし";
constexpr char noCommentText[] = "コメントなし";

constexpr int fileValueCount = 4;  // FullPath, Artist, Title, Comment
constexpr int cdValueCount = 5;    // DrivePath, Artist, Title, Track, Comment
constexpr int trackValueIndex = 3;

constexpr NameText fileProperties[fileValueCount] = {"FullPath", "Artist", "Title", "Comment"};
constexpr NameText cdProperties[cdValueCount] = {"DrivePath", "Artist", "Title", "Track",
                                                 "Comment"};
constexpr NameText defaultNames[1] = {"FileType"};
constexpr ValueText defaultValues[1] = {"audio"};

constexpr unsigned char id3Mark[] = {'I', 'D', '3'};
constexpr unsigned char mpegFrameMark[] = {0xFF, 0xFB, 0x92};
constexpr unsigned char tagMark[] = {'T', 'A', 'G'};
constexpr unsigned char midiHeaderMark[] = {'M', 'T', 'h', 'd'};
// An ID3v1 tag fills the last 128 bytes of a file and starts with "TAG".
constexpr LONG id3v1TagOffset = -128;

constexpr int driveListCapacity = 260;

// The Shift-JIS state of a walk over a text: after a lead byte, a byte that
// can trail is a trail byte, never a bracket or a dot.
class ShiftJisWalk {
public:
    // Feeds the next byte; true when that byte is the trail of a double-byte
    // character.
    bool isTrail(unsigned char byte)
    {
        if (afterLead_) {
            afterLead_ = false;
            return isTrailByte(byte);
        }
        if (isLeadByte(byte)) {
            afterLead_ = true;
        }
        return false;
    }

private:
    bool afterLead_ = false;
};

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const char *path)
        : handle_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
    {
    }
    ~ReadOnlyFile()
    {
        if (opened()) {
            CloseHandle(handle_);
        }
    }
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool opened() const { return handle_ != INVALID_HANDLE_VALUE; }

    // A seek the platform refuses (before the start of the file) leaves the
    // position where it was.
    void seek(LONG distance, DWORD method) { SetFilePointer(handle_, distance, nullptr, method); }

    // True when the next bytes are exactly the mark; a short read never
    // matches.
    template <size_t length>
    bool readMatches(const unsigned char (&mark)[length])
    {
        unsigned char bytes[length] = {};
        return readExactly(bytes, length) && memcmp(bytes, mark, length) == 0;
    }

    bool readExactly(unsigned char *bytes, DWORD length)
    {
        DWORD bytesRead = 0;
        return ReadFile(handle_, bytes, length, &bytesRead, nullptr) && bytesRead == length;
    }

private:
    HANDLE handle_;
};

bool looksLikeMp3(const char *path)
{
    ReadOnlyFile file(path);
    if (!file.opened()) {
        return false;
    }
    file.seek(0, FILE_BEGIN);
    unsigned char start[3] = {};
    if (file.readExactly(start, sizeof start)
        && (memcmp(start, id3Mark, sizeof start) == 0
            || memcmp(start, mpegFrameMark, sizeof start) == 0)) {
        return true;
    }
    // On a file shorter than the tag the seek fails and the position stays
    // where the first read ended, so bytes 3 to 5 are compared instead.
    file.seek(id3v1TagOffset, FILE_END);
    return file.readMatches(tagMark);
}

bool looksLikeMidi(const char *path)
{
    ReadOnlyFile file(path);
    if (!file.opened()) {
        return false;
    }
    file.seek(0, FILE_BEGIN);
    return file.readMatches(midiHeaderMark);
}

void addFileEntry(MediaCatalog *catalog, const char *typeName, const char *path)
{
    ValueText values[fileValueCount] = {};
    copyTruncated(values[0], valueCapacity, path);
    parseArtistTitle(path, values[1], values[2]);
    copyTruncated(values[3], valueCapacity, noCommentText);
    catalog->addEntry(catalog->findTypeId(typeName), values, fileValueCount);
}

// Appends a byte to a text of valueCapacity bytes, dropping what no longer
// fits.
void appendByte(char *text, size_t &length, char byte)
{
    if (length + 1 < static_cast<size_t>(valueCapacity)) {
        text[length++] = byte;
        text[length] = '\0';
    }
}

// Decimal value of a text as the standard conversion reads it (leading
// spaces, a sign, digits; 0 when there are none), held within int.
int decimalValue(const char *text)
{
    long value = strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// Catalogues tracks first to last of the drive with this letter.
void addDriveTracks(MediaCatalog &catalog, char letter, int firstTrack, int lastTrack)
{
    ValueText values[cdValueCount] = {};
    wsprintfA(values[0], "%c:\\", letter);
    wsprintfA(values[1], "音楽CD [%c:\\]", letter);
    copyTruncated(values[4], valueCapacity, noCommentText);
    for (int64_t track = firstTrack; track <= lastTrack; ++track) {
        wsprintfA(values[2], "トラック%d", static_cast<int>(track));
        wsprintfA(values[3], "%d", static_cast<int>(track));
        catalog.addEntry(catalog.findTypeId(cdaTypeName), values, cdValueCount);
    }
}

// The registration steps: each answers 1, whatever the catalogue says.
int registerTypeNamed(MediaCatalog &catalog, const char *name, const NameText *properties,
                      int propertyCount)
{
    catalog.registerType(name, defaultValues, defaultNames, 1, properties, propertyCount);
    return 1;
}

int setPlayHandlerOf(MediaCatalog &catalog, const char *name, PlayHandler handler)
{
    catalog.setPlayHandler(catalog.findTypeId(name), handler);
    return 1;
}

int setProbeHandlerOf(MediaCatalog &catalog, const char *name, ProbeHandler handler)
{
    catalog.setProbeHandler(catalog.findTypeId(name), handler);
    return 1;
}

}  // namespace

int registerMp3Type(MediaCatalog *catalog)
{
    return registerTypeNamed(*catalog, mp3TypeName, fileProperties, fileValueCount);
}

int setMp3PlayHandler(MediaCatalog *catalog)
{
    return setPlayHandlerOf(*catalog, mp3TypeName, playFileEntry);
}

int setMp3ProbeHandler(MediaCatalog *catalog)
{
    return setProbeHandlerOf(*catalog, mp3TypeName, probeMp3);
}

int registerMidiType(MediaCatalog *catalog)
{
    return registerTypeNamed(*catalog, midiTypeName, fileProperties, fileValueCount);
}

int setMidiPlayHandler(MediaCatalog *catalog)
{
    return setPlayHandlerOf(*catalog, midiTypeName, playFileEntry);
}

int setMidiProbeHandler(MediaCatalog *catalog)
{
    return setProbeHandlerOf(*catalog, midiTypeName, probeMidi);
}

int registerCdaType(MediaCatalog *catalog)
{
    return registerTypeNamed(*catalog, cdaTypeName, cdProperties, cdValueCount);
}

int setCdaPlayHandler(MediaCatalog *catalog)
{
    return setPlayHandlerOf(*catalog, cdaTypeName, playCdTrackEntry);
}

void registerMediaTypes(MediaCatalog *catalog)
{
    registerMp3Type(catalog);
    setMp3PlayHandler(catalog);
    setMp3ProbeHandler(catalog);
    registerMidiType(catalog);
    setMidiPlayHandler(catalog);
    setMidiProbeHandler(catalog);
    registerCdaType(catalog);
    setCdaPlayHandler(catalog);
}

int probeMp3(MediaCatalog *catalog, const char *path)
{
    if (!catalog || !path) {
        return 0;
    }
    if (!looksLikeMp3(path)) {
        return 0;
    }
    addFileEntry(catalog, mp3TypeName, path);
    return 1;
}

int probeMidi(MediaCatalog *catalog, const char *path)
{
    if (!catalog || !path || !looksLikeMidi(path)) {
        return 0;
    }
    addFileEntry(catalog, midiTypeName, path);
    return 1;
}

void parseArtistTitle(const char *path, char *artist, char *title)
{
    copyTruncated(artist, valueCapacity, noArtistText);
    copyTruncated(title, valueCapacity, noTitleText);
    if (!path) {
        return;
    }
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(path);
    size_t length = strlen(path);

    // The opening bracket: the last "[" that does not directly follow a lead
    // byte (only the byte before it is looked at).
    size_t open = length;
    for (size_t i = length; i-- > 0;) {
        if (bytes[i] == '[' && !(i >= 1 && isLeadByte(bytes[i - 1]))) {
            open = i;
            break;
        }
    }
    if (open == length) {
        return;
    }

    // The artist: the bytes inside the brackets; a found "]" ends it with a
    // line feed. Further "[" inside are dropped.
    size_t artistLength = 0;
    artist[0] = '\0';
    size_t close = length;
    bool inside = false;
    ShiftJisWalk artistWalk;
    for (size_t j = open; j < length; ++j) {
        bool trail = artistWalk.isTrail(bytes[j]);
        if (bytes[j] == '[' && !trail) {
            inside = true;
            continue;
        }
        if (bytes[j] == ']' && !trail) {
            appendByte(artist, artistLength, '\n');
            close = j;
            break;
        }
        if (inside) {
            appendByte(artist, artistLength, path[j]);
        }
    }

    // The title follows "] " up to the last dot of the whole path (or its
    // end); anything else leaves the default.
    if (close + 3 > length || bytes[close] != ']' || bytes[close + 1] != ' ') {
        return;
    }
    size_t titleStart = close + 2;
    size_t titleEnd = length;
    ShiftJisWalk dotWalk;
    for (size_t i = 0; i < length; ++i) {
        bool trail = dotWalk.isTrail(bytes[i]);
        if (bytes[i] == '.' && !trail) {
            titleEnd = i;
        }
    }
    size_t titleLength = 0;
    title[0] = '\0';
    for (size_t i = titleStart; i < titleEnd; ++i) {
        appendByte(title, titleLength, path[i]);
    }
}

int playFileEntry(MediaCatalog *catalog, uint32_t entryId)
{
    MediaEntry *entry = catalog ? catalog->findEntry(entryId) : nullptr;
    if (!entry || !entry->values) {
        return 0;
    }
    soundDevice.setFileSource(entry->values[0]);
    return soundDevice.play(nullptr) != 0 ? 1 : 0;
}

int playCdTrackEntry(MediaCatalog *catalog, uint32_t entryId)
{
    MediaEntry *entry = catalog ? catalog->findEntry(entryId) : nullptr;
    if (!entry) {
        return 0;
    }
    // A value that is missing or not a number plays track 1: the sound
    // device raises every track number below 1 to 1.
    const MediaType *type = catalog->findType(entry->typeId, nullptr);
    int track = 0;
    if (type && type->propertyCount > trackValueIndex && entry->values) {
        track = decimalValue(entry->values[trackValueIndex]);
    }
    // The drive path is not passed: tracks play on the default CD device.
    soundDevice.setCdTrackSource(nullptr, track);
    return soundDevice.play(nullptr) != 0 ? 1 : 0;
}

void addCdTracks()
{
    // Groups of the form "X:\(first-last)", one per drive in letter order.
    char driveList[driveListCapacity] = {};
    soundDevice.listAudioCdDrives(driveList, driveListCapacity, driveListTrackRanges);
    size_t length = strlen(driveList);
    int drives = 0;
    for (size_t i = 0; i < length; ++i) {
        if (driveList[i] == '\\') {
            ++drives;
        }
    }
    int handled = 0;
    for (size_t p = 1; p < length && handled < drives; ++p) {
        if (driveList[p] != ':' || driveList[p + 1] != '\\') {
            continue;
        }
        char letter = driveList[p - 1];
        // The range runs from the byte after "(" to the next ")".
        char range[driveListCapacity] = {};
        if (p + 3 <= length) {
            const char *rangeStart = driveList + p + 3;
            const char *rangeEnd = strchr(rangeStart, ')');
            size_t rangeLength = rangeEnd ? static_cast<size_t>(rangeEnd - rangeStart)
                                          : strlen(rangeStart);
            memcpy(range, rangeStart, rangeLength);
        }
        const char *dash = strchr(range, '-');
        if (dash) {
            addDriveTracks(mediaCatalog, letter, decimalValue(range), decimalValue(dash + 1));
        }
        ++handled;
    }
}
