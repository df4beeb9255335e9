// The review's video player: plays one video file in a widget with a play/pause button, a
// position slider (moving it seeks) and the time as "mm:ss / mm:ss".
//
// Pictures are decoded as they are due, never the whole file: each is shown when the playback
// clock reaches its time in the file, so decoding that falls behind catches up (the pictures
// passed over are decoded but not shown) instead of slowing the video down. A recording's
// picture (400 x 400 MPEG-4) decodes in about a millisecond, so the decoding stays on the GUI
// thread.
//
// Used on the GUI thread only.
#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "PlaybackClock.h"
#include "VideoStream.h"

namespace Ui {
class VideoPlayerForm;
}

namespace hv {

class VideoPlayer : public QWidget {
    Q_OBJECT

public:
    enum class State {
        Idle,     // no file
        Playing,  //
        Paused,   //
        Ended,    // the last picture was reached; it stays shown
    };
    Q_ENUM(State)

    explicit VideoPlayer(QWidget* parent = nullptr);
    ~VideoPlayer() override;

    // Opens fileName and plays it from its first picture; false, leaving the player idle, when
    // the file has no picture the decoder reads.
    bool play(const QString& fileName);
    // Ends the playback and closes the file: the player is idle and shows nothing.
    void stop();
    void pause();
    // Plays on from the picture shown; from the start again once the end was reached.
    void resume();
    // Shows the picture at ms (held within the file's length) and, while playing, plays on from
    // there. False when the player is idle or no picture was found there, which ends the play.
    bool seek(int ms);

    State state() const { return m_state; }
    // The time of the picture shown.
    int positionMs() const { return m_positionMs; }
    int lengthMs() const { return m_stream.lengthMs(); }
    QImage currentFrame() const;

signals:
    // A picture was shown; its time in the file.
    void positionChanged(int ms);
    void stateChanged(hv::VideoPlayer::State state);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void togglePlay();
    void seekFromSlider(int ms);
    // Shows the pictures that are due by the clock (the last of them) and waits for the next.
    void advance();
    void waitForNext();
    void reachEnd();
    void showFrame(const VideoStream::Frame& frame);
    void showTime();
    void setState(State state);

    std::unique_ptr<Ui::VideoPlayerForm> m_ui;
    VideoStream m_stream;
    PlaybackClock m_clock;
    QTimer m_timer;
    // The picture decoded ahead, shown when the clock reaches its time.
    std::optional<VideoStream::Frame> m_next;
    int m_positionMs = 0;
    State m_state = State::Idle;
};

}  // namespace hv
