// THotTrackSpeedButton: a flat speed button that lights up under the mouse.
// With a slow decay (the "結果情報" button) the light fades out after the
// mouse leaves: a small thread wakes every 30 ms while the fade runs and
// hands one repaint step to the GUI thread; it touches nothing else.
#pragma once

#include <QToolButton>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tervan {

class THotTrackSpeedButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int kFullLight = 255;
    static constexpr int kFadeStep = 25;       // light lost per step
    static constexpr int kFadeIntervalMs = 30; // the thread's wake interval

    explicit THotTrackSpeedButton(QWidget* parent = nullptr);
    ~THotTrackSpeedButton() override;

    // Slow decay: fade out after the mouse leaves instead of going dark at once.
    void setSlowDecay(bool on) { slowDecay_ = on; }
    bool slowDecay() const { return slowDecay_; }

    // Current light, 0 (dark) to kFullLight.
    int light() const { return light_; }
    // True while the fading thread runs.
    bool isFading() const { return fading_.load(); }

    // Tests drive hot tracking without a mouse.
    void SimulateEnter();
    void SimulateLeave();

Q_SIGNALS:
    void fadeFinished();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private Q_SLOTS:
    void FadeStep();

private:
    void StartFade();
    void StopFade();

    bool slowDecay_ = false;
    int light_ = 0; // GUI thread only
    std::atomic<bool> fading_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false; // guarded by mutex_
    std::thread thread_;
};

} // namespace tervan
