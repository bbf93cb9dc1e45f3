#include "platform/kernel32/word_sort.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/kernel32/cp932_text.h"

namespace hp::kernel32 {
namespace {

struct Unit {
    uint32_t weight = 0;  // pass 1
    int caseRank = 0;     // pass 2: 0 lower or caseless, 1 upper
    bool ignorable = false;
};

constexpr const char *symbolOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

uint32_t singleByteWeight(unsigned char byte, int &caseRank)
{
    caseRank = 0;
    if (byte >= 'a' && byte <= 'z')
        return 0x300 + (byte - 'a');
    if (byte >= 'A' && byte <= 'Z') {
        caseRank = 1;
        return 0x300 + (byte - 'A');
    }
    if (byte >= '0' && byte <= '9')
        return 0x200 + (byte - '0');
    if (byte != 0) {
        const char *symbol = std::strchr(symbolOrder, byte);
        if (symbol && byte < 0x80)
            return 0x100 + static_cast<uint32_t>(symbol - symbolOrder);
    }
    if (byte < 0x20)
        return byte;  // control characters before everything
    return 0x400 + byte;
}

std::vector<Unit> unitsOf(std::string_view text)
{
    std::vector<Unit> units;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        Unit unit;
        if (isCp932LeadByte(byte) && i + 1 < text.size() &&
            isCp932TrailByte(static_cast<unsigned char>(text[i + 1]))) {
            unit.weight = 0x10000 + (byte << 8) + static_cast<unsigned char>(text[i + 1]);
            ++i;
        } else if (byte == '-' || byte == '\'') {
            unit.ignorable = true;
        } else {
            unit.weight = singleByteWeight(byte, unit.caseRank);
        }
        units.push_back(unit);
    }
    return units;
}

int sign(long long value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

int compareWordSort(std::string_view first, std::string_view second, LetterCase letterCase)
{
    std::vector<Unit> a = unitsOf(first);
    std::vector<Unit> b = unitsOf(second);

    std::vector<const Unit *> weightedA;
    std::vector<const Unit *> weightedB;
    for (const Unit &unit : a)
        if (!unit.ignorable)
            weightedA.push_back(&unit);
    for (const Unit &unit : b)
        if (!unit.ignorable)
            weightedB.push_back(&unit);

    size_t common = weightedA.size() < weightedB.size() ? weightedA.size() : weightedB.size();
    for (size_t i = 0; i < common; ++i) {
        if (weightedA[i]->weight != weightedB[i]->weight)
            return weightedA[i]->weight < weightedB[i]->weight ? -1 : 1;
    }
    if (weightedA.size() != weightedB.size())
        return weightedA.size() < weightedB.size() ? -1 : 1;

    if (letterCase == LetterCase::Significant) {
        for (size_t i = 0; i < common; ++i) {
            if (weightedA[i]->caseRank != weightedB[i]->caseRank)
                return weightedA[i]->caseRank < weightedB[i]->caseRank ? -1 : 1;
        }
    }

    long long ignorableA = static_cast<long long>(a.size() - weightedA.size());
    long long ignorableB = static_cast<long long>(b.size() - weightedB.size());
    if (ignorableA != ignorableB)
        return sign(ignorableA - ignorableB);

    std::string foldedA(first);
    std::string foldedB(second);
    if (letterCase == LetterCase::Ignored) {
        foldedA = upperAsciiCp932(first);
        foldedB = upperAsciiCp932(second);
    }
    int bytes = foldedA.compare(foldedB);
    return sign(bytes);
}

}  // namespace hp::kernel32
