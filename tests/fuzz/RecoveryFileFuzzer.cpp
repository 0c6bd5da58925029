// libFuzzer target for the recovery file's reader. Whatever a recovery file
// holds, reading it never fails but by a damage text, a file it accepts is
// exactly the one the writer makes of what it read (so no two files mean
// the same), and any input as content comes back whole.
#include "platform/RecoveryFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecoveryFile::Decoded read = RecoveryFile::decode(input);
    if (read.damage.isEmpty() && RecoveryFile::encode(read.content, read.baseStamp) != input)
        fail("an accepted recovery file is not what the writer makes of it");
    const QByteArray stamp = RecoveryFile::stampOf(input);
    const RecoveryFile::Decoded back = RecoveryFile::decode(RecoveryFile::encode(input, stamp));
    if (!back.damage.isEmpty() || back.content != input || back.baseStamp != stamp)
        fail("content written did not read back whole");
    return 0;
}
