#include "archive/LhaDecoder.h"

#include "archive/LhaCrc16.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

// Fuzz builds make the chunks and segments small so that refilling and
// flushing happen often on small inputs.
#ifndef TERVAN_LHA_CHUNK_SIZE
#define TERVAN_LHA_CHUNK_SIZE (64 * 1024)
#endif
#ifndef TERVAN_LHA_SEGMENT_SIZE
#define TERVAN_LHA_SEGMENT_SIZE (512 * 1024)
#endif

namespace tervan::lha {
namespace {

class StaticDecoder;

// ---------------------------------------------------------------------------
// Packed bits, read most significant first.
//
// The window holds up to 64 bits with the next bit at the top. The packed
// data are read from the archive in chunks and never beyond the entry; past
// its end the reader supplies zero bits and remembers that it did, so a
// decoder that has consumed bits the entry does not have can tell.
class BitReader {
public:
    static constexpr std::size_t kChunkSize = TERVAN_LHA_CHUNK_SIZE;

    BitReader(Source& source, std::uint64_t offset, std::uint64_t size)
        : m_source(source)
        , m_offset(offset)
        , m_left(size)
        , m_chunk(kChunkSize + 8)
    {
        m_next = m_end = m_chunk.data();
    }

    // Afterwards the window holds at least 56 bits.
    void Refill()
    {
        if (m_count >= 56)
            return;
        if (m_end - m_next >= 8) {
            // Eight bytes at once; the bits below the window's count are the
            // stream's next bits, so loading them again later changes nothing.
            std::uint64_t v;
            std::memcpy(&v, m_next, 8);
            if constexpr (std::endian::native == std::endian::little)
                v = __builtin_bswap64(v);
            m_bits |= v >> m_count;
            const int bytes = (63 - m_count) >> 3;
            m_next += bytes;
            m_count += bytes * 8;
            return;
        }
        RefillSlowly();
    }

    // The next 16 bits, without consuming them (the window must hold them).
    std::uint32_t Peek16() const { return static_cast<std::uint32_t>(m_bits >> 48); }

    // Consumes n <= 16 bits that the window holds.
    void Skip(int n)
    {
        m_bits <<= n;
        m_count -= n;
    }

    // The next n <= 16 bits as a number; the window must hold them.
    std::uint32_t Take(int n)
    {
        if (n == 0)
            return 0;
        const std::uint32_t v = static_cast<std::uint32_t>(m_bits >> (64 - n));
        Skip(n);
        return v;
    }

    // The next n <= 16 bits, refilling the window first.
    std::uint32_t Bits(int n)
    {
        Refill();
        return Take(n);
    }

    // True once bits past the end of the packed data have been consumed.
    bool Overrun() const { return m_padding * 8 > static_cast<std::uint64_t>(m_count); }

private:
    friend class StaticDecoder; // its hot loop keeps this state in registers

    // Near the end of a chunk or of the data: byte by byte, zeros past
    // the end.
    __attribute__((noinline)) void RefillSlowly()
    {
        if (m_end - m_next < 8)
            LoadChunk();
        if (m_end - m_next >= 8) {
            Refill();
            return;
        }
        while (m_count <= 56) {
            std::uint64_t byte = 0;
            if (m_next < m_end)
                byte = *m_next++;
            else
                ++m_padding;
            m_bits |= byte << (56 - m_count);
            m_count += 8;
        }
    }

    // Moves the few unread bytes to the front and appends the next chunk.
    void LoadChunk()
    {
        if (m_left == 0)
            return;
        const std::size_t keep = static_cast<std::size_t>(m_end - m_next);
        std::memmove(m_chunk.data(), m_next, keep);
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, m_left));
        const std::size_t got = m_source.ReadAt(m_offset, m_chunk.data() + keep, want);
        m_offset += got;
        m_left = got < want ? 0 : m_left - got; // a short read ends the data
        m_next = m_chunk.data();
        m_end = m_next + keep + got;
    }

