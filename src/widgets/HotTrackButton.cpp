#include "widgets/HotTrackButton.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <chrono>

namespace tervan {

THotTrackSpeedButton::THotTrackSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

THotTrackSpeedButton::~THotTrackSpeedButton()
{
    StopFade();
}

void THotTrackSpeedButton::enterEvent(QEnterEvent* event)
{
    QToolButton::enterEvent(event);
    SimulateEnter();
}

void THotTrackSpeedButton::leaveEvent(QEvent* event)
{
    QToolButton::leaveEvent(event);
    SimulateLeave();
}

void THotTrackSpeedButton::SimulateEnter()
{
    StopFade();
    light_ = kFullLight;
    update();
}

void THotTrackSpeedButton::SimulateLeave()
{
    if (slowDecay_ && light_ > 0 && isEnabled()) {
        StartFade();
    } else {
        StopFade();
        light_ = 0;
        update();
    }
}

void THotTrackSpeedButton::StartFade()
{
    if (fading_.load())
        return;
    StopFade(); // joins a thread that has just ended on its own
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = false;
    }
    fading_.store(true);
    thread_ = std::thread([this] {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_) {
            if (wake_.wait_for(lock, std::chrono::milliseconds(kFadeIntervalMs), [this] { return stop_; }))
                break;
            // One repaint step, run by the GUI thread.
            QMetaObject::invokeMethod(this, "FadeStep", Qt::QueuedConnection);
        }
    });
}

void THotTrackSpeedButton::StopFade()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    fading_.store(false);
}

void THotTrackSpeedButton::FadeStep()
{
    if (!fading_.load())
        return; // a step posted just before the fade was stopped
    light_ = std::max(0, light_ - kFadeStep);
    update();
    if (light_ == 0) {
        StopFade();
        Q_EMIT fadeFinished();
    }
}

void THotTrackSpeedButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The light is drawn here, so the style's own hover look is not used.
    option.state &= ~QStyle::State_MouseOver;
    if (light_ > 0 && isEnabled() && !isDown() && !isChecked()) {
        QColor glow = palette().color(QPalette::Highlight);
        glow.setAlpha(light_ * 80 / kFullLight);
        painter.fillRect(rect().adjusted(1, 1, -1, -1), glow);
        QColor frame = palette().color(QPalette::Dark);
        frame.setAlpha(light_);
        painter.setPen(frame);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        option.state &= ~QStyle::State_AutoRaise;
        option.state |= QStyle::State_Raised;
        painter.drawControl(QStyle::CE_ToolButtonLabel, option);
        return;
    }
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}

} // namespace tervan
