#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QPlainTextEdit;

// The receive log: the bytes exactly as they came from the port, kept as the
// window's own byte string. The text control only shows them; it is refreshed
// at display rate, never once per append, so a fast line is not held up by
// text layout. Once the program is idle the control shows the latest text.
class TReceiveLog : public QObject {
    Q_OBJECT
public:
    explicit TReceiveLog(QPlainTextEdit* view, QObject* parent = nullptr);

    const QByteArray& Text() const { return FText; }

    // Costs time in proportion to the bytes appended, not to the log length.
    void Append(const char* data, qsizetype count);
    void Append(const QByteArray& data) { Append(data.constData(), data.size()); }
    void Clear();

    // Shows the current text now instead of at the next display refresh.
    void RefreshView();

    // The shortest time between two refreshes of the control, in ms (about
    // 30 per second: laying out a whole frame of text costs milliseconds).
    static constexpr int RefreshIntervalMs = 33;

    // How the control shows the bytes: Latin-1, each line end (CR LF, LF CR,
    // a lone CR or LF) as one line break.
    static QString DisplayText(const QByteArray& bytes);

private:
    void ScheduleRefresh();

    QPlainTextEdit* FView;
    QByteArray FText;
    QTimer FRefreshTimer;
    bool FViewStale = false;
};
