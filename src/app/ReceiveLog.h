#pragma once

#include "app/ReceiveView.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QPlainTextEdit;

// The receive log: the bytes exactly as they came from the port, kept as the
// window's own byte string for the frame decoder, and shown in the text
// control by a TReceiveView. The control is refreshed at display rate,
// never once per append, so a fast line is not held up by text layout. Once
// the program is idle the control shows the latest text.
class TReceiveLog : public QObject {
    Q_OBJECT
public:
    explicit TReceiveLog(QPlainTextEdit* view, QObject* parent = nullptr);

    // The log keeps at most this many bytes, the first ones since it was
    // last cleared; later bytes are shown but not kept. A frame is a few
    // kilobytes and at most 2200 fields, so only a device that streams
    // without ever closing its frame reaches the bound. The decoder reads
    // from the start and stops at the first 'e', so a frame that fits
    // decodes exactly as it would from an unbounded log, and one that does
    // not still has its leading fields decoded as they came.
    static constexpr qsizetype MaxKeptBytes = 1024 * 1024;

    const QByteArray& Text() const { return FText; }

    // Costs time in proportion to the bytes appended, not to the log length.
    void Append(const char* data, qsizetype count);
    void Append(const QByteArray& data) { Append(data.constData(), data.size()); }
    // Empties the log and gives back what a log grown beyond a few frames
    // holds.
    void Clear();

    // Shows the current text now instead of at the next display refresh.
    void RefreshView();

    // The shortest time between two refreshes of the control, in ms (10 per
    // second: each refresh also repaints the control). After a refresh that
    // took t, the next one waits at least RefreshCostFactor * t, so that
    // under a flood of lines the control takes no more than a small share of
    // the program's time.
    static constexpr int RefreshIntervalMs = 100;
    static constexpr int RefreshCostFactor = 4;

private:
    void ScheduleRefresh();

    TReceiveView FView;
    QByteArray FText;
    QTimer FRefreshTimer;
};
