// Decoding the packed data of one LHA entry.
//
//   -lh0-        stored: the bytes are copied;
//   -lh1-        LZSS with a 4 KB dictionary whose literals and lengths are
//                coded by an adaptive Huffman tree and whose positions by a
//                fixed code for their upper 6 bits;
//   -lh4- .. -lh7-  LZSS with an 8, 8, 32 or 64 KB dictionary, coded block by
//                block with static Huffman codes sent at each block's start.
//
// Damaged data end an entry early; the caller sees it by the count of bytes
// produced and by the CRC. Nothing is read beyond the packed data and memory
// stays within a fixed bound whatever sizes a header claims.
#pragma once

#include "archive/LhaHeader.h"

#include <cstddef>
#include <cstdint>

namespace tervan::lha {

// Where decoded bytes go. Write may throw to stop the decoding (a write
// error, a cancel); the exception passes through Decode.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

enum class DecodeStatus {
    Complete,    // the original size was produced
    Damaged,     // the packed data ended or broke before that
    Unsupported, // a method this decoder does not know
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::Complete;
    std::uint64_t produced = 0; // bytes written to the sink
    std::uint16_t crc = 0;      // CRC-16 of those bytes
};

// Decodes the packed bytes [dataOffset, dataOffset + packedSize) of source by
// method character '0', '1', '4', '5', '6' or '7', producing at most
// originalSize bytes.
DecodeResult Decode(char method, Source& source, std::uint64_t dataOffset, std::uint64_t packedSize, std::uint64_t originalSize,
                    Sink& sink);

} // namespace tervan::lha
