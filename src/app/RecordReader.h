// Reading the stored files as consecutive fixed-length records.
//
// A sound stored file is a run of records of one size, each ending in CR LF;
// the last may lack its CR LF (an editor or a copy dropped it). Files damaged by hand or by a broken copy are read as far as they go: a
// short tail is ignored, and a file whose records do not end in CR LF where
// they should is taken line by line instead, each line padded or cut to the
// record size. Nothing is ever read beyond the contents.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tervan {

class RecordList {
public:
    // Splits contents (kept by reference: it must outlive the list).
    void Parse(std::string_view contents, std::size_t recordSize);

    std::size_t Count() const { return m_count; }
    // Record i: the whole record with its CR LF (the last one without, when
    // the file lacks it), or in line mode one line without its line end.
    // Empty when i >= Count().
    std::string_view Record(std::size_t i) const;

    // The contents were not a whole number of CR LF-ended records.
    bool Damaged() const { return m_damaged; }

private:
    std::string_view m_contents;
    std::size_t m_size = 0;
    std::size_t m_count = 0;
    bool m_lineMode = false;
    bool m_damaged = false;
    std::vector<std::string_view> m_lines;
};

// dst := the record as a raw line of exactly recordSize bytes ending in CR LF:
// its text up to recordSize - 2 bytes, padded with spaces.
void AssignRecord(std::string& dst, std::string_view record, std::size_t recordSize);
// dst := recordSize - 2 spaces and CR LF (a raw line nothing filled).
void BlankRecord(std::string& dst, std::size_t recordSize);

// Whole-file read into a reused buffer. Missing when the file does not exist.
enum class ReadStatus { Ok, Missing, Error };
ReadStatus ReadNativeFile(const std::filesystem::path& path, std::string& contents, int& error);

// Reads a file named by a CP932 path; false when it does not exist. Throws
// fs::FileError when it exists but cannot be read.
bool ReadStoredFile(std::string_view path, std::string& contents);

} // namespace tervan