    Source& m_source;
    std::uint64_t m_offset;
    std::uint64_t m_left;
    std::vector<std::uint8_t> m_chunk;
    const std::uint8_t* m_next = nullptr;
    const std::uint8_t* m_end = nullptr;
    std::uint64_t m_bits = 0;
    int m_count = 0;
    std::uint64_t m_padding = 0; // zero bytes supplied past the end
};

// ---------------------------------------------------------------------------
// The output: a sliding dictionary that is also the output buffer.
//
// The buffer holds `history` bytes of earlier output followed by the segment
// being decoded. When the segment is full it goes to the sink, the last
// `history` bytes move to the front and decoding goes on behind them.
class Window {
public:
    static constexpr std::size_t kSegment = TERVAN_LHA_SEGMENT_SIZE;
    static constexpr std::size_t kSlack = 8; // matches copy 8 bytes at a time

    // fill: what a match reaching before the first byte reads (only -lh1-
    // allows that; its dictionary starts filled with spaces).
    Window(std::size_t history, std::uint8_t fill, std::uint64_t total, Sink& sink)
        : m_history(history)
        , m_segment(static_cast<std::size_t>(std::min<std::uint64_t>(kSegment, total)))
        , m_left(total)
        , m_sink(sink)
    {
        m_buffer.assign(m_history + m_segment + kSlack, fill);
        m_pos = m_history;
        m_limit = m_history + m_segment;
    }

    bool Done() const { return m_left == 0; }
    std::uint64_t Produced() const { return m_produced; }
    std::uint16_t Crc() const { return m_crc; }
    // Bytes written so far, flushed or not.
    std::uint64_t Written() const { return m_produced + (m_pos - m_history); }

    void Put(std::uint8_t byte)
    {
        m_buffer[m_pos++] = byte;
        if (m_pos == m_limit)
            Flush();
    }

    // Copies length bytes from distance back (1 <= distance <= history);
    // stops at the end of the output.
    void Copy(std::size_t distance, std::size_t length)
    {
        while (length > 0 && !Done()) {
            const std::size_t n = std::min(length, m_limit - m_pos);
            std::uint8_t* to = m_buffer.data() + m_pos;
            const std::uint8_t* from = to - distance;
            if (distance >= 8) {
                for (std::size_t i = 0; i < n; i += 8)
                    std::memcpy(to + i, from + i, 8);
            } else {
                for (std::size_t i = 0; i < n; ++i)
                    to[i] = from[i];
            }
            m_pos += n;
            length -= n;
            if (m_pos == m_limit)
                Flush();
        }
    }

    // Sends what is decoded but not yet sent (an entry that ended early).
    void Finish()
    {
        if (m_pos > m_history)
            Flush();
    }

private:
    friend class StaticDecoder; // its hot loop keeps this state in registers

    void Flush()
    {
        const std::size_t n = m_pos - m_history;
        const std::uint8_t* data = m_buffer.data() + m_history;
        m_crc = Crc16Update(m_crc, data, n);
        m_produced += n;
        m_left -= std::min<std::uint64_t>(m_left, n);
        m_sink.Write(data, n);
        std::memmove(m_buffer.data(), m_buffer.data() + n, m_history);
        m_pos = m_history;
        m_limit = m_history + static_cast<std::size_t>(std::min<std::uint64_t>(m_segment, m_left));
    }

    std::size_t m_history;
    std::size_t m_segment;
    std::uint64_t m_left;
    Sink& m_sink;
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_limit = 0;
    std::uint64_t m_produced = 0;
    std::uint16_t m_crc = 0;
};

// ---------------------------------------------------------------------------
// A canonical Huffman code as LHA sends it: code lengths per symbol, codes
// of one length consecutive in symbol order, shorter codes first, read most
// significant bit first; lengths are at most 16 bits.
//
// Decoding looks the first kPrimaryBits bits up in one table; a longer code
// continues in a second-level table of the remaining 16 - kPrimaryBits bits.
constexpr int kMaxCodeLength = 16;

