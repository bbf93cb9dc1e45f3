#include "platform/kernel32/path_syntax.h"

#include "platform/kernel32/cp932_text.h"

namespace hp::kernel32 {
namespace {

bool isSeparatorByte(char c) { return c == '\\' || c == '/'; }

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool allPeriods(const std::string &component)
{
    return component.find_first_not_of('.') == std::string::npos;
}

// A component ending in one period loses it ("dir." is "dir"); three or
// more periods alone are a name of their own.
void dropSinglePeriod(std::string &component)
{
    if (allPeriods(component))
        return;
    size_t n = component.size();
    if (n >= 2 && component[n - 1] == '.' && component[n - 2] != '.')
        component.pop_back();
}

void dropTrailingPeriodsAndSpaces(std::string &component)
{
    if (component == "." || component == "..")
        return;
    while (!component.empty() && (component.back() == '.' || component.back() == ' '))
        component.pop_back();
}

// Appends the components of path, split at separators, empty ones
// dropped; true when its last byte is a separator.
bool splitComponents(std::string_view path, std::vector<std::string> &components)
{
    Cp932Scanner scanner;
    size_t start = 0;
    bool separatorLast = false;
    for (size_t i = 0; i < path.size(); ++i) {
        separatorLast = !scanner.step(static_cast<unsigned char>(path[i])) &&
                        isSeparatorByte(path[i]);
        if (!separatorLast)
            continue;
        if (i > start)
            components.emplace_back(path.data() + start, i - start);
        start = i + 1;
    }
    if (path.size() > start)
        components.emplace_back(path.data() + start, path.size() - start);
    return separatorLast;
}

}  // namespace

std::vector<std::string> splitPathComponents(std::string_view path)
{
    std::vector<std::string> components;
    splitComponents(path, components);
    return components;
}

size_t lastPathSeparator(std::string_view path)
{
    size_t found = std::string_view::npos;
    Cp932Scanner scanner;
    for (size_t i = 0; i < path.size(); ++i) {
        if (!scanner.step(static_cast<unsigned char>(path[i])) && isSeparatorByte(path[i]))
            found = i;
    }
    return found;
}

DWORD parsePathSyntax(std::string_view path, PathSyntax &syntax)
{
    syntax = PathSyntax{};
    if (path.empty())
        return ERROR_PATH_NOT_FOUND;

    std::string_view rest = path;
    if (rest.size() >= 2 && isAsciiLetter(rest[0]) && rest[1] == ':') {
        syntax.root = PathSyntax::Root::Drive;
        char letter = rest[0];
        syntax.driveLetter = (letter >= 'a' && letter <= 'z') ? char(letter - 'a' + 'A') : letter;
        rest.remove_prefix(2);
        syntax.driveRelative = rest.empty() || !isSeparatorByte(rest[0]);
    } else if (isSeparatorByte(rest[0])) {
        if (rest.size() >= 2 && isSeparatorByte(rest[1]))
            return ERROR_BAD_NETPATH;
        syntax.root = PathSyntax::Root::CurrentDriveRoot;
    }

    std::vector<std::string> raw;
    syntax.endsWithSeparator = splitComponents(rest, raw);
    if (!raw.empty() && !syntax.endsWithSeparator)
        dropTrailingPeriodsAndSpaces(raw.back());

    std::vector<std::string> &out = syntax.components;
    size_t climbs = 0;  // leading ".." kept for a relative path
    for (std::string &component : raw) {
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            if (out.size() > climbs) {
                out.pop_back();
            } else if (syntax.root == PathSyntax::Root::CurrentDirectory ||
                       syntax.driveRelative) {
                out.push_back(component);
                ++climbs;
            }
            continue;
        }
        dropSinglePeriod(component);
        out.push_back(std::move(component));
    }
    return ERROR_SUCCESS;
}

bool hasInvalidNameCharacter(std::string_view cp932Name, Wildcards wildcards)
{
    Cp932Scanner scanner;
    for (char c : cp932Name) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (scanner.step(byte))
            continue;
        if (byte < 0x20)
            return true;
        switch (c) {
        case ':':
        case '|':
            return true;
        case '<':
        case '>':
        case '"':
        case '?':
        case '*':
            if (wildcards == Wildcards::Refused)
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

bool hasWildcard(std::string_view cp932Mask)
{
    Cp932Scanner scanner;
    for (char c : cp932Mask) {
        if (scanner.step(static_cast<unsigned char>(c)))
            continue;
        if (c == '*' || c == '?' || c == '<' || c == '>')
            return true;
    }
    return false;
}

}  // namespace hp::kernel32
