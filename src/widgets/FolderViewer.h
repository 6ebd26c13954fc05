// The folder picker: the shell's folder browser behind a small interface, so
// the commands that use it can be tested with a scripted picker.
#pragma once

#include <string>

class QWidget;

namespace tervan {

class IFolderPicker {
public:
    virtual ~IFolderPicker() = default;
    // Caption of the browser (CP932).
    virtual void SetCaption(const std::string& caption) = 0;
    // The folder preselected before Execute and the one chosen after it
    // (CP932 path).
    virtual void SetFolder(const std::string& folder) = 0;
    virtual std::string Folder() const = 0;
    // Runs the browser; true when the user confirmed a folder.
    virtual bool Execute() = 0;
};

// The folder browser of the platform.
class TFolderViewerEx : public IFolderPicker {
public:
    explicit TFolderViewerEx(QWidget* parent = nullptr) : parent_(parent) {}
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    void SetFolder(const std::string& folder) override { folder_ = folder; }
    std::string Folder() const override { return folder_; }
    bool Execute() override;

private:
    QWidget* parent_;
    std::string caption_;
    std::string folder_;
};

// A picker that answers as scripted (tests).
class ScriptedFolderPicker : public IFolderPicker {
public:
    void SetCaption(const std::string& c) override { caption = c; }
    void SetFolder(const std::string& f) override { folder = f; }
    std::string Folder() const override { return folder; }
    bool Execute() override
    {
        ++runs;
        if (!confirm)
            return false;
        folder = answer;
        return true;
    }

    std::string caption;
    std::string folder;
    std::string answer;
    bool confirm = true;
    int runs = 0;
};

} // namespace tervan
