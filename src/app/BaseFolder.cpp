#include "app/BaseFolder.h"

#include "acquisition/StoredFiles.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

namespace tervan {

void EnsureBaseFolders(const std::string& base)
{
    for (std::string_view name : {std::string_view(kDataFolderName), std::string_view(kHorseHistoryFolderName),
                                  std::string_view(kResultRaceFolderName), kLzhFolder}) {
        const std::string dir = fs::Join(base, name);
        try {
            fs::CreateDir(dir);
        } catch (const fs::FileError& e) {
            throw fs::FileError(SJ("フォルダを作成できません: ") + dir + "\n" + e.what());
        }
    }
}

} // namespace tervan
