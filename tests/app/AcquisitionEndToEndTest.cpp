#include "AppTestSupport.h"

#include "app/AcquisitionMonitor.h"
#include "app/ComMainForm.h"
#include "app/OperatorMenu.h"
#include "app/ReceiveLog.h"
#include "app/Reconnect.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "simulator/SensorModel.h"
#include "tools/SimulatorProcess.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace std::chrono_literals;

namespace {

// The program's window acquiring from the simulator process over a
// pseudo-terminal registered as COM11 in a private port map.
class AcquisitionEndToEndTest : public ::testing::Test {
protected:
    // Starts the simulator and the window, and counts the frames the window
    // is handed (a frame that fails to decode counts too).
    void Start(const std::vector<std::string>& options)
    {
        StartSimulator(options);
        form = std::make_unique<TForm1>();
        form->Edit_Data->setText(QStringLiteral("100"));
        const TCustomComPort::TNotifyEvent decode = form->ComPort->OnRxFlag;
        form->ComPort->OnRxFlag = [this, decode](TCustomComPort* sender) {
            ++frames;
            decode(sender);
        };
    }

    void StartSimulator(std::vector<std::string> options)
    {
        options.insert(options.end(), {"--name", "COM11"});
        simulator = std::make_unique<TSimulatorProcess>(options);
        ASSERT_FALSE(simulator->StartLine().empty());
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
    TAcquisitionMonitor& Monitor() { return form->OperatorMenu().Monitor(); }
    // The match of the read-out's last line, once the whole line matches.
    QRegularExpressionMatch StatusEnds(const char* pattern)
    {
        const QRegularExpression expected(QRegularExpression::anchoredPattern(QLatin1String(pattern)));
        QRegularExpressionMatch match;
        WaitUntil([&] { return (match = expected.match(QString::fromStdString(Monitor().Lines().back()))).hasMatch(); },
                  5s);
        return match;
    }

    TTemporaryConfigHome configHome;
    TShownErrors errors;
    std::unique_ptr<TSimulatorProcess> simulator;
    std::unique_ptr<TForm1> form;
    int frames = 0;
};

// The y values the curve shows for the last of `frames` spectra that the
// simulator generates from `seed` at exposure 100, with offset 0 and gain 1.
std::vector<double> ExpectedCurveY(int frames, uint32_t seed)
{
    TSensorModel generator(TFrameDecoder::LastPlottedField, seed);
    std::vector<int> readings;
    for (int frame = 0; frame < frames; ++frame)
        generator.Generate(100, readings);
    std::vector<double> y;
    for (int reading : readings)
        y.push_back(256.0 - reading);
    return y;
}

TEST_F(AcquisitionEndToEndTest, AcquiresContinuouslyAndPlotsWhatTheSimulatorSent)
{
    constexpr int FrameCount = 1000;
    constexpr uint32_t Seed = 7;
    Start({"--frames", std::to_string(FrameCount), "--seed", std::to_string(Seed), "--chunks", "1-700"});
    OpenAndSend();
    ASSERT_TRUE(FramesReach(FrameCount));
    simulator->WaitForExit();
    EXPECT_NE(simulator->RemainingOutput().find("frames " + std::to_string(FrameCount)), std::string::npos);

    // The same seed gives the same spectra: the curve is the last one sent.
    EXPECT_EQ(CurveY(*form->XYGraph1), ExpectedCurveY(FrameCount, Seed));
    const TCurve* curve = form->XYGraph1->Curve(0);
    ASSERT_NE(curve, nullptr);
    for (size_t i = 0; i < curve->Points.size(); ++i)
        ASSERT_EQ(curve->Points[i].X, double(TFrameDecoder::FirstPlottedField + int(i)));
    EXPECT_EQ(form->XYGraph1->CurveCount(), 1);
    EXPECT_EQ(frames, FrameCount);
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(AcquisitionEndToEndTest, LineEndsLfCrDecodeAsCrLfAndLfAloneClosesNoField)
{
    Start({"--frames", "20", "--seed", "5", "--line-end", "lfcr"});
    OpenAndSend();
    ASSERT_TRUE(FramesReach(20));
    EXPECT_EQ(CurveY(*form->XYGraph1), ExpectedCurveY(20, 5));
    simulator->WaitForExit();

    // LF-only frames store nothing: the curve keeps the earlier readings,
    // and acquisition carries on regardless.
    StartSimulator({"--frames", "20", "--seed", "6", "--line-end", "lf"});
    ClickButton(form->Button_Open);
    ASSERT_EQ(form->Button_Open->text(), QStringLiteral("Open"));
    OpenAndSend();
    ASSERT_TRUE(FramesReach(40));
    EXPECT_EQ(CurveY(*form->XYGraph1), ExpectedCurveY(20, 5));
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(AcquisitionEndToEndTest, AMalformedFrameStopsAcquisitionSilentlyUntilCloseAndOpen)
{
    Start({"--malformed-every", "5", "--seed", "3"});
    OpenAndSend();
    ASSERT_TRUE(FramesReach(5));
    const std::vector<double> lastGood = CurveY(*form->XYGraph1);
    QTest::qWait(300);
    EXPECT_EQ(frames, 5);
    EXPECT_TRUE(errors.Shown().empty());
    EXPECT_TRUE(form->ComPort->Connected());
    EXPECT_EQ(form->Button_Open->text(), QStringLiteral("Close"));
    EXPECT_EQ(CurveY(*form->XYGraph1), lastGood);

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

TEST_F(AcquisitionEndToEndTest, ClosingTheWindowWhileFramesArriveRunsTheLastDeliveryOnAWholeWindow)
{
    for (int round = 0; round < 3; ++round) {
        frames = 0;
        Start({});
        OpenAndSend();
        ASSERT_TRUE(FramesReach(5));
        // The answer to the last exposure arrives while nothing is handled:
        // its delivery waits, and runs inside the close.
        std::this_thread::sleep_for(50ms);
        form.reset();
        simulator.reset();
    }
}

TEST_F(AcquisitionEndToEndTest, TheStatusSaysWhyAcquisitionStopped)
{
    struct TCase {
        std::vector<std::string> options;
        int signal; // sent to the simulator after the first frames; 0: none
        const char* reason;
        bool shownByItself;
    };
    const TCase cases[] = {
        {{"--malformed-every", "4"}, 0, "Stopped: '([0-9]+\\?)' on line ([0-9]+) is not a valid integer value", false},
        {{}, SIGKILL, "Stopped: COM11 is gone \\(Input/output error\\)", true},
        {{}, SIGSTOP, "Stopped: no answer to the last exposure for 1 s", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.reason);
        frames = 0;
        Start(c.options);
        Monitor().Status().SetNoAnswerLimit(1s);
        OpenAndSend();
        ASSERT_TRUE(FramesReach(3));
        if (c.signal)
            simulator->Signal(c.signal);
        const QRegularExpressionMatch match = StatusEnds(c.reason);
        ASSERT_TRUE(match.hasMatch()) << Monitor().Lines().back();
        // The refused text is the one the decoder holds for that line.
        if (match.lastCapturedIndex() == 2) {
            EXPECT_EQ(form->Decoder().FieldText(match.captured(2).toInt()), match.captured(1).toLatin1());
        }
        EXPECT_EQ(Monitor().ReadOutShown(), c.shownByItself);
        EXPECT_EQ(form->XYGraph1->HintPanel().Lines().empty(), !c.shownByItself);
        EXPECT_EQ(Monitor().Lines()[0], "Frames: " + std::to_string(c.signal ? frames : 3));
        EXPECT_TRUE(form->ComPort->Connected());
        EXPECT_TRUE(errors.Shown().empty());
        simulator->Signal(SIGCONT);
        simulator.reset();
    }
}

TEST_F(AcquisitionEndToEndTest, ReconnectsWhenTheDeviceReturnsUnderTheSameName)
{
    // Turned on once the device has vanished, it starts waiting at once.
    Start({});
    OpenAndSend();
    ASSERT_TRUE(FramesReach(3));
    simulator->Signal(SIGKILL);
    simulator->WaitForExit();
    ASSERT_TRUE(WaitUntil([&] { return Monitor().DeviceGone(); }, 5s));
    form->OperatorMenu().ReconnectAction->trigger();
    ASSERT_TRUE(WaitUntil([&] { return form->OperatorMenu().Reconnect().Waiting(); }, 5s));
    EXPECT_FALSE(form->ComPort->Connected());
    EXPECT_EQ(form->Button_Open->text(), QStringLiteral("Open"));
    EXPECT_EQ(Monitor().Lines().back(), "Reconnecting when COM11 returns");

    const int before = frames;
    StartSimulator({});
    ASSERT_TRUE(FramesReach(before + 3, 10s));
    // Left on, it waits by itself the next time.
    simulator->Signal(SIGKILL);
    simulator->WaitForExit();
    ASSERT_TRUE(WaitUntil([&] { return form->OperatorMenu().Reconnect().Waiting(); }, 5s));
    StartSimulator({});
    ASSERT_TRUE(FramesReach(before + 6, 10s));
    EXPECT_FALSE(form->OperatorMenu().Reconnect().Waiting());
    EXPECT_EQ(form->Button_Open->text(), QStringLiteral("Close"));
    EXPECT_TRUE(form->Button_Send->isEnabled());
    EXPECT_FALSE(Monitor().Status().Stopped(TAcquisitionStatus::TClock::now()));
    EXPECT_TRUE(errors.Shown().empty());
}

} // namespace
