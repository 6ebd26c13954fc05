// TAboutBox: the version dialog ("ﾊﾞｰｼﾞｮﾝ情報"), created for one showing.
#pragma once

#include <QDialog>

class QLabel;

namespace tervan {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The version text ("Version 1.40").
    void SetVersion(const QString& version);
    QString Version() const;

private:
    QLabel* version_;
};

} // namespace tervan
