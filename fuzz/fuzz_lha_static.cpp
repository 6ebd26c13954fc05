// The -lh4- to -lh7- decoder: a method byte, two bytes of original size,
// then the packed data.
#include "FuzzSink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tervan::lha;
    if (size < 3)
        return 0;
    const char method = static_cast<char>('4' + data[0] % 4);
    const std::uint64_t original = static_cast<std::uint64_t>(data[1]) << 8 | data[2];
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data + 3), size - 3));
    CountingSink sink;
    CheckResult(Decode(method, source, 0, size - 3, original, sink), sink, original);
    return 0;
}
