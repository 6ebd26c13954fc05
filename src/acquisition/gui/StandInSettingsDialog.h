// The settings dialog of the JV-Link stand-in, shown when the download
// dialog's "JVLink設定" calls JVSetUIProperties: it chooses the feed folder
// whose data files the stand-in serves in place of the data service.
#pragma once

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace tervan {

class INotifier;
class IFolderPicker;

class TStandInSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // current: the feed folder in use (CP932). notifier: beeps and boxes;
    // real boxes when null.
    explicit TStandInSettingsDialog(const std::string& current, QWidget* parent = nullptr,
                                    INotifier* notifier = nullptr);
    ~TStandInSettingsDialog() override;

    // The folder in the edit field (CP932, surrounding spaces removed).
    std::string Folder() const;
    QLineEdit* FolderEdit() const { return folderEdit_; }
    QPushButton* BrowseButton() const { return browseButton_; }
    void SetFolderPicker(std::unique_ptr<IFolderPicker> picker);

    // "参照...": the folder browser, starting at the folder in the field.
    void BrowseButtonClick();
    // OK: accepted only for a folder that exists.
    void accept() override;

private:
    INotifier& Notify();

    std::unique_ptr<INotifier> ownNotifier_;
    INotifier* notifier_ = nullptr;
    std::unique_ptr<IFolderPicker> picker_;
    QLineEdit* folderEdit_ = nullptr;
    QPushButton* browseButton_ = nullptr;
};

// Shows the dialog modally over the active window; the chosen folder, or
// nothing when cancelled.
std::optional<std::string> ChooseStandInFeedFolder(const std::string& current);

// Makes the stand-in's JVSetUIProperties show this dialog (once at start-up).
void InstallStandInSettingsDialog();

} // namespace tervan
