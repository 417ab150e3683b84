#include "AppTestSupport.h"

#include "app/AcquisitionMonitor.h"
#include "app/CalibrationMenu.h"
#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "app/OperatorMenu.h"
#include "app/ReceiveLog.h"
#include "app/TimeSeriesWindow.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "serial/posix/Registry.h"
#include "spectrum/SensorLayout.h"
#include "support/PtyPair.h"

#include <QActionGroup>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The window with COM11 on a pseudo-terminal, frames handed to its flag
// handler as the event thread does.
class MeasurementWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PortMap::Register("COM11", line.SlavePath());
        form->Edit_Data->setText(QStringLiteral("100"));
        ClickButton(form->Button_Open);
        ASSERT_TRUE(form->ComPort->Connected());
    }
    void Plot(const std::vector<int>& readings)
    {
        std::string frame = "H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n";
        for (const int reading : readings)
            frame += std::to_string(reading) + "\r\n";
        form->Log().Append(QByteArray::fromStdString(frame + "e"));
        form->ComPort->OnRxFlag(form->ComPort.get());
    }
    TMeasurement& Measure() { return form->MeasurementMenu().Measurement(); }
    bool StatusSays(const std::string& text) const
    {
        const std::vector<std::string> lines = form->OperatorMenu().Monitor().Lines();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
    // Every point the graph holds, curve by curve.
    std::vector<std::vector<TCurvePoint>> Curves() const
    {
        std::vector<std::vector<TCurvePoint>> curves;
        for (int i = 0; i < form->XYGraph1->CurveCount(); ++i)
            curves.push_back(form->XYGraph1->Curve(i)->Points);
        return curves;
    }

    TTemporaryConfigHome configHome;
    TShownErrors errors;
    TPtyPair line;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
};

// A rising 4-pixel sensor of full scale 1000.
TFrameLayout SmallSensor()
{
    return ParseSensorLayout("header=5 first=6 pixels=4 fields=20 full=1000 output=rising");
}

