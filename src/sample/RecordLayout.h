// The complete JV-Data layouts of the RA, SE and HR records, field by field,
// for writing records rather than reading them.
//
// The program itself reads only a few positions of each record (those are in
// acquisition/JVData_Structure.h). A writer must fill every byte, so this
// unit lists every field with the blank the data service leaves in it when it
// has nothing to say: numbers are zeros, half-width texts and codes are
// half-width spaces, full-width texts are full-width spaces. A record built
// here starts blank and is filled field by field; nothing is left undefined.
#pragma once

#include "acquisition/JVData_Structure.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tervan::sample {

enum class RecordKind { RA, SE, HR };

// How a field is blank.
enum class Blank : char {
    Zero = 'N',  // digits: "0" in every byte
    Space = 'X', // half-width text or code: half-width spaces
    Wide = 'K',  // full-width text: full-width spaces ("　", 2 bytes each)
};

struct LayoutField {
    std::size_t pos; // 1-based first byte
    std::size_t len; // width in bytes
    Blank blank;
    const char* name; // the JV-Data field name (UTF-8), for messages
};

// Every field of a record kind in byte order, from the record kind to the
// last byte before the CR LF. The fields tile the record without gaps.
std::span<const LayoutField> Layout(RecordKind kind);

// The record length with its CR LF (1272, 555, 719) and the two-letter kind.
std::size_t RecordLength(RecordKind kind);
std::string_view KindId(RecordKind kind);

// The blank record of a kind: every field blank, the kind in bytes 1-2, CR LF
// at the end.
const std::string& BlankRecord(RecordKind kind);

// Builds one record in place. Every setter writes inside its field only:
// a text longer than the field is cut (never inside a double-byte
// character), a number too wide for its field is held at the field's largest
// value. Positions are 1-based.
class RecordBuilder {
public:
    explicit RecordBuilder(RecordKind kind);
    // Starts from the bytes of a record of a kind without a layout here
    // (CR LF at its end).
    explicit RecordBuilder(std::string record);

    // Half-width padded text, left-aligned.
    RecordBuilder& Text(std::size_t pos, std::size_t len, std::string_view cp932);
    RecordBuilder& Text(JVData::Field f, std::string_view cp932) { return Text(f.pos, f.len, cp932); }
    // Full-width padded text, left-aligned (an odd byte left over at the end
    // becomes a half-width space).
    RecordBuilder& Wide(std::size_t pos, std::size_t len, std::string_view cp932);
    RecordBuilder& Wide(JVData::Field f, std::string_view cp932) { return Wide(f.pos, f.len, cp932); }
    // A non-negative number with leading zeros.
    RecordBuilder& Number(std::size_t pos, std::size_t len, long long value);
    RecordBuilder& Number(JVData::Field f, long long value) { return Number(f.pos, f.len, value); }
    // One byte.
    RecordBuilder& Char(std::size_t pos, char c);

    // The data division (byte 3) and the creation date yyyymmdd (bytes 4-11).
    RecordBuilder& Head(char division, long yyyymmdd);
    // The race key, bytes 12-27.
    RecordBuilder& RaceKey(std::string_view key16);

    const std::string& Record() const { return m_record; }
    std::string Take() { return std::move(m_record); }

private:
    std::string m_record;
};

// The longest prefix of a CP932 text that fits in `len` bytes without
// splitting a double-byte character.
std::string_view CutCp932(std::string_view text, std::size_t len);

} // namespace tervan::sample
