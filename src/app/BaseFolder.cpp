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

} // namespace tervan