template <int kSymbols, int kPrimaryBits>
class HuffmanTable {
public:
    // The one-symbol code: every input decodes to symbol with no bits.
    void BuildSingle(int symbol) { m_primary.fill(Entry(symbol, 0)); }

    // Builds the code from lengths[0..kSymbols) (0: symbol unused). False when
    // the lengths do not form a complete code.
    bool Build(const std::uint8_t* lengths)
    {
        int count[kMaxCodeLength + 1] = {};
        for (int s = 0; s < kSymbols; ++s) {
            if (lengths[s] > kMaxCodeLength)
                return false;
            ++count[lengths[s]];
        }
        // Every code of the 2^16 leaves must be used exactly once.
        std::int32_t room = 1;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            room = room * 2 - count[len];
            if (room < 0)
                return false;
        }
        if (room != 0)
            return false;

        std::uint32_t next[kMaxCodeLength + 2] = {};
        for (int len = 1; len <= kMaxCodeLength; ++len)
            next[len + 1] = (next[len] + static_cast<std::uint32_t>(count[len])) << 1;

        m_primary.fill(0);
        std::size_t subUsed = 0;
        for (int s = 0; s < kSymbols; ++s) {
            const int len = lengths[s];
            if (len == 0)
                continue;
            const std::uint32_t code = next[len]++;
            if (len <= kPrimaryBits) {
                const std::size_t first = code << (kPrimaryBits - len);
                std::fill_n(m_primary.begin() + first, std::size_t(1) << (kPrimaryBits - len), Entry(s, len));
            } else {
                const std::size_t prefix = code >> (len - kPrimaryBits);
                if (!(m_primary[prefix] & kSubFlag)) {
                    m_primary[prefix] = static_cast<std::uint16_t>(kSubFlag | subUsed);
                    subUsed += kSubSize;
                }
                const std::size_t base = m_primary[prefix] & ~kSubFlag;
                const std::size_t low = code & ((1u << (len - kPrimaryBits)) - 1);
                std::fill_n(m_sub.begin() + base + (low << (kMaxCodeLength - len)), std::size_t(1) << (kMaxCodeLength - len),
                            Entry(s, len));
            }
        }
        return true;
    }

    // The symbol that the next 16 bits start with; length gets its code length.
    int Decode(std::uint32_t next16, int& length) const
    {
        std::uint16_t e = m_primary[next16 >> (kMaxCodeLength - kPrimaryBits)];
        if (e & kSubFlag)
            e = m_sub[(e & ~kSubFlag) + (next16 & (kSubSize - 1))];
        length = e >> 10;
        return e & 0x3FF;
    }

private:
    static_assert(kSymbols <= 0x400, "a symbol must fit in 10 bits");
    static constexpr std::uint16_t kSubFlag = 0x8000;
    static constexpr std::size_t kSubSize = std::size_t(1) << (kMaxCodeLength - kPrimaryBits);
    static_assert(kSymbols * kSubSize < kSubFlag, "second-level offsets must fit");

    static std::uint16_t Entry(int symbol, int length) { return static_cast<std::uint16_t>(symbol | (length << 10)); }

    std::array<std::uint16_t, std::size_t(1) << kPrimaryBits> m_primary {};
    // At most one second-level table per symbol.
    std::array<std::uint16_t, kSymbols * kSubSize> m_sub {};
};

// ---------------------------------------------------------------------------
// -lh4- to -lh7-: blocks of static Huffman codes.
//
// Each block: a 16-bit count of literal/length codes; the lengths of the
// 19-symbol length code; with it, the lengths of the 510-symbol
// literal/length code; the lengths of the position code. Then the codes.
// Literal/length symbol s < 256 is a byte; s >= 256 copies s - 253 bytes from
// the distance its position symbol gives.
constexpr int kLiteralSymbols = 510;   // 256 bytes and lengths 3 to 256
constexpr int kLengthCodeSymbols = 19; // code lengths 0-16 and three zero-run codes
constexpr int kMinMatch = 3;

