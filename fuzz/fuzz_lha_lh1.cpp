// The -lh1- decoder: two bytes of original size, then the packed data.
#include "FuzzSink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tervan::lha;
    if (size < 2)
        return 0;
    const std::uint64_t original = static_cast<std::uint64_t>(data[0]) << 8 | data[1];
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
    CountingSink sink;
    CheckResult(Decode('1', source, 0, size - 2, original, sink), sink, original);
    return 0;
}
