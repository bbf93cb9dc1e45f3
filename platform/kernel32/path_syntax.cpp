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

}  // namespace

std::vector<std::string> splitPathComponents(std::string_view path)
{
    std::vector<std::string> components;
    std::string current;
    Cp932Scanner scanner;
    for (char c : path) {
        bool trail = scanner.step(static_cast<unsigned char>(c));
        if (!trail && isSeparatorByte(c)) {
            if (!current.empty())
                components.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        components.push_back(std::move(current));
    return components;
}

size_t lastPathSeparator(std::string_view path)
{
    size_t backslash = findLastSingleByte(path, '\\');
    size_t slash = findLastSingleByte(path, '/');
    if (backslash == std::string_view::npos)
        return slash;
    if (slash == std::string_view::npos)
        return backslash;
    return backslash > slash ? backslash : slash;
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

    syntax.endsWithSeparator = !rest.empty() && lastPathSeparator(rest) == rest.size() - 1;
    std::vector<std::string> raw = splitPathComponents(rest);
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
