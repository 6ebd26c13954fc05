// A sink that only counts, for the fuzz targets.
#pragma once

#include "archive/LhaDecoder.h"

#include <cstdlib>

namespace tervan::lha {

class CountingSink : public Sink {
public:
    void Write(const std::uint8_t* data, std::size_t size) override
    {
        if (size > 0 && data == nullptr)
            std::abort();
        total += size;
    }
    std::uint64_t total = 0;
};

// Every decode must keep its promises: no more than the original size, and
// all of it when it says it is complete.
inline void CheckResult(const DecodeResult& r, const CountingSink& sink, std::uint64_t originalSize)
{
    if (r.produced != sink.total || r.produced > originalSize)
        std::abort();
    if (r.status == DecodeStatus::Complete && r.produced != originalSize)
        std::abort();
}

} // namespace tervan::lha
