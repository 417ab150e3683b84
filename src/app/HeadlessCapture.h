#pragma once

#include "app/CaptureFile.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QTimer>

struct TAutomationOptions;
struct TStartOptions;
class TForm1;

// Unattended capture: the window's acquisition, with the window never
// shown, for a given number of frames, written to a CSV file (JCAMP-DX when
// its name ends in .jdx). One progress
// line a second on standard error. Ends with status 0 when every frame is
// written, 1 with the reason on standard error when the port cannot be
// opened, acquisition stops (device gone, bad frame, no answer) or the file
// cannot be written; the frames captured before a stop are still written.
class THeadlessCapture : public QObject {
    Q_OBJECT
public:
    static constexpr int CheckInterval = 250; // ms
    static constexpr int ProgressInterval = 1000;

    THeadlessCapture(TForm1& form, const TStartOptions& options, const TAutomationOptions& automation);

    // Runs until done; the exit status.
    int Run();

private:
    void Begin();
    void Check();
    void FramePlotted();
    void Finish(int status, const QString& reason);

    TForm1& form_;
    int target_;
    QString output_;
    TFrameCapture capture_;
    QEventLoop loop_;
    QTimer checkTimer_;
    QElapsedTimer elapsed_;
    qint64 lastProgress_ = 0;
    bool finished_ = false;
};

// The whole unattended run of the command line: the window made, set up
// from the options, remote control started when asked for, the capture.
int RunHeadless(const TStartOptions& options, const TAutomationOptions& automation);