class StaticDecoder {
public:
    StaticDecoder(BitReader& in, Window& out, int positionSymbols, int positionCountBits)
        : m_in(in)
        , m_out(out)
        , m_positionSymbols(positionSymbols)
        , m_positionCountBits(positionCountBits)
    {
    }

    DecodeStatus Run()
    {
        std::uint32_t blockLeft = 0;
        while (!m_out.Done()) {
            if (blockLeft == 0) {
                if (m_in.Overrun())
                    return DecodeStatus::Damaged;
                blockLeft = m_in.Bits(16);
                if (blockLeft == 0 || !ReadCodes())
                    return DecodeStatus::Damaged;
            }
            if (!RunFast(blockLeft))
                return DecodeStatus::Damaged;
            if (blockLeft == 0 || m_out.Done())
                continue;
            // Near the end of a chunk, of the segment or of the data: one
            // code the careful way.
            --blockLeft;
            m_in.Refill(); // enough for a literal/length, a position and its extra bits
            int len = 0;
            const int symbol = m_literal.Decode(m_in.Peek16(), len);
            m_in.Skip(len);
            if (symbol < 256) {
                m_out.Put(static_cast<std::uint8_t>(symbol));
            } else {
                const int p = m_position.Decode(m_in.Peek16(), len);
                m_in.Skip(len);
                const std::uint32_t distance = p <= 1 ? p + 1 : (1u << (p - 1)) + m_in.Take(p - 1) + 1;
                if (distance > m_out.Written())
                    return DecodeStatus::Damaged; // before the first byte
                m_out.Copy(distance, static_cast<std::size_t>(symbol - 256 + kMinMatch));
            }
            if (m_in.Overrun())
                return DecodeStatus::Damaged; // the data ended inside this code
        }
        return DecodeStatus::Complete;
    }

private:
    static constexpr std::size_t kMaxMatch = 256;

