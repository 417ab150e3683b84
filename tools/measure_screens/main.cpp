// Takes the pictures of the measurements: a transmittance measurement, a
// saturated frame, a held overlay and the time-series window, from the real
// window on a pseudo-terminal, its frames made by the simulator's sensor
// model and handed to the window as the port delivers them.
//
//   mirelda-measure-screens FOLDER
#include "app/AcquisitionMonitor.h"
#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "app/OperatorMenu.h"
#include "app/ReceiveLog.h"
#include "app/TimeSeriesWindow.h"
#include "common/Application.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "simulator/FrameBuilder.h"
#include "simulator/PortMapEntry.h"
#include "simulator/PseudoTerminal.h"
#include "simulator/SensorModel.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QThread>

#include <unistd.h>

#include <cstdio>

namespace {

class TScenes {
public:
    explicit TScenes(const QString& folder) : folder_(folder), entry_("COM11", terminal_.PortPath())
    {
        form_.move(0, 0);
        form_.show();
        form_.Edit_Data->setText(QStringLiteral("100"));
        form_.Button_OpenClick();
    }

    // Frames of the model at `exposure`, each delivered and plotted.
    void Feed(TSensorModel& model, int exposure, int frames, int pauseMs = 0)
    {
        form_.Edit_Data->setText(QString::number(exposure));
        for (int frame = 0; frame < frames; ++frame) {
            model.Generate(exposure, readings_);
            text_.clear();
            AppendFrame(text_, {uint64_t(++number_), exposure, int(readings_.size()) + 5}, readings_, TLineEnd::CrLf);
            form_.Log().Append(QByteArray::fromStdString(text_));
            form_.ComPort->OnRxFlag(form_.ComPort.get());
            // The exposure commands are not read by anyone: drop them.
            char sink[4096];
            while (read(terminal_.ControllerFd(), sink, sizeof sink) > 0) {
            }
            QCoreApplication::processEvents();
            if (pauseMs)
                QThread::msleep(pauseMs);
        }
    }

    void Save(QWidget& widget, const char* name)
    {
        // Long enough for the status read-out's next refresh.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 2 * TAcquisitionMonitor::TickInterval)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const QString path = folder_ + u'/' + QString::fromLatin1(name);
        if (!widget.grab().save(path))
            std::fprintf(stderr, "measure-screens: cannot write %s\n", qPrintable(path));
        else
            std::printf("%s\n", qPrintable(path));
    }

    TForm1& Form() { return form_; }
    TMeasurement& Measure() { return form_.MeasurementMenu().Measurement(); }

private:
    QString folder_;
    TPseudoTerminal terminal_;
    TPortMapEntry entry_;
    TForm1 form_;
    std::vector<int> readings_;
    std::string text_;
    uint64_t number_ = 0;
};

// The window's built-in layout: 8-bit readings that fall with light.
TSampleOptions EightBitFalling()
{
    TSampleOptions sample;
    sample.FullScale = 255;
    sample.FallingOutput = true;
    return sample;
}

} // namespace

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mirelda-measure-screens FOLDER\n");
        return 2;
    }
    TScenes scenes(QString::fromLocal8Bit(argv[1]));
    TForm1& form = scenes.Form();
    form.OperatorMenu().AverageActions->actions()[4]->trigger(); // 16 frames
    form.OperatorMenu().Monitor().SetReadOutShown(true);
    QCoreApplication::processEvents();

    // Dark, reference, then a band-pass filter in the beam.
    TSampleOptions filter = EightBitFalling();
    filter.Transmission = "filter";
    filter.SampleAfter = 16;
    TSensorModel lamp(512, 5, filter);
    scenes.Feed(lamp, 0, 16);
    form.OperatorMenu().TakeDarkFrame();
    scenes.Feed(lamp, 130, 16);
    scenes.Measure().TakeReference();
    scenes.Measure().SetMode(TProcessingMode::Transmittance);
    scenes.Feed(lamp, 130, 16);
    scenes.Save(form, "measure-transmittance.png");

    // Emission lines pushed past full scale.
    form.OperatorMenu().AverageActions->actions()[0]->trigger();
    form.OperatorMenu().ClearDarkAction->trigger();
    QCoreApplication::processEvents();
    scenes.Measure().SetMode(TProcessingMode::Scope);
    scenes.Measure().SetMarkSaturation(true);
    TSensorModel lines(512, 6, EightBitFalling());
    scenes.Feed(lines, 180, 2);
    scenes.Save(form, "measure-saturated.png");

    // A held spectrum under the live one at a shorter exposure.
    scenes.Feed(lines, 100, 1);
    scenes.Measure().HoldSpectrum();
    scenes.Feed(lines, 60, 2);
    scenes.Save(form, "measure-overlay.png");
    scenes.Measure().ClearOverlays();

    // Two lines tracked while one of them drifts.
    TSampleOptions drifting = EightBitFalling();
    drifting.Drift = true;
    TSensorModel drift(512, 7, drifting);
    form.MeasurementMenu().Track(TMeasurementMenu::ParseBands(QStringLiteral("95:4 243:4")));
    TTimeSeriesWindow& chart = *form.MeasurementMenu().SeriesWindow();
    chart.move(0, 420);
    scenes.Feed(drift, 100, 1000, 8);
    chart.Refresh();
    scenes.Save(chart, "measure-time-series.png");
    form.Button_OpenClick();
    return 0;
}