TEST_F(MeasurementWindowTest, ALayoutIsKeptPerPortAndSetsPointsAndAxes)
{
    Plot({1, 2, 3});
    EXPECT_FALSE(Measure().Active());
    EXPECT_EQ(CurveY(*form->XYGraph1).size(), 507u);

    Measure().SetLayout(SensorPresets()[3].Layout);
    std::vector<int> readings(3648, 4000);
    readings[10] = 0; // saturated: falling output
    Plot(readings);
    ASSERT_EQ(form->XYGraph1->CurveCount(), 1);
    const TCurve& curve = *form->XYGraph1->Curve(0);
    EXPECT_EQ(curve.Points.size(), 3648u);
    EXPECT_EQ(curve.Points.back().X, 3653);
    EXPECT_EQ(curve.Points[0].Y, 95);
    ASSERT_EQ(curve.Markers.size(), 1u);
    EXPECT_EQ(curve.Markers[0].PointIndex, 10);
    EXPECT_EQ(form->XYGraph1->XAxis().HomeMax(), 3653);
    EXPECT_EQ(form->XYGraph1->YAxis().HomeMax(), 4095);
    EXPECT_TRUE(StatusSays("Saturated: 1 pixels"));

    // A new window takes the port's layout back when the port opens.
    ClickButton(form->Button_Open);
    form = std::make_unique<TForm1>();
    EXPECT_EQ(form->Decoder().Layout(), TFrameLayout{});
    ClickButton(form->Button_Open);
    EXPECT_EQ(form->Decoder().Layout(), SensorPresets()[3].Layout);
    form->MeasurementMenu().SensorActions->actions()[0]->trigger();
    EXPECT_TRUE(WaitUntil([&] { return form->Decoder().Layout() == TFrameLayout{}; }));

    // A layout spoilt in the store leaves the port on the built-in one.
    Measure().SetLayout(SmallSensor());
    ClickButton(form->Button_Open);
    {
        TRegistry store;
        ASSERT_TRUE(store.OpenKey(TMeasurement::LayoutKey));
        store.WriteString("COM11", "pixels=many");
        store.CloseKey();
    }
    form = std::make_unique<TForm1>();
    ClickButton(form->Button_Open);
    EXPECT_TRUE(form->ComPort->Connected());
    EXPECT_EQ(form->Decoder().Layout(), TFrameLayout{});
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(MeasurementWindowTest, RatioModesWaitForTheirFramesAndLeaveGapsNotInfinities)
{
    Measure().SetLayout(SmallSensor());
    Measure().SetMode(TProcessingMode::Transmittance);
    EXPECT_EQ(form->XYGraph1->YAxis().Title(), "Transmittance (%)");
    EXPECT_THROW(Measure().TakeReference(), Exception);
    Plot({10, 10, 10, 10});
    EXPECT_EQ(form->XYGraph1->CurveCount(), 0);
    EXPECT_TRUE(StatusSays("No dark frame: take one first"));
    EXPECT_TRUE(StatusSays("Low signal"));
    form->OperatorMenu().TakeDarkFrame();
    Plot({110, 10, 510, 5}); // no light at 7, less than dark at 9
    Measure().TakeReference();
    Plot({60, 10, 1000, 10});
    // 6 and 8 are drawn, each a curve of its own; 8 is marked saturated.
    const auto curves = Curves();
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0][0].Y, 50);
    EXPECT_EQ(curves[1][0].X, 8);
    EXPECT_NEAR(curves[1][0].Y, 99000.0 / 500, 1e-9);
    EXPECT_EQ(form->XYGraph1->Curve(1)->Markers.size(), 1u);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.csv"));
    EXPECT_THROW(form->OperatorMenu().SaveSpectrumTo(path), Exception); // would cut the ratios to whole numbers
    Measure().SaveProcessedSpectrum(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "# mode: Transmittance\npixel,Transmittance (%)\n6,50\n7,\n8,198\n9,\n");

    // The held curve and the file read back lie exactly on the curve.
    Measure().HoldSpectrum();
    Measure().OpenOverlay(path);
    const auto withOverlays = Curves();
    ASSERT_EQ(withOverlays.size(), 6u);
    for (std::size_t i = 2; i < 6; ++i) {
        EXPECT_EQ(withOverlays[i][0].X, withOverlays[i % 2][0].X);
        EXPECT_EQ(withOverlays[i][0].Y, withOverlays[i % 2][0].Y);
    }
    const QString jcamp = dir.filePath(QStringLiteral("t.jdx"));
    Measure().SaveProcessedSpectrum(jcamp);
    Measure().OpenOverlay(jcamp);
    const std::vector<TCurvePoint>& read = form->XYGraph1->Curve(6)->Points; // no gaps: one run
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(std::make_pair(read[0].X, read[0].Y), std::make_pair(withOverlays[0][0].X, withOverlays[0][0].Y));
    EXPECT_EQ(std::make_pair(read[1].X, read[1].Y), std::make_pair(withOverlays[1][0].X, withOverlays[1][0].Y));
    QFile(path).open(QIODevice::WriteOnly); // now empty
    EXPECT_THROW(Measure().OpenOverlay(path), Exception);
    EXPECT_EQ(Measure().Overlays().size(), 3u);
    Measure().ClearOverlays();
    EXPECT_EQ(form->XYGraph1->CurveCount(), 2);

    // Back to the window as built: its curve, and none of our read-out.
    EXPECT_TRUE(StatusSays("Saturated: 1 pixels"));
    Measure().SetMode(TProcessingMode::Scope);
    Measure().SetLayout(TFrameLayout{});
    Plot({1, 2, 3});
    EXPECT_EQ(CurveY(*form->XYGraph1).size(), 507u);
    EXPECT_FALSE(StatusSays("Saturated: 1 pixels"));
}