    // The hot loop. While the chunk holds 8 more packed bytes and the
    // segment has room for the longest match, the bit window and the output
    // position stay in registers and only the data themselves need checking.
    // Returns false on a match that reaches before the first byte.
    bool RunFast(std::uint32_t& blockLeft)
    {
        if (m_out.m_limit - m_out.m_pos <= kMaxMatch)
            return true;
        std::uint64_t bits = m_in.m_bits;
        int count = m_in.m_count;
        const std::uint8_t* next = m_in.m_next;
        const std::uint8_t* const end = m_in.m_end;
        std::uint8_t* const buffer = m_out.m_buffer.data();
        std::size_t pos = m_out.m_pos;
        const std::size_t stop = m_out.m_limit - kMaxMatch; // below it one more code always fits
        const std::uint64_t writtenBefore = m_out.m_produced - m_out.m_history; // + pos: bytes written (wraps back)
        bool ok = true;
        while (blockLeft > 0 && pos < stop && end - next >= 8) {
            if (count < 56) {
                std::uint64_t v;
                std::memcpy(&v, next, 8);
                if constexpr (std::endian::native == std::endian::little)
                    v = __builtin_bswap64(v);
                bits |= v >> count;
                const int bytes = (63 - count) >> 3;
                next += bytes;
                count += bytes * 8;
            }
            --blockLeft;
            int len = 0;
            const int symbol = m_literal.Decode(static_cast<std::uint32_t>(bits >> 48), len);
            bits <<= len;
            count -= len;
            if (symbol < 256) {
                buffer[pos++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            const int p = m_position.Decode(static_cast<std::uint32_t>(bits >> 48), len);
            bits <<= len;
            count -= len;
            std::size_t distance = static_cast<std::size_t>(p) + 1;
            if (p > 1) {
                const int extra = p - 1;
                distance = (std::size_t(1) << extra) + static_cast<std::size_t>(bits >> (64 - extra)) + 1;
                bits <<= extra;
                count -= extra;
            }
            if (distance > writtenBefore + pos) {
                ok = false;
                break;
            }
            const std::size_t length = static_cast<std::size_t>(symbol - 256 + kMinMatch);
            std::uint8_t* to = buffer + pos;
            const std::uint8_t* from = to - distance;
            if (distance >= 8) {
                for (std::size_t i = 0; i < length; i += 8)
                    std::memcpy(to + i, from + i, 8);
            } else if (distance == 1) {
                std::memset(to, *from, length);
            } else {
                for (std::size_t i = 0; i < length; ++i)
                    to[i] = from[i];
            }
            pos += length;
        }
        m_in.m_bits = bits;
        m_in.m_count = count;
        m_in.m_next = next;
        m_out.m_pos = pos;
        return ok;
    }

    // Lengths of the length code (countBits 5, a 2-bit zero run after the
    // third) or of the position code (countBits 4 or 5, no run). A count of 0
    // sends the one symbol instead.
    template <typename Table>
    bool ReadSmallCode(Table& table, int symbols, int countBits, int runAfter)
    {
        const int n = static_cast<int>(m_in.Bits(countBits));
        if (n == 0) {
            const int only = static_cast<int>(m_in.Bits(countBits));
            if (only >= symbols)
                return false;
            table.BuildSingle(only);
            return true;
        }
        if (n > symbols)
            return false;
        std::uint8_t lengths[kLengthCodeSymbols] = {};
        int i = 0;
        while (i < n) {
            // 3 bits; 7 goes on in unary: each 1 bit adds one, a 0 bit ends it.
            int len = static_cast<int>(m_in.Bits(3));
            if (len == 7) {
                while (m_in.Bits(1) == 1)
                    if (++len > kMaxCodeLength)
                        return false;
            }
            lengths[i++] = static_cast<std::uint8_t>(len);
            if (i == runAfter) {
                int zeros = static_cast<int>(m_in.Bits(2));
                while (zeros-- > 0 && i < symbols)
                    lengths[i++] = 0;
            }
        }
        return table.Build(lengths);
    }

    bool ReadLiteralCode()
    {
        const int n = static_cast<int>(m_in.Bits(9));
        if (n == 0) {
            const int only = static_cast<int>(m_in.Bits(9));
            if (only >= kLiteralSymbols)
                return false;
            m_literal.BuildSingle(only);
            return true;
        }
        if (n > kLiteralSymbols)
            return false;
        std::uint8_t lengths[kLiteralSymbols] = {};
        int i = 0;
        while (i < n) {
            m_in.Refill();
            int len = 0;
            const int c = m_lengthCode.Decode(m_in.Peek16(), len);
            m_in.Skip(len);
            if (c <= 2) {
                // Zero runs: 1, 3-18 (4 bits) or 20-531 (9 bits) lengths.
                const int run = c == 0 ? 1 : c == 1 ? static_cast<int>(m_in.Take(4)) + 3 : static_cast<int>(m_in.Take(9)) + 20;
                if (run > n - i)
                    return false;
                i += run;
            } else {
                lengths[i++] = static_cast<std::uint8_t>(c - 2);
            }
        }
        return m_literal.Build(lengths);
    }

    bool ReadCodes()
    {
        return ReadSmallCode(m_lengthCode, kLengthCodeSymbols, 5, 3) && ReadLiteralCode()
            && ReadSmallCode(m_position, m_positionSymbols, m_positionCountBits, -1);
    }

    BitReader& m_in;
    Window& m_out;
    int m_positionSymbols;
    int m_positionCountBits;
    HuffmanTable<kLengthCodeSymbols, 8> m_lengthCode;
    HuffmanTable<kLiteralSymbols, 12> m_literal;
    HuffmanTable<17, 10> m_position;
};

// ---------------------------------------------------------------------------
// -lh1-: LZSS over a 4 KB dictionary filled with spaces at the start.
//
// Literals and match lengths (314 symbols: 256 bytes and lengths 3 to 60)
// are coded by an adaptive Huffman tree of 627 nodes that follows the symbol
// frequencies; the root frequency reaching 0x8000 halves them all and
// rebuilds the tree. A match position (12 bits) is sent as its upper 6 bits
// in a fixed code of 3 to 8 bits, then its lower 6 bits as they are.
class AdaptiveTree {
public:
    static constexpr int kSymbols = 314;
    static constexpr int kNodes = 2 * kSymbols - 1; // 627
    static constexpr int kRoot = kNodes - 1;
    static constexpr unsigned kMaxFreq = 0x8000;

    // Nodes are kept in order of frequency (the sibling property); node
    // kNodes holds a sentinel frequency that stops the searches. child[n] is
    // the first of node n's two children (the second is child[n] + 1), or
    // kNodes + symbol for a leaf. parent[] is indexed by node, and for leaves
    // by kNodes + symbol.
    AdaptiveTree()
    {
        for (int s = 0; s < kSymbols; ++s) {
            m_freq[s] = 1;
            m_child[s] = static_cast<std::uint16_t>(s + kNodes);
            m_parent[s + kNodes] = static_cast<std::uint16_t>(s);
        }
        for (int i = 0, n = kSymbols; n <= kRoot; i += 2, ++n) {
            m_freq[n] = m_freq[i] + m_freq[i + 1];
            m_child[n] = static_cast<std::uint16_t>(i);
            m_parent[i] = m_parent[i + 1] = static_cast<std::uint16_t>(n);
        }
        m_freq[kNodes] = 0xFFFF;
        m_parent[kRoot] = 0;
    }

    int Decode(BitReader& in)
    {
        int node = m_child[kRoot];
        while (node < kNodes)
            node = m_child[node + static_cast<int>(in.Bits(1))];
        const int symbol = node - kNodes;
        Update(symbol);
        return symbol;
    }

private:
    void Update(int symbol)
    {
        if (m_freq[kRoot] == kMaxFreq)
            Rebuild();
        int node = m_parent[symbol + kNodes];
        do {
            const unsigned f = ++m_freq[node];
            // Keep the order: swap with the last node of lower frequency.
            int last = node + 1;
            if (f > m_freq[last]) {
                while (f > m_freq[++last]) {
                }
                --last;
                m_freq[node] = m_freq[last];
                m_freq[last] = static_cast<std::uint16_t>(f);

                const int a = m_child[node];
                m_parent[a] = static_cast<std::uint16_t>(last);
                if (a < kNodes)
                    m_parent[a + 1] = static_cast<std::uint16_t>(last);
                const int b = m_child[last];
                m_child[last] = static_cast<std::uint16_t>(a);
                m_parent[b] = static_cast<std::uint16_t>(node);
                if (b < kNodes)
                    m_parent[b + 1] = static_cast<std::uint16_t>(node);
                m_child[node] = static_cast<std::uint16_t>(b);
                node = last;
            }
            node = m_parent[node];
        } while (node != 0);
    }

    // Halves every leaf frequency and builds the tree again from the leaves.
    void Rebuild()
    {
        int j = 0;
        for (int i = 0; i < kNodes; ++i) {
            if (m_child[i] >= kNodes) {
                m_freq[j] = static_cast<std::uint16_t>((m_freq[i] + 1) / 2);
                m_child[j] = m_child[i];
                ++j;
            }
        }
        for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
            const std::uint16_t f = static_cast<std::uint16_t>(m_freq[i] + m_freq[i + 1]);
            int at = n;
            while (at > 0 && f < m_freq[at - 1])
                --at;
            std::copy_backward(m_freq.begin() + at, m_freq.begin() + n, m_freq.begin() + n + 1);
            std::copy_backward(m_child.begin() + at, m_child.begin() + n, m_child.begin() + n + 1);
            m_freq[at] = f;
            m_child[at] = static_cast<std::uint16_t>(i);
        }
        for (int i = 0; i < kNodes; ++i) {
            const int c = m_child[i];
            m_parent[c] = static_cast<std::uint16_t>(i);
            if (c < kNodes)
                m_parent[c + 1] = static_cast<std::uint16_t>(i);
        }
    }

    std::array<std::uint16_t, kNodes + 1> m_freq {};
    std::array<std::uint16_t, kNodes> m_child {};
    std::array<std::uint16_t, kNodes + kSymbols> m_parent {};
};

// The fixed code of a -lh1- position's upper 6 bits: one value of 3 bits,
// 3 of 4, 8 of 5, 12 of 6, 24 of 7 and 16 of 8, in value order.
std::array<std::uint8_t, 64> Lh1PositionLengths()
{
    std::array<std::uint8_t, 64> lengths {};
    const int perLength[] = {1, 3, 8, 12, 24, 16};
    int v = 0;
    for (int i = 0; i < 6; ++i)
        for (int k = 0; k < perLength[i]; ++k)
            lengths[v++] = static_cast<std::uint8_t>(3 + i);
    return lengths;
}

DecodeStatus DecodeLh1(BitReader& in, Window& out)
{
    constexpr int kMinMatchLh1 = 3;
    auto tree = std::make_unique<AdaptiveTree>();
    auto upper = std::make_unique<HuffmanTable<64, 8>>();
    upper->Build(Lh1PositionLengths().data());
    while (!out.Done()) {
        const int symbol = tree->Decode(in);
        if (symbol < 256) {
            out.Put(static_cast<std::uint8_t>(symbol));
        } else {
            in.Refill();
            int len = 0;
            const std::uint32_t high = static_cast<std::uint32_t>(upper->Decode(in.Peek16(), len));
            in.Skip(len);
            const std::uint32_t distance = ((high << 6) | in.Take(6)) + 1;
            out.Copy(distance, static_cast<std::size_t>(symbol - 256 + kMinMatchLh1));
        }
        if (in.Overrun())
            return DecodeStatus::Damaged; // the data ended inside this code
    }
    return DecodeStatus::Complete;
}

// -lh0-: the packed bytes are the original bytes.
DecodeResult CopyStored(Source& source, std::uint64_t offset, std::uint64_t packedSize, std::uint64_t originalSize, Sink& sink)
{
    DecodeResult result;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(256 * 1024, std::max<std::uint64_t>(1, originalSize))));
    std::uint64_t left = std::min(packedSize, originalSize);
    while (left > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), left));
        const std::size_t got = source.ReadAt(offset, buffer.data(), want);
        if (got == 0)
            break;
        result.crc = Crc16Update(result.crc, buffer.data(), got);
        result.produced += got;
        sink.Write(buffer.data(), got);
        offset += got;
        left -= got;
    }
    result.status = result.produced == originalSize ? DecodeStatus::Complete : DecodeStatus::Damaged;
    return result;
}

} // namespace

