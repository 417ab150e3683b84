#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "app/ReceiveLog.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "specsim/SpectrumGenerator.h"
#include "tools/SimulatorProcess.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;

namespace {

// The program's window acquiring from the simulator process over a
// pseudo-terminal registered as COM11 in a private port map.
class AcquisitionEndToEndTest : public ::testing::Test {
protected:
    // Starts the simulator and the window, and counts the frames the window
    // is handed (a frame that fails to decode counts too).
    void Start(std::vector<std::string> options)
    {
        options.insert(options.end(), {"--name", "COM11"});
        simulator = std::make_unique<TSimulatorProcess>(options);
        ASSERT_FALSE(simulator->StartLine().empty());
        form = std::make_unique<TForm1>();
        form->Edit_Data->setText(QStringLiteral("100"));
        const TCustomComPort::TNotifyEvent decode = form->ComPort->OnRxFlag;
        form->ComPort->OnRxFlag = [this, decode](TCustomComPort* sender) {
            ++frames;
            decode(sender);
        };
    }

    void OpenAndSend()
    {
        ClickButton(form->Button_Open);
        ASSERT_EQ(form->Button_Open->text(), QStringLiteral("Close"));
        ClickButton(form->Button_Send);
    }
    bool FramesReach(int count, std::chrono::milliseconds limit = 30s)
    {
        return WaitUntil([&] { return frames >= count; }, limit);
    }

    TTemporaryConfigHome configHome;
    TShownErrors errors;
    std::unique_ptr<TSimulatorProcess> simulator;
    std::unique_ptr<TForm1> form;
    int frames = 0;
};

TEST_F(AcquisitionEndToEndTest, AcquiresContinuouslyAndPlotsWhatTheSimulatorSent)
{
    constexpr int FrameCount = 300;
    constexpr uint32_t Seed = 7;
    Start({"--frames", std::to_string(FrameCount), "--seed", std::to_string(Seed), "--chunks", "1-700"});
    OpenAndSend();
    ASSERT_TRUE(FramesReach(FrameCount));
    simulator->WaitForExit();
    EXPECT_NE(simulator->RemainingOutput().find("frames 300"), std::string::npos);

    // The same seed gives the same spectra: the curve is the last one sent.
    TSpectrumGenerator generator(TFrameDecoder::LastPlottedField, Seed);
    std::vector<int> readings;
    for (int frame = 0; frame < FrameCount; ++frame)
        generator.Generate(100, readings);
    const TCurve* curve = form->XYGraph1->Curve(0);
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->Points.size(), readings.size());
    for (size_t i = 0; i < readings.size(); ++i) {
        ASSERT_EQ(curve->Points[i].X, double(TFrameDecoder::FirstPlottedField + int(i)));
        ASSERT_EQ(curve->Points[i].Y, 256.0 - readings[i]) << "at x = " << curve->Points[i].X;
    }
    EXPECT_EQ(form->XYGraph1->CurveCount(), 1);
    EXPECT_EQ(frames, FrameCount);
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(AcquisitionEndToEndTest, AMalformedFrameStopsAcquisitionSilentlyUntilCloseAndOpen)
{
    Start({"--malformed-every", "5", "--seed", "3"});
    OpenAndSend();
    ASSERT_TRUE(FramesReach(5));
    const std::vector<double> lastGood = [&] {
        std::vector<double> y;
        for (const TCurvePoint& point : form->XYGraph1->Curve(0)->Points)
            y.push_back(point.Y);
        return y;
    }();
    QTest::qWait(300);
    EXPECT_EQ(frames, 5);
    EXPECT_TRUE(errors.Shown().empty());
    EXPECT_TRUE(form->ComPort->Connected());
    EXPECT_EQ(form->Button_Open->text(), QStringLiteral("Close"));
    ASSERT_EQ(form->XYGraph1->Curve(0)->Points.size(), lastGood.size());
    for (size_t i = 0; i < lastGood.size(); ++i)
        ASSERT_EQ(form->XYGraph1->Curve(0)->Points[i].Y, lastGood[i]);

    ClickButton(form->Button_Open);
    EXPECT_EQ(form->Button_Open->text(), QStringLiteral("Open"));
    OpenAndSend();
    EXPECT_TRUE(FramesReach(9));
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(AcquisitionEndToEndTest, TheSimulatorVanishingMidFrameLeavesTheProgramResponsive)
{
    // Paced at 9600 baud a frame takes seconds, so the kill lands inside one.
    Start({"--baud", "9600"});
    OpenAndSend();
    ASSERT_TRUE(WaitUntil([&] { return form->Log().Text().size() > 100; }, 10s));
    simulator->Signal(SIGKILL);
    simulator->WaitForExit();

    bool timerRan = false;
    QTimer::singleShot(50, [&] { timerRan = true; });
    EXPECT_TRUE(WaitUntil([&] { return timerRan; }, 5s));
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(form->XYGraph1->CurveCount(), 0);

    ClickButton(form->Button_Open);
    EXPECT_FALSE(form->ComPort->Connected());
    EXPECT_EQ(form->Button_Open->text(), QStringLiteral("Open"));
    EXPECT_FALSE(form->Button_Send->isEnabled());
}

} // namespace
