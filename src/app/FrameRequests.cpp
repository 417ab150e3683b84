#include "app/FrameRequests.h"

void TFrameRequests::Reset()
{
    owed_ = 0;
    cut_ = false;
    cutFrames_ = 0;
}

void TFrameRequests::LogCleared(QByteArrayView log)
{
    // Line ends alone are what a device may send after a frame's 'e', not
    // the start of the next frame.
    for (const char c : log) {
        if (c != '\r' && c != '\n') {
            cut_ = true;
            return;
        }
    }
}

void TFrameRequests::RequestSent(TClock::time_point now)
{
    if (owed_ > 0 && now - lastActivity_ >= RequestLapse)
        owed_ = 0;
    ++owed_;
    lastActivity_ = now;
}

bool TFrameRequests::FrameEnded()
{
    if (owed_ > 0)
        --owed_;
    if (!cut_)
        return true;
    cut_ = false;
    ++cutFrames_;
    return false;
}

qsizetype NextFrameStart(QByteArrayView log, qsizetype afterEnd)
{
    while (afterEnd < log.size() && (log[afterEnd] == '\r' || log[afterEnd] == '\n'))
        ++afterEnd;
    return afterEnd;
}
