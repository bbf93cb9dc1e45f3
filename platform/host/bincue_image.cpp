#include "platform/host/bincue_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <sstream>

#include "platform/kernel32/unique_fd.h"

namespace hp::host {
namespace {

// 99 tracks with titles and performers stay far below this.
constexpr off_t largestCueSheetBytes = 64 * 1024;

bool sameWordIgnoringCase(const std::string &word, const char *upper)
{
    size_t i = 0;
    for (; i < word.size() && upper[i]; ++i) {
        if (std::toupper(static_cast<unsigned char>(word[i])) != upper[i])
            return false;
    }
    return i == word.size() && !upper[i];
}

bool readSmallRegularFile(const std::string &path, std::string &text, std::string &problem)
{
    // Non-blocking, so that a FIFO named like a cue sheet cannot hold the
    // caller; fstat then refuses it.
    kernel32::UniqueFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.valid() || fstat(file.get(), &status) != 0) {
        problem = "the cue sheet cannot be read";
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        problem = "the cue sheet is not a regular file";
        return false;
    }
    if (status.st_size > largestCueSheetBytes) {
        problem = "the file is too large for a cue sheet";
        return false;
    }
    text.assign(static_cast<size_t>(status.st_size), '\0');
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = read(file.get(), &text[done], text.size() - done);
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    text.resize(done);
    return true;
}

struct SheetOutline {
    int files = 0;
    int tracks = 0;
    std::string fileName;  // of the first FILE line
    std::string fileType;
};

// FILE "name with spaces.bin" BINARY, or FILE name.bin BINARY.
void readFileLine(std::istringstream &fields, SheetOutline &outline)
{
    fields >> std::ws;
    std::string name;
    if (fields.peek() == '"') {
        fields.get();
        std::getline(fields, name, '"');
    } else {
        fields >> name;
    }
    std::string type;
    fields >> type;
    if (outline.files++ == 0) {
        outline.fileName = name;
        outline.fileType = type;
    }
}

SheetOutline outlineOf(const std::string &text)
{
    SheetOutline outline;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string keyword;
        fields >> keyword;
        if (sameWordIgnoringCase(keyword, "FILE"))
            readFileLine(fields, outline);
        else if (sameWordIgnoringCase(keyword, "TRACK"))
            ++outline.tracks;
    }
    return outline;
}

// With its trailing slash; "" for a name in the working directory.
std::string folderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name libcdio 2.1 reads the data from: "cue" or "CUE" at the end of
// the sheet's name turned into "bin" or "BIN"; other spellings it refuses.
bool libcdioDataName(const std::string &cuePath, std::string &dataPath)
{
    if (cuePath.size() < 5)
        return false;
    const std::string extension = cuePath.substr(cuePath.size() - 4);
    if (extension != ".cue" && extension != ".CUE")
        return false;
    dataPath = cuePath.substr(0, cuePath.size() - 3) + (extension == ".cue" ? "bin" : "BIN");
    return true;
}

}  // namespace

std::string binCueProblem(const std::string &cuePath)
{
    std::string dataPath;
    if (!libcdioDataName(cuePath, dataPath))
        return "the name does not end in .cue";
    std::string text;
    std::string problem;
    if (!readSmallRegularFile(cuePath, text, problem))
        return problem;

    const SheetOutline outline = outlineOf(text);
    if (outline.tracks == 0)
        return "the cue sheet lists no track";
    if (outline.files != 1)
        return "the cue sheet must name exactly one BIN file";
    if (!sameWordIgnoringCase(outline.fileType, "BINARY") &&
        !sameWordIgnoringCase(outline.fileType, "MOTOROLA"))
        return "the cue sheet names a " + outline.fileType + " file, not a BIN file";

    const std::string named = !outline.fileName.empty() && outline.fileName[0] == '/'
                                  ? outline.fileName
                                  : folderOf(cuePath) + outline.fileName;
    struct stat namedStatus {};
    if (stat(named.c_str(), &namedStatus) != 0 || !S_ISREG(namedStatus.st_mode))
        return "the BIN file " + named + " is missing";
    struct stat readStatus {};
    if (stat(dataPath.c_str(), &readStatus) != 0 || readStatus.st_dev != namedStatus.st_dev ||
        readStatus.st_ino != namedStatus.st_ino)
        return "libcdio reads " + dataPath + ": give the BIN file the cue sheet's name";
    return {};
}

}  // namespace hp::host
