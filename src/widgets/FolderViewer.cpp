#include "widgets/FolderViewer.h"

#include "platform/FileSystem.h"
#include "widgets/Text.h"

#include <QFileDialog>

namespace tervan {

bool TFolderViewerEx::Execute()
{
    // Start in the preselected folder (resolved without regard to letter case).
    QString start;
    if (!folder_.empty()) {
        std::filesystem::path native = fs::ToNative(folder_);
        start = QString::fromStdString(native.string());
    }
    QString chosen = QFileDialog::getExistingDirectory(
        parent_, Q(caption_), start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return false;
    QByteArray utf8 = chosen.toUtf8();
    folder_ = fs::FromNative(std::filesystem::path(std::string(utf8.constData(), utf8.size())));
    return true;
}

} // namespace tervan
