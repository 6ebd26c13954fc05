#include "platform/SameFile.h"

#include <windows.h>

namespace tervan::fs {
namespace {

// The volume and file index of an existing file, opened for attributes only
// so that a file another program holds open still answers.
bool FileIdentity(const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const HANDLE h = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    return ok;
}

} // namespace

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    BY_HANDLE_FILE_INFORMATION ia {}, ib {};
    if (!FileIdentity(a, ia) || !FileIdentity(b, ib))
        return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh
        && ia.nFileIndexLow == ib.nFileIndexLow;
}

} // namespace tervan::fs
