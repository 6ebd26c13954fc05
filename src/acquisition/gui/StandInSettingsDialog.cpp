#include "acquisition/gui/StandInSettingsDialog.h"

#include "acquisition/JVLinkStandIn.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"
#include "widgets/FolderViewer.h"
#include "widgets/Notifier.h"
#include "widgets/QtNotifier.h"
#include "widgets/Text.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tervan {

TStandInSettingsDialog::TStandInSettingsDialog(const std::string& current, QWidget* parent, INotifier* notifier)
    : QDialog(parent)
    , notifier_(notifier)
    , picker_(std::make_unique<TFolderViewerEx>(this))
{
    setObjectName(QStringLiteral("StandInSettingsDialog"));
    setWindowTitle(U("JV-Link設定"));
    setModal(true);
    if (notifier_ == nullptr) {
        ownNotifier_ = std::make_unique<QtNotifier>(this);
        notifier_ = ownNotifier_.get();
    }

    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(U("JV-Link の代わりに、次のフォルダにあるデータファイル（*.jvd）を読み込みます。\n"
                              "速報データはその中の「realtime」フォルダから読み込みます。"),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addWidget(new QLabel(U("データフォルダ"), this));

    auto* row = new QHBoxLayout;
    folderEdit_ = new QLineEdit(Q(current), this);
    folderEdit_->setObjectName(QStringLiteral("FolderEdit"));
    folderEdit_->setMinimumWidth(360);
    browseButton_ = new QPushButton(U("参照..."), this);
    browseButton_->setObjectName(QStringLiteral("BrowseButton"));
    browseButton_->setAutoDefault(false);
    row->addWidget(folderEdit_, 1);
    row->addWidget(browseButton_);
    layout->addLayout(row);

    auto* box = new QDialogButtonBox(this);
    box->addButton(U("OK"), QDialogButtonBox::AcceptRole);
    box->addButton(U("キャンセル"), QDialogButtonBox::RejectRole);
    layout->addWidget(box);

    connect(browseButton_, &QPushButton::clicked, this, [this] { BrowseButtonClick(); });
    connect(box, &QDialogButtonBox::accepted, this, &TStandInSettingsDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &TStandInSettingsDialog::reject);
}

TStandInSettingsDialog::~TStandInSettingsDialog() = default;

INotifier& TStandInSettingsDialog::Notify()
{
    return *notifier_;
}

void TStandInSettingsDialog::SetFolderPicker(std::unique_ptr<IFolderPicker> picker)
{
    picker_ = std::move(picker);
}

std::string TStandInSettingsDialog::Folder() const
{
    return std::string(TrimSpaces(Sj(folderEdit_->text())));
}

void TStandInSettingsDialog::BrowseButtonClick()
{
    picker_->SetCaption(SJ("データフォルダの指定"));
    picker_->SetFolder(Folder());
    if (picker_->Execute())
        folderEdit_->setText(Q(picker_->Folder()));
}

void TStandInSettingsDialog::accept()
{
    const std::string folder = Folder();
    bool exists = false;
    try {
        exists = !folder.empty() && fs::DirExists(folder);
    } catch (const fs::FileError&) {
        exists = false;
    }
    if (!exists) {
        Notify().Beep();
        Notify().Information(SJ("指定されたフォルダが見つかりません。") + "\r\n" + folder);
        return;
    }
    QDialog::accept();
}

std::optional<std::string> ChooseStandInFeedFolder(const std::string& current)
{
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr)
        parent = QApplication::activeWindow();
    TStandInSettingsDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Folder();
}

void InstallStandInSettingsDialog()
{
    JVLinkStandIn::SetFolderChooser([](const std::string& current) { return ChooseStandInFeedFolder(current); });
}

} // namespace tervan
