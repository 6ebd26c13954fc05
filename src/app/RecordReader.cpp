#include "app/RecordReader.h"

#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include "platform/File.h"

namespace tervan {

void RecordList::Parse(std::string_view contents, std::size_t recordSize)
{
    m_contents = contents;
    m_size = recordSize;
    m_lines.clear();
    m_lineMode = false;
    m_damaged = false;
    m_count = 0;
    if (recordSize < 2)
        return;

    const std::size_t whole = contents.size() / recordSize;
    bool aligned = true;
    for (std::size_t i = 0; i < whole && aligned; ++i) {
        const std::size_t end = (i + 1) * recordSize;
        aligned = contents[end - 2] == '\r' && contents[end - 1] == '\n';
    }
    // A cut-off last record holds no line end; one that does means the
    // lines are not of the record size.
    if (aligned && contents.substr(whole * recordSize).find('\n') != std::string_view::npos)
        aligned = false;
    if (aligned) {
        m_count = whole;
        // A last line of the full width whose CR LF is missing is whole.
        const std::size_t tail = contents.size() - whole * recordSize;
        if (tail == recordSize - 2 && tail > 0 && contents.substr(whole * recordSize).find('\r') == std::string_view::npos) {
            ++m_count;
            return;
        }
        m_damaged = tail != 0;
        return;
    }

    // Misplaced line ends: take the file line by line.
    m_damaged = true;
    m_lineMode = true;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t nl = contents.find('\n', start);
        std::size_t stop = nl == std::string_view::npos ? contents.size() : nl;
        std::string_view line = contents.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_lines.push_back(line);
        if (nl == std::string_view::npos)
            break;
        start = nl + 1;
    }
    m_count = m_lines.size();
}

std::string_view RecordList::Record(std::size_t i) const
{
    if (i >= m_count)
        return {};
    if (m_lineMode)
        return m_lines[i];
    return m_contents.substr(i * m_size, m_size);
}

void AssignRecord(std::string& dst, std::string_view record, std::size_t recordSize)
{
    if (record.size() == recordSize && record[recordSize - 2] == '\r' && record[recordSize - 1] == '\n') {
        dst.assign(record);
        return;
    }
    if (record.size() >= 2 && record.substr(record.size() - 2) == "\r\n")
        record.remove_suffix(2);
    const std::size_t text = recordSize - 2;
    dst.assign(record.substr(0, text));
    dst.append(text - dst.size(), ' ');
    dst += "\r\n";
}

void BlankRecord(std::string& dst, std::size_t recordSize)
{
    dst.assign(recordSize - 2, ' ');
    dst += "\r\n";
}

ReadStatus ReadNativeFile(const std::filesystem::path& path, std::string& contents, int& error)
{
    contents.clear();
    error = 0;
    fs::InputFile file;
    switch (file.Open(path)) {
    case fs::OpenStatus::Opened:
        break;
    case fs::OpenStatus::Missing:
        error = file.Error();
        return ReadStatus::Missing;
    case fs::OpenStatus::Failed:
        error = file.Error();
        return ReadStatus::Error;
    }
    // Stored files are never written while they are read (one thread does
    // all the work), so the size known now is the size to read.
    std::uint64_t size = 0;
    std::size_t got = 0;
    if (!file.Size(size)) {
        error = file.Error();
        return ReadStatus::Error;
    }
    contents.resize(static_cast<std::size_t>(size));
    if (!file.ReadAt(0, contents.data(), contents.size(), got)) {
        error = file.Error();
        contents.clear();
        return ReadStatus::Error;
    }
    contents.resize(got);
    return ReadStatus::Ok;
}

bool ReadStoredFile(std::string_view path, std::string& contents)
{
    int error = 0;
    switch (ReadNativeFile(fs::ToNative(path), contents, error)) {
    case ReadStatus::Ok:
        return true;
    case ReadStatus::Missing:
        return false;
    case ReadStatus::Error:
        break;
    }
    std::string msg = SJ("ファイルを読み込めません") + ": " + std::string(path);
    if (error != 0)
        msg += " - " + fs::SystemErrorText(error);
    throw fs::FileError(msg);
}

} // namespace tervan
