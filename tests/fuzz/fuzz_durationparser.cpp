// libFuzzer: the countdown field's parser, on any text.
#include "core/DurationParser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // A duration is whole seconds, at least one.
    if (const auto seconds = parseDuration(text); seconds && !(*seconds >= 1 && std::floor(*seconds) == *seconds))
        std::abort();
    // What the field keeps of a paste is never longer than the paste.
    if (keepDurationCharacters(text).size() > text.size())
        std::abort();
    return 0;
}
