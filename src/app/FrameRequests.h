#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <chrono>

// Keeps the window's request-and-answer cycle single and its frames whole.
// A request sent while a frame is arriving clears the receive log under
// that frame: its tail must not be taken for a spectrum, and the device,
// which answers every request, now owes two frames, so the cycle must not
// ask again until both came. A log cleared by the operator cuts a frame the
// same way.
//
// Requests the device leaves unanswered for RequestLapse (no byte came since)
// are taken as lost, so the operator's next request starts a fresh cycle.
class TFrameRequests {
public:
    using TClock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds RequestLapse{5};

    // A new run: nothing is owed, nothing cut.
    void Reset();

    // The log is about to be emptied. Bytes it holds that are not a whole
    // frame are the beginning of one that will now arrive cut.
    void LogCleared(QByteArrayView log);
    void RequestSent(TClock::time_point now);
    void BytesArrived(TClock::time_point now) { lastActivity_ = now; }

    // A frame ended with its 'e'. Returns whether it is whole; a cut frame
    // is counted and must be dropped.
    bool FrameEnded();
    // No request is owed an answer: the cycle may ask for the next frame.
    bool NextRequestDue() const { return owed_ == 0; }
    int CutFrames() const { return cutFrames_; }

private:
    int owed_ = 0;
    bool cut_ = false;
    int cutFrames_ = 0;
    TClock::time_point lastActivity_{};
};

// Where the log's next frame begins after a frame's 'e' at afterEnd - 1:
// past the line end a device may put after the 'e'.
qsizetype NextFrameStart(QByteArrayView log, qsizetype afterEnd);
