// TUnLha: extracts the members of an LHA archive (".lzh") into a folder.
//
// The odds services ship their data as LHA archives made by Japanese
// archivers; this is our own extractor (header levels 0 to 3; methods
// -lh0-, -lh1-, -lh4- to -lh7- and directory entries; CRC-16 check).
//
// Use: set the properties, optionally hook OnError, call Extract():
//
//     TUnLha unlha;
//     unlha.ArchiveFile = path;          // CP932 path
//     unlha.FileSpec = {"*.*"};
//     unlha.ExtractDir = folder;
//     int written = unlha.Extract();     // 0: nothing was extracted
//
// Extract() never throws. Problems go to OnError with the component's message
// number and English text (see TUnLhaMessage); with no handler nothing is
// shown. A member whose output would be the archive itself (the same file
// by any link) is refused with "Error opening file". Each member is written to a temporary file in its folder and renamed
// over the old file only when complete, so a failed or cancelled write never
// leaves a torn file where an old one was.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace tervan {

namespace detail {
class UnLhaJob;
}

// Message numbers of the component's string table, reported through OnError.
enum TUnLhaMessage : int {
    umBadFileHeader = 25114,          // "Bad file header"
    umErrorWritingFile = 25136,       // "Error writing to file"
    umUnsupportedAttrib = 25137,      // "Unsupported file attrib for overwrite"
    umErrorClosingFile = 25142,       // "Error closing file"
    umErrorCreatingDir = 25150,       // "Error creating dir"
    umCrcError = 25151,               // "File fails CRC check"
    umFileNotFound = 25192,           // "File not found"
    umErrorOpeningFile = 25235,       // "Error opening file"
    umRequiredEventNotAssigned = 25276, // "Required event not assigned"
    umUnsupportedMethod = 25326,      // "Unsupported compression method"
    umUserCanceled = 25443,           // "User canceled"
};

// The text of a message number ("" for an unknown number).
const char* UnLhaMessageText(int number);

enum TOverwriteMode { omOverwrite, omSkip };
// daFileDate: the output file gets the member's stored date; daSysDate: it
// keeps the time it was written.
enum TDateAttribute { daFileDate, daSysDate };
enum TCpuType { cptAuto };

class TUnLha {
public:
    // Path of the archive (CP932). Its first header is at offset 0.
    std::string ArchiveFile;
    // Name patterns ("*" any run, "?" one character, letters in any case) of
    // the members to extract, and of members to leave out.
    std::vector<std::string> FileSpec;
    std::vector<std::string> ExcludeSpec;
    // Output folder (CP932); empty means the archive's own folder. A missing
    // folder is created.
    std::string ExtractDir;
    // Keep the folder part of a stored name below ExtractDir.
    bool UseStoredDirs = true;
    // Create those stored folders (off: a member whose folder does not exist
    // under ExtractDir is not written).
    bool CreateStoredDirs = false;
    // A pattern without a folder part matches members in any stored folder.
    bool RecurseDirs = true;
    // Ask OnFileExists before replacing a file.
    bool ConfirmOverwrites = false;
    TOverwriteMode OverwriteMode = omOverwrite;
    // Give the output file the stored attributes (read-only, where the
    // platform has it).
    bool RestoreFileAttr = true;
    TDateAttribute DateAttribute = daFileDate;
    // Published for compatibility; they change nothing.
    bool TranslateOemChar = false;
    TCpuType CpuType = cptAuto;

    // Called for each problem: the stored name of the member (or the archive
    // or folder path), the message number and its text.
    std::function<void(const std::string& fileName, int number, const std::string& text)> OnError;
    // Asked, with ConfirmOverwrites on, before replacing an existing file
    // (its CP932 path); true replaces it.
    std::function<bool(const std::string& path)> OnFileExists;
    // Before and after each member written (stored name; crcOk false when the
    // CRC check failed).
    std::function<void(const std::string& fileName)> OnBegin;
    std::function<void(const std::string& fileName, bool crcOk)> OnEnd;
    // A member left out by ExcludeSpec.
    std::function<void(const std::string& fileName)> OnExcludeFile;
    // A member matching FileSpec that is passed over because its method is
    // another archiver's (-lzs-, -lz5-, -pm0-, ...): its stored name and its
    // 5-byte method id.
    std::function<void(const std::string& fileName, const std::string& method)> OnSkipMethod;

    // Extracts the matching members; returns the number of files written
    // (members whose CRC check failed are written and counted).
    int Extract();

    // Stops a running Extract (from a handler or another thread): the member
    // being written is discarded, "User canceled" is reported and Extract
    // returns the count reached.
    void Cancel() { m_cancel = true; }

private:
    friend class detail::UnLhaJob;
    std::atomic<bool> m_cancel {false};
};

} // namespace tervan
