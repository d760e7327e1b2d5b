#include "algorithms.h"

#include <QByteArray>

namespace Model {

namespace {

constexpr bool readOrderComplete()
{
    // Ranks 1..kReadCount, each once, and only on rows with a sentence.
    for (int rank = 1; rank <= kReadCount; ++rank) {
        int found = 0;
        for (const Algorithm &a : kAlgorithms)
            found += a.readOrder == rank && a.sentence ? 1 : 0;
        if (found != 1)
            return false;
    }
    return true;
}
static_assert(readOrderComplete(), "every algorithm the readback ticks has one place in its order");

constexpr bool inSectionOrder()
{
    for (int i = 0; i < kAlgorithmCount; ++i)
        if (kAlgorithms[i].section != SectionAlive + i)
            return false;
    return true;
}
static_assert(inSectionOrder(), "the algorithms in the order of the dump's sections");

template<typename Match>
const Algorithm *find(Match match)
{
    for (const Algorithm &a : kAlgorithms)
        if (match(a))
            return &a;
    return nullptr;
}

} // namespace

const Algorithm *const *readOrder()
{
    static const auto ordered = [] {
        struct Ordered
        {
            const Algorithm *at[kReadCount];
        } o{};
        for (const Algorithm &a : kAlgorithms)
            if (a.readOrder > 0)
                o.at[a.readOrder - 1] = &a;
        return o;
    }();
    return ordered.at;
}

const Algorithm *algorithmOfCommand(const char *command)
{
    return find([command](const Algorithm &a) { return qstrcmp(a.command, command) == 0; });
}

const Algorithm *algorithmNamed(const char *name)
{
    return find([name](const Algorithm &a) { return qstrcmp(a.name, name) == 0; });
}

namespace {
// The file's groups besides the algorithms', which take their names, for the
// command words of the catalogue.
struct Group
{
    const char *command;
    const char *name;
};
constexpr Group kOtherGroups[] = {{"MPU", "MPU"}, {"ALGO", "COMMON"}, {"LORA SET", "LORA"}};
} // namespace

const char *groupOfCommand(const char *command)
{
    if (const Algorithm *algorithm = algorithmOfCommand(command))
        return algorithm->name;
    for (const Group &g : kOtherGroups)
        if (qstrcmp(g.command, command) == 0)
            return g.name;
    return nullptr;
}

bool isGroupName(const char *name)
{
    if (algorithmNamed(name))
        return true;
    for (const Group &g : kOtherGroups)
        if (qstrcmp(g.name, name) == 0)
            return true;
    return false;
}

} // namespace Model
