#include "app/HeadlessCapture.h"

#include "app/AcquisitionMonitor.h"
#include "app/ComMainForm.h"
#include "app/CommandLine.h"
#include "app/OperatorMenu.h"
#include "app/RemoteControl.h"
#include "app/StartOptions.h"
#include "common/Application.h"
#include "common/WholeFile.h"
#include "serial/CPort.h"

#include <cstdio>
#include <utility>

namespace {

void Say(const QString& text)
{
    std::fprintf(stderr, "mirelda: %s\n", text.toLocal8Bit().constData());
}

} // namespace

THeadlessCapture::THeadlessCapture(TForm1& form, const TStartOptions& options, const TAutomationOptions& automation)
    : QObject(&form), form_(form), target_(automation.Frames), output_(automation.Output),
      capture_(form.ComPort->Port(), options.Exposure.value_or(std::string()), automation.AverageFrames)
{
    TComPort& port = *form_.ComPort;
    port.OnRxFlag = [this, frame = std::move(port.OnRxFlag)](TCustomComPort* sender) {
        // The last frame asks for no further one.
        form_.KeepAcquiring = capture_.Count() + 1 < target_;
        frame(sender);
        FramePlotted();
    };
    checkTimer_.setInterval(CheckInterval);
    connect(&checkTimer_, &QTimer::timeout, this, &THeadlessCapture::Check);
}

int THeadlessCapture::Run()
{
    QTimer::singleShot(0, this, &THeadlessCapture::Begin);
    return loop_.exec();
}

void THeadlessCapture::Begin()
{
    elapsed_.start();
    checkTimer_.start();
    try {
        form_.Button_OpenClick();
        form_.KeepAcquiring = target_ > 1;
        form_.Button_SendClick();
    } catch (const std::exception& error) {
        QString reason = TApplication::MessageText(error);
        if (const QString advice = TApplication::AdviceText(error); !advice.isEmpty())
            reason += u' ' + advice;
        Finish(1, reason);
    }
}

void THeadlessCapture::FramePlotted()
{
    if (finished_)
        return;
    std::vector<int> pixels;
    std::vector<std::int32_t> readings;
    for (const TSpectrumRecord::TPoint& point : form_.OperatorMenu().CurrentSpectrum().Points) {
        pixels.push_back(point.Pixel);
        readings.push_back(point.Reading);
    }
    capture_.Add(pixels, readings);
    // Not from inside the port's event delivery, which closing the port waits for.
    if (capture_.Count() == target_)
        QTimer::singleShot(0, this, [this] { Finish(0, {}); });
}

void THeadlessCapture::Check()
{
    const TAcquisitionMonitor& monitor = form_.OperatorMenu().Monitor();
    for (const std::string& line : monitor.Lines()) {
        const std::string stopped = "Stopped: ";
        if (line.starts_with(stopped)) {
            Finish(1, QStringLiteral("acquisition stopped: ") + QString::fromLatin1(line.substr(stopped.size())));
            return;
        }
    }
    if (elapsed_.elapsed() - lastProgress_ < ProgressInterval)
        return;
    lastProgress_ = elapsed_.elapsed();
    const double seconds = double(lastProgress_) / 1000.0;
    Say(QStringLiteral("%1 of %2 frames, %3 frames/s")
            .arg(capture_.Count())
            .arg(target_)
            .arg(double(capture_.Count()) / seconds, 0, 'f', 1));
}

void THeadlessCapture::Finish(int status, const QString& reason)
{
    if (finished_)
        return;
    finished_ = true;
    checkTimer_.stop();
    form_.KeepAcquiring = false;
    if (form_.ComPort->Connected())
        form_.Button_OpenClick();
    if (!reason.isEmpty())
        Say(reason);
    if (capture_.Count() > 0) {
        const bool jcamp = output_.endsWith(QStringLiteral(".jdx"), Qt::CaseInsensitive);
        const QByteArray text = jcamp ? capture_.JcampDx() : capture_.Csv();
        if (const QString failure = ReplaceWholeFile(output_, text); !failure.isEmpty()) {
            Say(QStringLiteral("cannot write \"%1\": %2").arg(output_, failure));
            status = 1;
        } else {
            Say(QStringLiteral("wrote %1 of %2 frames to %3").arg(capture_.Count()).arg(target_).arg(output_));
        }
    }
    loop_.exit(status);
}

int RunHeadless(const TStartOptions& options, const TAutomationOptions& automation)
{
    // Nobody is there to close a message box.
    TApplication::SetExceptionPresenter([](const QString&, const QString& message) { Say(message); });
    TForm1 form;
    ApplyStartOptions(form, options);
    if (automation.Remote && !StartRemoteControl(form, *automation.Remote))
        return 1;
    THeadlessCapture capture(form, options, automation);
    return capture.Run();
}
