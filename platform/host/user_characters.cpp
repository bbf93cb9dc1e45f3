#include "platform/host/user_characters.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/host/utf8.h"
#include "platform/kernel32/installed_layout.h"
#include "platform/kernel32/unique_fd.h"

namespace hp::host {
namespace {

constexpr int codesPerLead = 188;
constexpr unsigned char firstLead = 0xF0;

uint16_t codeAt(int index)
{
    const int lead = firstLead + index / codesPerLead;
    const int cell = index % codesPerLead;
    const int second = cell < 63 ? 0x40 + cell : 0x80 + (cell - 63);
    return static_cast<uint16_t>(lead << 8 | second);
}

// -1 when the code lies outside the user-defined area.
int indexOf(uint16_t code)
{
    const int lead = code >> 8;
    const int second = code & 0xFF;
    if (!UserCharacters::isUserDefinedLeadByte(static_cast<unsigned char>(lead)))
        return -1;
    int cell;
    if (second >= 0x40 && second <= 0x7E)
        cell = second - 0x40;
    else if (second >= 0x80 && second <= 0xFC)
        cell = 63 + (second - 0x80);
    else
        return -1;
    return (lead - firstLead) * codesPerLead + cell;
}

// Holds flock(2) on an open file until it goes.
class FileLock {
public:
    FileLock(int fd, int operation) : fd_(fd)
    {
        int result;
        do
            result = flock(fd_, operation);
        while (result != 0 && errno == EINTR);
        locked_ = result == 0;
    }
    ~FileLock()
    {
        if (locked_)
            flock(fd_, LOCK_UN);
    }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    bool locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

bool readAll(int fd, std::string &content)
{
    content.clear();
    if (lseek(fd, 0, SEEK_SET) < 0)
        return false;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        content.append(buffer, static_cast<size_t>(got));
    }
}

bool writeAll(int fd, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

}  // namespace

UserCharacters::UserCharacters(std::string path) : path_(std::move(path)) {}

// Reads the whole table from the open file; the caller holds a lock.
bool UserCharacters::readLocked(int fd, std::string &content)
{
    if (!readAll(fd, content))
        return false;
    sizeRead_ = static_cast<off_t>(content.size());
    characters_.clear();
    indexes_.clear();
    size_t start = 0;
    for (size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string_view line(content.data() + start, end - start);
        char32_t character = 0;
        if (utf8::sequenceAt(line, 0, character) != line.size() || character < 0x80)
            character = 0;
        const int index = static_cast<int>(characters_.size());
        if (index >= capacity)
            break;
        characters_.push_back(character);
        if (character != 0)
            indexes_.emplace(character, index);
    }
    return true;
}

uint16_t UserCharacters::codeOf(char32_t character)
{
    std::lock_guard<std::mutex> guard(mutex_);
    if (auto found = indexes_.find(character); found != indexes_.end())
        return codeAt(found->second);
    if (path_.empty() || character < 0x80 || character > 0x10FFFF ||
        (character >= 0xD800 && character <= 0xDFFF))
        return 0;
    // The file only grows: once every code is given here, none is left
    // there either, and a name full of new characters costs no file work.
    if (static_cast<int>(characters_.size()) >= capacity)
        return 0;
    const size_t slash = path_.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && kernel32::makeFolders(path_.substr(0, slash)))
        return 0;
    kernel32::UniqueFd file(open(path_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    if (!file.valid())
        return 0;
    FileLock lock(file.get(), LOCK_EX);
    std::string content;
    if (!lock.locked() || !readLocked(file.get(), content))
        return 0;
    if (auto found = indexes_.find(character); found != indexes_.end())
        return codeAt(found->second);
    if (static_cast<int>(characters_.size()) >= capacity)
        return 0;
    // An unfinished last line is a write cut short: it gave no code.
    const size_t complete = content.empty() ? 0 : content.find_last_of('\n') + 1;
    if (complete != content.size() && ftruncate(file.get(), static_cast<off_t>(complete)) != 0)
        return 0;
    std::string line;
    utf8::append(character, line);
    line += '\n';
    if (!writeAll(file.get(), line)) {
        (void)!ftruncate(file.get(), static_cast<off_t>(complete));
        return 0;
    }
    sizeRead_ = static_cast<off_t>(complete + line.size());
    const int index = static_cast<int>(characters_.size());
    characters_.push_back(character);
    indexes_.emplace(character, index);
    return codeAt(index);
}

char32_t UserCharacters::characterOf(uint16_t code)
{
    std::lock_guard<std::mutex> guard(mutex_);
    const int index = indexOf(code);
    if (index < 0)
        return 0;
    struct stat status {};
    // Another process may have given the code since the file was read; the
    // file only grows, so one that kept its size holds nothing new.
    if (index >= static_cast<int>(characters_.size()) && !path_.empty() &&
        stat(path_.c_str(), &status) == 0 && status.st_size != sizeRead_) {
        kernel32::UniqueFd file(open(path_.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.valid()) {
            FileLock lock(file.get(), LOCK_SH);
            std::string content;
            if (lock.locked())
                readLocked(file.get(), content);
        }
    }
    return index < static_cast<int>(characters_.size()) ? characters_[index] : 0;
}

UserCharacters &userCharacters()
{
    static UserCharacters table([] {
        const std::string folder = kernel32::userDataFolder();
        return folder.empty() ? std::string() : folder + "/user-characters.txt";
    }());
    return table;
}

}  // namespace hp::host
