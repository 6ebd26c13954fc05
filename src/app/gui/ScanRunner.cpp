#include "app/gui/ScanRunner.h"

#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace tervan {

TScanRunner::TScanRunner(QWidget* page, const char* progressName)
    : progressBar_(new QProgressBar(page))
{
    progressBar_->setObjectName(QString::fromLatin1(progressName));
    progressBar_->setMaximumWidth(200);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->hide();
}

TScanRunner::~TScanRunner()
{
    cancel_ = true;
    Join();
}

void TScanRunner::Join()
{
    if (worker_.joinable())
        worker_.join();
}

void TScanRunner::Start(QPushButton* button, Work work)
{
    if (Running())
        return;
    cancel_ = false;
    button_ = button;
    caption_ = button->text();
    button->setText(QString::fromUtf8("中止"));
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->show();
    started_.start();
    // The scan runs on its own thread; what it reports comes back to this
    // thread as queued calls, which Qt drops once this object is gone (its
    // destructor waits for the thread first).
    worker_ = std::thread([this, work = std::move(work)] {
        Shown shown = work(
            [this](int done, int total) {
                QMetaObject::invokeMethod(this, [this, done, total] { Progress(done, total); }, Qt::QueuedConnection);
            },
            &cancel_);
        QMetaObject::invokeMethod(this, [this, shown = std::move(shown)] { Ended(shown); }, Qt::QueuedConnection);
    });
    Q_EMIT runningChanged(true);
}

void TScanRunner::CancelClick()
{
    // The second click of a double click on the start button lands here too.
    if (!Running() || started_.elapsed() < kCancelGuardMs)
        return;
    cancel_ = true;
    button_->setEnabled(false);
}

void TScanRunner::Progress(int done, int total)
{
    progressBar_->setRange(0, std::max(total, 1));
    progressBar_->setValue(done);
}

void TScanRunner::Ended(const Shown& shown)
{
    Join();
    button_->setText(caption_);
    button_->setEnabled(true);
    progressBar_->hide();
    if (shown)
        shown();
    Q_EMIT runningChanged(false);
}

} // namespace tervan
