// CSV export of the race card and of the matching-horse list.
//
// A CSV file holds a heading line, then every grid row (header row first) as
// comma text, each line ended by CR LF, in CP932 without a byte-order mark.
// Files go to the "\CSV\" folder under the base folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "views/GridText.h"

namespace tervan {

// One cell as CSV writes it: between double quotes, with inner double quotes
// doubled, when it holds a space, a control byte (0x20 or below), a double
// quote or a comma; otherwise (an empty cell included) as it is. Double-byte
// characters are stepped over whole, so their second bytes never count.
std::string CsvCell(std::string_view cell);

// One grid row as comma text (no comma after the last cell, no line end).
std::string CsvRow(const std::vector<std::string>& cells);

// The whole file: heading, CR LF, then each row and CR LF.
std::string CsvText(std::string_view heading, const std::vector<std::vector<std::string>>& rows);

// The heading of the race card's exports: the date-and-meeting line of the
// header strip followed by the race number as "%2dR" (" 1R", "11R").
std::string CardExportHeading(std::string_view dateLine, int raceNumber);

// base + "\CSV\" + stem + ".CSV". The stem is the text with leading and
// trailing spaces removed; characters that cannot stand in a file name
// ("\", "/", ":", "*", "?", """, "<", ">", "|" and control bytes) become "_".
std::string CsvFilePath(std::string_view base, std::string_view stem);

// The race card's file: stem = date line trimmed + "%2dR".
// ("2005年 1月 5日中山 1回 2日 1R.CSV")
std::string CardCsvFilePath(std::string_view base, std::string_view dateLine, int raceNumber);

// The list's file: stem = the day-list entry trimmed ("2006年05月28日東京.CSV").
std::string ListCsvFilePath(std::string_view base, std::string_view dayEntry);

// Writes a CSV file, creating "\CSV\" under the base folder when it is
// missing and replacing a file of the same name without asking. The file is
// rewritten whole, so a failed export leaves an earlier file as it was.
// Throws fs::FileError with a Japanese message when the folder or the file
// cannot be written.
void WriteCsvFile(std::string_view base, std::string_view path, std::string_view heading,
                  const std::vector<std::vector<std::string>>& rows);
inline void WriteCsvFile(std::string_view base, std::string_view path, std::string_view heading,
                         const TextGrid& grid)
{
    WriteCsvFile(base, path, heading, grid.Rows());
}

// Writes a CSV file at a path of the caller's choice (no "\CSV\" folder is
// made), rewritten whole; throws fs::FileError with the same message.
void WriteCsvText(std::string_view path, std::string_view heading, const std::vector<std::vector<std::string>>& rows);

} // namespace tervan
