#include "views/CsvExport.h"

#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

namespace tervan {
namespace {

bool IsBlankByte(unsigned char c) { return c <= 0x20; }

// The failure of a CSV export: what the user is told, with the system's text.
fs::FileError CsvFailure(std::string_view path, const fs::FileError& e)
{
    return fs::FileError(SJ("ＣＳＶファイルを書き込めませんでした。") + "\r\n" + std::string(path) + "\r\n" + e.what());
}

// Spaces and control bytes stripped from both ends, as the file name rule
// trims the stem.
std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlankByte(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankByte(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string SafeStem(std::string_view stem)
{
    std::string out;
    out.reserve(stem.size());
    for (size_t i = 0; i < stem.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(stem[i]);
        if (IsSjisLeadByte(c) && i + 1 < stem.size()) {
            out += stem[i];
            out += stem[i + 1];
            ++i;
            continue;
        }
        switch (c) {
        case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            out += '_';
            break;
        default:
            out += c < 0x20 ? '_' : static_cast<char>(c);
        }
    }
    // "." and ".." alone would name a folder, not a file.
    if (out == "." || out == "..")
        out.assign(out.size(), '_');
    return out;
}

} // namespace

std::string CsvCell(std::string_view cell)
{
    bool quote = false;
    for (size_t i = 0; i < cell.size() && !quote; ++i) {
        const unsigned char c = static_cast<unsigned char>(cell[i]);
        if (IsSjisLeadByte(c) && i + 1 < cell.size())
            ++i;
        else if (c <= 0x20 || c == '"' || c == ',')
            quote = true;
    }
    if (!quote)
        return std::string(cell);
    std::string out;
    out.reserve(cell.size() + 2);
    out += '"';
    for (size_t i = 0; i < cell.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(cell[i]);
        if (IsSjisLeadByte(c) && i + 1 < cell.size()) {
            out += cell[i];
            out += cell[i + 1];
            ++i;
            continue;
        }
        if (c == '"')
            out += '"';
        out += cell[i];
    }
    out += '"';
    return out;
}

std::string CsvRow(const std::vector<std::string>& cells)
{
    std::string out;
    for (size_t c = 0; c < cells.size(); ++c) {
        if (c > 0)
            out += ',';
        out += CsvCell(cells[c]);
    }
    return out;
}

std::string CsvText(std::string_view heading, const std::vector<std::vector<std::string>>& rows)
{
    std::string out(heading);
    out += "\r\n";
    for (const auto& row : rows) {
        out += CsvRow(row);
        out += "\r\n";
    }
    return out;
}

std::string CardExportHeading(std::string_view dateLine, int raceNumber)
{
    return std::string(dateLine) + FormatText("%2dR", raceNumber);
}

std::string CsvFilePath(std::string_view base, std::string_view stem)
{
    std::string path(base);
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path + "\\CSV\\" + SafeStem(TrimBlanks(stem)) + ".CSV";
}

std::string CardCsvFilePath(std::string_view base, std::string_view dateLine, int raceNumber)
{
    return CsvFilePath(base, CardExportHeading(TrimBlanks(dateLine), raceNumber));
}

std::string ListCsvFilePath(std::string_view base, std::string_view dayEntry)
{
    return CsvFilePath(base, dayEntry);
}

void WriteCsvFile(std::string_view base, std::string_view path, std::string_view heading,
                  const std::vector<std::vector<std::string>>& rows)
{
    try {
        std::string folder(base);
        while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
            folder.pop_back();
        fs::CreateDir(folder + "\\CSV");
    } catch (const fs::FileError& e) {
        throw CsvFailure(path, e);
    }
    WriteCsvText(path, heading, rows);
}

void WriteCsvText(std::string_view path, std::string_view heading, const std::vector<std::vector<std::string>>& rows)
{
    const std::string text = CsvText(heading, rows);
    try {
        fs::RewriteFile(path, text);
    } catch (const fs::FileError& e) {
        throw CsvFailure(path, e);
    }
}

} // namespace tervan
