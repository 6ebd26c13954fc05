#include "archive/UnLha.h"

#include "archive/LhaDecoder.h"
#include "archive/LhaHeader.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/SameFile.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>

namespace tervan {

const char* UnLhaMessageText(int number)
{
    switch (number) {
    case umBadFileHeader: return "Bad file header";
    case umErrorWritingFile: return "Error writing to file";
    case umUnsupportedAttrib: return "Unsupported file attrib for overwrite";
    case umErrorClosingFile: return "Error closing file";
    case umErrorCreatingDir: return "Error creating dir";
    case umCrcError: return "File fails CRC check";
    case umFileNotFound: return "File not found";
    case umErrorOpeningFile: return "Error opening file";
    case umRequiredEventNotAssigned: return "Required event not assigned";
    case umUnsupportedMethod: return "Unsupported compression method";
    case umUserCanceled: return "User canceled";
    default: return "";
    }
}

namespace {

// MS-DOS attribute bits.
constexpr std::uint8_t kAttrReadOnly = 0x01;
constexpr std::uint8_t kAttrArchive = 0x20;

// The archive file, read by position.
class FileSource : public lha::Source {
public:
    FileSource(fs::InputFile& file, std::uint64_t size)
        : m_file(file)
        , m_size(size)
    {
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t Size() const override { return m_size; }

    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override
    {
        std::size_t done = 0;
        m_file.ReadAt(offset, buffer, size, done); // a read error: the data end here
        return done;
    }

private:
    fs::InputFile& m_file;
    std::uint64_t m_size;
};

// Position of the last "\" or "/" of a CP932 name (npos when none); the
// second byte of a double-byte character is never taken for one.
using fs::LastSeparator;

// The parts of a CP932 name between separators (empty parts kept).
std::vector<std::string> NameParts(std::string_view name)
{
    bool absolute = false;
    return fs::SplitPath(name, absolute, true);
}

std::string BaseName(std::string_view name)
{
    const std::size_t sep = LastSeparator(name);
    return std::string(sep == std::string_view::npos ? name : name.substr(sep + 1));
}

// A pattern match as the archivers do it: a name without a full stop is
// tried again with one appended (and the pattern given one), so "*.*"
// matches every name.
bool MatchesPattern(const std::string& name, const std::string& pattern)
{
    if (fs::MatchesMask(name, pattern))
        return true;
    if (name.find('.') != std::string::npos)
        return false;
    return fs::MatchesMask(name + ".", pattern.find('.') != std::string::npos ? pattern : pattern + ".");
}

// Unix time of an MS-DOS date and time (local time); false when the fields
// are not a date.
bool DosTimeToUnix(std::uint32_t dos, time_t& out)
{
    std::tm tm {};
    tm.tm_sec = static_cast<int>(dos & 0x1F) * 2;
    tm.tm_min = static_cast<int>((dos >> 5) & 0x3F);
    tm.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
    tm.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
    tm.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
    tm.tm_year = static_cast<int>((dos >> 25) & 0x7F) + 80;
    tm.tm_isdst = -1;
    if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_hour > 23 || tm.tm_min > 59 || tm.tm_sec > 59)
        return false;
    out = std::mktime(&tm);
    return out != static_cast<time_t>(-1);
}

// Stops the extraction at the current entry; the problem is reported
// already.
struct Stop {};
// Thrown by the output sink when a write fails or the user cancels.
struct WriteFailed {};
struct Cancelled {};

// A member's output: written to a temporary file in the destination folder
// and renamed over the destination only when complete, so that an old file
// of the name is never left half written.
class OutputFile : public lha::Sink {
public:
    explicit OutputFile(const std::atomic<bool>& cancel)
        : m_cancel(cancel)
    {
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Create(const std::filesystem::path& destination) { return m_file.Create(destination); }

    void Write(const std::uint8_t* data, std::size_t size) override
    {
        if (m_cancel)
            throw Cancelled {};
        if (!m_file.Write(data, size))
            throw WriteFailed {};
    }

    void SetTime(time_t modified) { m_file.SetModifiedTime(modified); }
    void SetReadOnly() { m_file.SetReadOnly(); }
    bool Close() { return m_file.Close(); }
    // Renames the finished file over the destination.
    bool Commit() { return m_file.Commit(); }

private:
    const std::atomic<bool>& m_cancel;
    fs::TempFileWriter m_file;
};

} // namespace

namespace detail {

class UnLhaJob {
public:
    explicit UnLhaJob(TUnLha& owner)
        : m_u(owner)
    {
    }

    int Run()
    {
        try {
            RunArchive();
        } catch (const Stop&) {
        } catch (...) {
            // Extract never lets an exception out; what was written stays
            // counted.
        }
        return m_count;
    }

private:
    void Report(const std::string& name, int number)
    {
        if (m_u.m_cancel)
            number = umUserCanceled;
        if (m_u.OnError)
            m_u.OnError(name, number, UnLhaMessageText(number));
    }

