#include "import/gui/ForecastOddsCommand.h"

#include "app/gui/MainForm.h"
#include "import/ForecastOddsImport.h"
#include "platform/FileSystem.h"
#include "widgets/Text.h"

#include <QFileDialog>

#include <filesystem>

namespace tervan {

QString ForecastArchiveFilter()
{
    // The patterns go in brackets so that OZ050105.LZH and oz050105.lzh are
    // offered too, as on Windows; the dialog shows only the description.
    return QString::fromUtf8("JRDB基準ｵｯｽﾞ(OZ*.lzh),KOL予想ｵｯｽﾞ(j*.lzh) ([Oo][Zz]*.[Ll][Zz][Hh] [Jj]*.[Ll][Zz][Hh])");
}

QString AskForecastArchive(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog3"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(ForecastArchiveFilter());
    dialog.setDirectory(folder);
    dialog.selectFile(QString()); // no name left from an earlier import
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void RunForecastOddsImport(TMainForm& form, std::function<QString(const QString& folder)> askArchive)
{
    const QString start = QString::fromStdString(fs::ToNative(form.AppSettings().ReadYosoDir()).string());
    const QString chosen = askArchive ? askArchive(start) : AskForecastArchive(&form, start);
    if (chosen.isEmpty())
        return;

    const QByteArray utf8 = chosen.toUtf8();
    const std::string archive = fs::FromNative(std::filesystem::path(std::string(utf8.constData(), static_cast<size_t>(utf8.size()))));
    const ForecastImportResult result = ImportForecastOdds(form.BaseFolder(), archive, form.Since2005());
    if (result.beep)
        form.Notifier().Beep();
    if (!result.message.empty())
        form.Notifier().Information(result.message);
}

} // namespace tervan
