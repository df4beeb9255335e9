#include "VideoPlayer.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <climits>

#include "ui_VideoPlayer.h"

namespace hv {

namespace {

// The longest one catch-up decodes before the GUI gets its turn; it goes on right after.
constexpr int kCatchUpBudgetMs = 50;

QString clockText(int ms) {
    const int seconds = std::max(0, ms) / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

VideoPlayer::VideoPlayer(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::VideoPlayerForm>()) {
    m_ui->setupUi(this);
    m_ui->playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &VideoPlayer::advance);
    connect(m_ui->playButton, &QToolButton::clicked, this, &VideoPlayer::togglePlay);
    connect(m_ui->positionSlider, &QSlider::valueChanged, this, &VideoPlayer::seek);
}

VideoPlayer::~VideoPlayer() = default;

bool VideoPlayer::play(const QString& fileName) {
    stop();
    if (!m_stream.open(fileName)) {
        return false;
    }
    const std::optional<VideoStream::Frame> first = m_stream.next();
    if (!first) {
        m_stream.close();
        return false;
    }
    {
        const QSignalBlocker quiet(m_ui->positionSlider);
        m_ui->positionSlider->setRange(0, lengthMs());
    }
    showFrame(*first);
    m_next = m_stream.next();
    m_clock.start(first->timeMs);
    setState(State::Playing);
    if (m_next) {
        waitForNext();
    } else {
        reachEnd();
    }
    return true;
}

void VideoPlayer::stop() {
    m_timer.stop();
    m_clock.pause();
    m_next.reset();
    m_stream.close();
    m_positionMs = 0;
    m_ui->frameView->clear();
    {
        const QSignalBlocker quiet(m_ui->positionSlider);
        m_ui->positionSlider->setRange(0, 0);
    }
    showTime();
    setState(State::Idle);
}

void VideoPlayer::pause() {
    if (m_state != State::Playing) {
        return;
    }
    m_timer.stop();
    m_clock.pause();
    setState(State::Paused);
}

void VideoPlayer::resume() {
    if (m_state == State::Ended && !seek(0)) {
        return;
    }
    if (m_state != State::Paused) {
        return;
    }
    m_clock.resume();
    setState(State::Playing);
    waitForNext();
}

bool VideoPlayer::seek(int ms) {
    if (m_state == State::Idle) {
        return false;
    }
    m_timer.stop();
    // The last picture starts before the end; a file that does not give its length is not held.
    const int last = lengthMs() > 0 ? lengthMs() - 1 : INT_MAX;
    const std::optional<VideoStream::Frame> frame = m_stream.seek(std::clamp(ms, 0, last));
    if (!frame) {
        reachEnd();
        return false;
    }
    showFrame(*frame);
    m_next = m_stream.next();
    m_clock.setPosition(frame->timeMs);
    if (!m_next) {
        reachEnd();
        return true;
    }
    if (m_state == State::Ended) {
        setState(State::Paused);
    }
    if (m_state == State::Playing) {
        waitForNext();
    }
    return true;
}

QImage VideoPlayer::currentFrame() const {
    return m_ui->frameView->frame();
}

void VideoPlayer::closeEvent(QCloseEvent* event) {
    stop();
    QWidget::closeEvent(event);
}

void VideoPlayer::togglePlay() {
    if (m_state == State::Playing) {
        pause();
    } else {
        resume();
    }
}

void VideoPlayer::advance() {
    QElapsedTimer work;
    work.start();
    const int now = m_clock.positionMs();
    std::optional<VideoStream::Frame> due;
    while (m_next && m_next->timeMs <= now && work.elapsed() < kCatchUpBudgetMs) {
        due = std::move(m_next);
        m_next = m_stream.next();
    }
    if (due) {
        showFrame(*due);
    }
    if (m_next) {
        waitForNext();
    } else {
        reachEnd();
    }
}

void VideoPlayer::waitForNext() {
    m_timer.start(std::max(0, m_next->timeMs - m_clock.positionMs()));
}

void VideoPlayer::reachEnd() {
    m_timer.stop();
    m_clock.pause();
    m_next.reset();
    setState(State::Ended);
}

void VideoPlayer::showFrame(const VideoStream::Frame& frame) {
    m_positionMs = frame.timeMs;
    m_ui->frameView->setFrame(frame.image);
    // While the slider is held the hand on it decides where it stands.
    if (!m_ui->positionSlider->isSliderDown()) {
        const QSignalBlocker quiet(m_ui->positionSlider);
        m_ui->positionSlider->setValue(frame.timeMs);
    }
    showTime();
    emit positionChanged(frame.timeMs);
}

void VideoPlayer::showTime() {
    m_ui->timeLabel->setText(clockText(m_positionMs) + QStringLiteral(" / ") +
                             clockText(lengthMs()));
}

void VideoPlayer::setState(State state) {
    const bool playing = state == State::Playing;
    m_ui->playButton->setIcon(
        style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_ui->playButton->setToolTip(playing ? tr("Pause") : tr("Play"));
    m_ui->playButton->setEnabled(state != State::Idle);
    m_ui->positionSlider->setEnabled(state != State::Idle);
    if (state != m_state) {
        m_state = state;
        emit stateChanged(state);
    }
}

}  // namespace hv