    [[noreturn]] void Fatal(const std::string& name, int number)
    {
        Report(name, number);
        throw Stop {};
    }

    void RunArchive()
    {
        if (m_u.ArchiveFile.empty())
            Fatal(m_u.ArchiveFile, umFileNotFound);
        const std::filesystem::path native = fs::ToNative(m_u.ArchiveFile);
        fs::InputFile file;
        const fs::OpenStatus status = file.Open(native);
        if (status != fs::OpenStatus::Opened)
            Fatal(m_u.ArchiveFile, status == fs::OpenStatus::Missing ? umFileNotFound : umErrorOpeningFile);
        std::uint64_t size = 0;
        if (!file.Size(size))
            Fatal(m_u.ArchiveFile, umErrorOpeningFile);
        FileSource source(file, size);
        m_archive = native;

        PrepareExtractDir();

        bool badHeader = false;
        std::vector<lha::Entry> skipped;
        std::vector<lha::Entry> entries = lha::ListEntries(source, badHeader, &skipped);
        if (badHeader)
            Report(m_u.ArchiveFile, umBadFileHeader);
        if (m_u.OnSkipMethod)
            for (const lha::Entry& entry : skipped)
                if (Wanted(entry.name))
                    m_u.OnSkipMethod(entry.name, entry.method);

        for (const lha::Entry& entry : entries) {
            if (!Selected(entry))
                continue;
            if (m_u.m_cancel)
                Fatal(entry.name, umUserCanceled);
            ExtractEntry(source, entry);
        }
    }

    // The output folder: ExtractDir, or the archive's own folder, created
    // when missing. A path that names a file is refused rather than
    // deleted to make room for the folder.
    void PrepareExtractDir()
    {
        m_dir = m_u.ExtractDir;
        if (m_dir.empty()) {
            const std::size_t sep = LastSeparator(m_u.ArchiveFile);
            m_dir = sep == std::string::npos ? std::string(".") : m_u.ArchiveFile.substr(0, sep == 0 ? 1 : sep);
        }
        if (fs::DirExists(m_dir))
            return;
        if (fs::FileExists(m_dir))
            Fatal(m_dir, umErrorCreatingDir);
        try {
            fs::CreateDirs(m_dir);
        } catch (const fs::FileError&) {
            Fatal(m_dir, umErrorCreatingDir);
        }
        if (!fs::DirExists(m_dir))
            Fatal(m_dir, umErrorCreatingDir);
    }

    // Does a pattern take this stored name? With RecurseDirs a pattern
    // without a folder part matches the name in any folder; otherwise the
    // folder parts must be the same.
    bool Matches(const std::string& name, const std::string& pattern) const
    {
        const std::size_t patternSep = LastSeparator(pattern);
        const std::size_t nameSep = LastSeparator(name);
        if (patternSep == std::string::npos && m_u.RecurseDirs)
            return MatchesPattern(BaseName(name), pattern);
        if (patternSep != std::string::npos && m_u.RecurseDirs)
            return MatchesPattern(name, pattern);
        const std::string patternDir = patternSep == std::string::npos ? std::string() : pattern.substr(0, patternSep);
        const std::string nameDir = nameSep == std::string::npos ? std::string() : name.substr(0, nameSep);
        if (!(patternDir.size() == nameDir.size() && fs::MatchesMask(nameDir, patternDir)))
            return false;
        return MatchesPattern(BaseName(name), BaseName(pattern));
    }

    // Does a FileSpec pattern take the name?
    bool Wanted(const std::string& name) const
    {
        for (const std::string& pattern : m_u.FileSpec)
            if (!pattern.empty() && Matches(name, pattern))
                return true;
        return false;
    }

    bool Selected(const lha::Entry& entry) const
    {
        std::string name = entry.name;
        while (entry.IsDirectory() && !name.empty() && name.back() == '\\')
            name.pop_back();
        if (!Wanted(name))
            return false;
        for (const std::string& pattern : m_u.ExcludeSpec) {
            if (!pattern.empty() && Matches(name, pattern)) {
                if (m_u.OnExcludeFile)
                    m_u.OnExcludeFile(entry.name);
                return false;
            }
        }
        return true;
    }