TEST_F(MeasurementWindowTest, CalibratedTheLiveCurveHeldCurveAndFilesAreInNanometres)
{
    form->CalibrationMenu().ApplyCalibration(TWavelengthCalibration({400.0, 0.5}));
    Measure().SetMarkSaturation(true);
    Plot(std::vector<int>(507, 100));
    ASSERT_FALSE(Curves().empty());
    EXPECT_EQ(Curves()[0][0].X, 403.0);
    EXPECT_EQ(Measure().XUnit(), "nm");

    // Held and saved in nm, and read back onto the same x.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nm.csv"));
    Measure().HoldSpectrum();
    Measure().SaveProcessedSpectrum(path);
    Measure().OpenOverlay(path);
    const auto curves = Curves();
    ASSERT_EQ(curves.size(), 3u);
    EXPECT_EQ(curves[1].back().X, curves[0].back().X);
    EXPECT_EQ(curves[2].back().X, curves[0].back().X);

    // Back in pixels, an overlay saved in nm does not fit the axis.
    form->CalibrationMenu().ClearCalibration();
    EXPECT_THROW(Measure().OpenOverlay(path), Exception);
}

// A steady source whose peak grows in a line with the exposure the window
// sends: the exposure settles with the peak at 70 to 85 % of full scale.
TEST_F(MeasurementWindowTest, AutomaticExposureSettlesWithinSixFramesInsideTheLimits)
{
    Measure().SetLayout(SmallSensor());
    form->Edit_Data->setText(QStringLiteral("3"));
    Measure().AutoExposure().SetLimits(1, 5000);
    Measure().SetAutoExposureOn(true);
    const auto peakAt = [](int exposure) { return std::min(40 + 2 * exposure, 1000); };
    for (int frame = 0; frame < 6; ++frame) {
        const int exposure = form->Edit_Data->text().toInt();
        Plot({peakAt(exposure), 20, 20, 20});
    }
    const int settled = form->Edit_Data->text().toInt();
    EXPECT_GE(peakAt(settled), 700);
    EXPECT_LE(peakAt(settled), 850);
    Plot({peakAt(settled), 20, 20, 20});
    EXPECT_EQ(form->Edit_Data->text().toInt(), settled);

    Measure().AutoExposure().SetLimits(1, 100);
    Plot({peakAt(settled), 20, 20, 20});
    Plot({peakAt(100), 20, 20, 20});
    EXPECT_EQ(form->Edit_Data->text(), "100");
}

TEST_F(MeasurementWindowTest, TrackedBandsFillTheStripChartAndItsFile)
{
    EXPECT_THROW(TMeasurementMenu::ParseBands(QStringLiteral("1 2 3 4 5")), Exception);
    EXPECT_THROW(TMeasurementMenu::ParseBands(QStringLiteral("7:x")), Exception);
    Measure().SetLayout(SmallSensor());
    form->MeasurementMenu().Track(TMeasurementMenu::ParseBands(QStringLiteral("6, 8:2.5")));
    for (int frame = 0; frame < 5; ++frame)
        Plot({100 + frame, 0, 300, 0});
    TTimeSeriesWindow& chart = *form->MeasurementMenu().SeriesWindow();
    ASSERT_TRUE(chart.isVisible());
    chart.Refresh();
    ASSERT_EQ(chart.Graph().CurveCount(), 2);
    EXPECT_EQ(chart.Graph().Curve(0)->Points.size(), 5u);
    EXPECT_EQ(chart.Graph().Curve(1)->Points.back().Y, 100); // pixels 7 to 9: 0, 300, 0

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.csv"));
    Measure().SaveTimeSeries(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines[0], "time (s),band 6 width 0,band 8 width 2.5");
    EXPECT_TRUE(lines[5].endsWith(",104,100")) << lines[5].toStdString();
}

} // namespace
