#include "app/BaseFolder.h"

#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

namespace tervan {

void EnsureBaseFolders(const std::string& base)
{
    for (std::string_view name : {kDataFolder, kSeiFolder, kSeirFolder, kLzhFolder}) {
        const std::string dir = fs::Join(base, name);
        try {
            fs::CreateDir(dir);
        } catch (const fs::FileError& e) {
            throw fs::FileError(SJ("フォルダを作成できません: ") + dir + "\n" + e.what());
        }
    }
}

std::string DataDir(std::string_view base)
{
    return fs::Join(base, kDataFolder);
}

std::string SeiDir(std::string_view base)
{
    return fs::Join(base, kSeiFolder);
}

std::string SeirDir(std::string_view base)
{
    return fs::Join(base, kSeirFolder);
}

std::string LzhDir(std::string_view base)
{
    return fs::Join(base, kLzhFolder);
}

} // namespace tervan
