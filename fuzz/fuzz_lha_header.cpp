// The header reader: any bytes as an archive.
#include "archive/LhaHeader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tervan::lha;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    bool bad = false;
    const std::vector<Entry> entries = ListEntries(source, bad);
    for (const Entry& e : entries) {
        // Every listed entry starts inside the archive and moves forward.
        if (e.headerOffset >= size || e.nextOffset <= e.headerOffset || e.dataOffset < e.headerOffset)
            std::abort();
        if (e.name.size() > 2 * 65536)
            std::abort();
    }
    StoredFolderName(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