DecodeResult Decode(char method, Source& source, std::uint64_t dataOffset, std::uint64_t packedSize, std::uint64_t originalSize,
                    Sink& sink)
{
    if (method == '0')
        return CopyStored(source, dataOffset, packedSize, originalSize, sink);

    // Dictionary size (as far back as a position can reach), number of
    // position symbols and the width of their count.
    std::size_t history;
    int positionSymbols = 0;
    int positionCountBits = 0;
    switch (method) {
    case '1': history = 4096; break;
    case '4':
    case '5': history = 8192; positionSymbols = 14; positionCountBits = 4; break;
    case '6': history = 32768; positionSymbols = 16; positionCountBits = 5; break;
    case '7': history = 65536; positionSymbols = 17; positionCountBits = 5; break;
    default: {
        DecodeResult unsupported;
        unsupported.status = DecodeStatus::Unsupported;
        return unsupported;
    }
    }

    BitReader in(source, dataOffset, packedSize);
    Window out(history, method == '1' ? ' ' : 0, originalSize, sink);
    DecodeStatus status;
    if (method == '1') {
        status = DecodeLh1(in, out);
    } else {
        auto decoder = std::make_unique<StaticDecoder>(in, out, positionSymbols, positionCountBits);
        status = decoder->Run();
    }
    out.Finish();
    DecodeResult result;
    result.status = status;
    result.produced = out.Produced();
    result.crc = out.Crc();
    return result;
}

} // namespace tervan::lha
