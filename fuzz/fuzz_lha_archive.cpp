// A whole archive: every listed entry decoded (its size capped at 64 KB to
// keep runs fast).
#include "FuzzSink.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tervan::lha;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    bool bad = false;
    for (const Entry& e : ListEntries(source, bad)) {
        const std::uint64_t original = std::min<std::uint64_t>(e.originalSize, 1 << 16);
        CountingSink sink;
        CheckResult(Decode(e.MethodChar(), source, e.dataOffset, e.packedSize, original, sink), sink, original);
    }
    return 0;
}