    // The path below the output folder that a stored name gives, or false
    // when it would lead outside it. Leading full stops and one backslash go,
    // and with stored folders a drive and a leading separator; what still
    // climbs with ".." or is absolute is refused.
    bool RelativePath(const std::string& stored, bool directory, std::string& relative) const
    {
        std::string s = stored;
        if (s.find('\0') != std::string::npos)
            return false;
        s.erase(0, std::min(s.find_first_not_of('.'), s.size()));
        if (!s.empty() && s[0] == '\\')
            s.erase(0, 1);
        if (m_u.UseStoredDirs) {
            if (s.size() >= 2 && s[1] == ':' && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z')))
                s.erase(0, 2);
            if (!s.empty() && (s[0] == '\\' || s[0] == '/'))
                s.erase(0, 1);
        } else {
            s = BaseName(s);
        }
        if (directory)
            while (!s.empty() && (s.back() == '\\' || s.back() == '/') && LastSeparator(s) == s.size() - 1)
                s.pop_back();
        if (s.empty() || s[0] == '\\' || s[0] == '/')
            return false;
        const std::vector<std::string> parts = NameParts(s);
        for (const std::string& part : parts)
            if (part == "..")
                return false;
        if (parts.back().empty() || parts.back() == ".")
            return false;
        relative = s;
        return true;
    }

    void ExtractEntry(lha::Source& source, const lha::Entry& entry)
    {
        const std::string& name = entry.name;
        std::string relative;
        if (entry.IsDirectory()) {
            // Nothing to write; the folder is made only when stored folders
            // are created.
            if (m_u.UseStoredDirs && m_u.CreateStoredDirs && RelativePath(name, true, relative)) {
                try {
                    fs::CreateDirs(fs::Join(m_dir, relative));
                } catch (const fs::FileError&) {
                    Report(name, umErrorCreatingDir);
                }
            }
            return;
        }
        if (!RelativePath(name, false, relative)) {
            Report(name, umErrorOpeningFile);
            return;
        }
        const std::string path = fs::Join(m_dir, relative);

        // The stored folder must exist below the output folder, or be made.
        const std::size_t sep = LastSeparator(relative);
        if (sep != std::string::npos) {
            const std::string folder = fs::Join(m_dir, relative.substr(0, sep));
            if (!fs::DirExists(folder)) {
                if (!m_u.CreateStoredDirs) {
                    Report(name, umErrorOpeningFile);
                    return;
                }
                try {
                    fs::CreateDirs(folder);
                } catch (const fs::FileError&) {
                    Report(name, umErrorCreatingDir);
                    return;
                }
            }
        }

        // The archive being read is never written over, whatever link or
        // letter case leads to it.
        const std::filesystem::path native = fs::ToNative(path);
        if (fs::SameFile(native, m_archive)) {
            Report(name, umErrorOpeningFile);
            return;
        }

        // The overwrite rule.
        std::error_code ec;
        const std::filesystem::file_status st = std::filesystem::symlink_status(native, ec);
        if (!ec && std::filesystem::exists(st)) {
            if (std::filesystem::is_directory(st)) {
                Report(name, umErrorOpeningFile);
                return;
            }
            if (m_u.ConfirmOverwrites) {
                if (!m_u.OnFileExists) {
                    Report(name, umRequiredEventNotAssigned);
                    return;
                }
                if (!m_u.OnFileExists(path))
                    return;
            } else if (m_u.OverwriteMode == omSkip) {
                return;
            }
        }

        if (m_u.OnBegin)
            m_u.OnBegin(name);
        OutputFile out(m_u.m_cancel);
        if (!out.Create(native)) {
            Report(name, umErrorOpeningFile);
            return;
        }

        // The method is examined once the output exists: a method this
        // extractor cannot decode leaves an empty file of the name.
        const char method = entry.MethodChar();
        if (!entry.MethodFramed() || method == '2' || method == '3') {
            if (!out.Commit())
                Fatal(name, umErrorWritingFile);
            ++m_count;
            if (!entry.MethodFramed()) {
                Report(name, umUnsupportedMethod);
                return;
            }
            Fatal(name, umUnsupportedMethod);
        }

        lha::DecodeResult result;
        try {
            result = lha::Decode(method, source, entry.dataOffset, entry.packedSize, entry.originalSize, out);
        } catch (const WriteFailed&) {
            Fatal(name, umErrorWritingFile);
        } catch (const Cancelled&) {
            Fatal(name, umUserCanceled);
        }
        if (result.status == lha::DecodeStatus::Unsupported) {
            if (!out.Commit())
                Fatal(name, umErrorWritingFile);
            ++m_count;
            Fatal(name, umUnsupportedMethod);
        }

        if (m_u.DateAttribute == daFileDate) {
            time_t when = static_cast<time_t>(entry.time);
            if (entry.unixTime || DosTimeToUnix(entry.time, when))
                out.SetTime(when);
        }
        if (m_u.RestoreFileAttr && entry.attribute != kAttrArchive && (entry.attribute & kAttrReadOnly))
            out.SetReadOnly();
        if (!out.Close()) {
            Report(name, umErrorClosingFile);
            return;
        }
        if (!out.Commit())
            Fatal(name, umErrorWritingFile);
        ++m_count;

        const bool crcOk = result.status == lha::DecodeStatus::Complete && (!entry.hasCrc || result.crc == entry.crc);
        if (!crcOk)
            Report(name, umCrcError);
        if (m_u.OnEnd)
            m_u.OnEnd(name, crcOk);
    }

    TUnLha& m_u;
    std::filesystem::path m_archive; // native path of the archive being read
    std::string m_dir;
    int m_count = 0;
};

} // namespace detail

int TUnLha::Extract()
{
    m_cancel = false;
    detail::UnLhaJob job(*this);
    return job.Run();
}

} // namespace tervan
