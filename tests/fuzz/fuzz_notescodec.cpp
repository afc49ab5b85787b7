// libFuzzer: the stored notes list's reader, on any bytes.
#include "core/NotesCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto notes
        = NotesCodec::decode(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!notes)
        return 0;
    // Whatever was read is written in a form that reads back and writes again the same. (Not
    // equal to what was read: a lone surrogate escape is written as U+FFFD.)
    const QByteArray written = NotesCodec::encode(*notes);
    const auto reread = NotesCodec::decode(written);
    if (!reread || NotesCodec::encode(*reread) != written)
        std::abort();
    return 0;
}
