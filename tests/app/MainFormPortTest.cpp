#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "app/AcquisitionMonitor.h"
#include "app/CommandLine.h"
#include "app/OperatorMenu.h"
#include "app/StartOptions.h"
#include "app/ReceiveLog.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "support/PtyPair.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::chrono_literals;

namespace {

// The window with COM11 mapped to a pseudo-terminal whose other side the
// test reads and writes.
class MainFormPortTest : public ::testing::Test {
protected:
    void SetUp() override { PortMap::Register("COM11", line.SlavePath()); }

    void Open()
    {
        ClickButton(form.Button_Open);
        ASSERT_TRUE(form.ComPort->Connected());
    }
    // Bytes the device side received, waiting up to `limit` for `count`.
    std::string Sent(size_t count, std::chrono::milliseconds limit = 2s) { return line.Receive(count, limit); }
    void Answer(const std::string& bytes) { line.Send(bytes); }

    TTemporaryConfigHome configHome;
    TShownErrors errors;
    TPtyPair line;
    TForm1 form;
};

// Five header lines, then the given readings, CR LF line ends, then 'e'.
std::string Frame(const std::vector<std::string>& readings)
{
    std::string frame = "H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n";
    for (const std::string& reading : readings)
        frame += reading + "\r\n";
    return frame + "e";
}

TEST_F(MainFormPortTest, OpenAndCloseSwitchButtonsAndCaptions)
{
    Open();
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Close"));
    EXPECT_TRUE(form.Button_Send->isEnabled());
    EXPECT_FALSE(form.Button_Settings->isEnabled());

    ClickButton(form.Button_Open);
    EXPECT_FALSE(form.ComPort->Connected());
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Open"));
    EXPECT_FALSE(form.Button_Send->isEnabled());
    EXPECT_TRUE(form.Button_Settings->isEnabled());
    EXPECT_TRUE(form.Bt_Store->isEnabled());
    EXPECT_TRUE(form.Bt_Load->isEnabled());
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(MainFormPortTest, SendWritesTheExposureWithOrWithoutLineEndAndEmptiesTheLog)
{
    Open();
    form.Edit_Data->setText(QStringLiteral("100"));
    form.Log().Append(QByteArray("old"));
    ClickButton(form.Button_Send);
    EXPECT_TRUE(form.Log().Text().isEmpty());
    EXPECT_EQ(Sent(5), "100\r\n");

    form.NewLine_CB->setChecked(false);
    form.Edit_Data->setText(QString(QChar(0xe4)) + QStringLiteral("7"));
    ClickButton(form.Button_Send);
    EXPECT_EQ(Sent(2), "\xe4" "7");

    // Enter in the exposure field sends too: "Send Exposure" is the default.
    form.NewLine_CB->setChecked(true);
    form.Edit_Data->setText(QStringLiteral("8"));
    QTest::keyClick(form.Edit_Data, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Sent(3), "8\r\n");

    form.NewLine_CB->setChecked(false);
    form.Edit_Data->clear();
    form.Log().Append(QByteArray("old"));
    ClickButton(form.Button_Send);
    EXPECT_TRUE(form.Log().Text().isEmpty());
    EXPECT_EQ(Sent(1, 200ms), "");
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(MainFormPortTest, ReceivedBytesReachTheLogUnchangedAndAFramePlotsAndAsksForTheNext)
{
    Open();
    form.Edit_Data->setText(QStringLiteral("42"));
    Answer("H1\r\nH2\n\rH3\r\n");
    ASSERT_TRUE(WaitUntil([&] { return form.Log().Text().size() == 12; }, 5s));
    EXPECT_EQ(form.Log().Text(), QByteArray("H1\r\nH2\n\rH3\r\n"));
    Answer("H4\r\nH5\r\n100\r\n101\r\n77e");
    ASSERT_TRUE(WaitUntil([&] { return form.XYGraph1->CurveCount() == 1; }, 5s));

    // The frame asks for the next one, and the log was emptied for it.
    EXPECT_EQ(Sent(4), "42\r\n");
    EXPECT_TRUE(form.Log().Text().isEmpty());
    const TCurve* curve = form.XYGraph1->Curve(0);
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->Name, "Sinus");
    EXPECT_EQ(curve->Color, TColor(65280));
    ASSERT_EQ(curve->Points.size(), 507u);
    EXPECT_EQ(curve->Points.front().X, 6.0);
    EXPECT_EQ(curve->Points.back().X, 512.0);
    const std::vector<double> y = CurveY(*form.XYGraph1);
    EXPECT_EQ(y[0], 156.0);
    EXPECT_EQ(y[1], 155.0);
    EXPECT_EQ(y[2], 256.0); // 77 before the 'e' closes no field
    EXPECT_EQ(form.Decoder().FieldText(2), QByteArray("H2"));
}

TEST_F(MainFormPortTest, DecodingScalesByOffsetAndGainAndSendsEvenWhileSendIsDisabled)
{
    Open();
    form.Edit_Data->setText(QStringLiteral("5"));
    form.Edit1->setText(QStringLiteral("10"));
    form.Edit2->setText(QStringLiteral("2x"));
    form.Button_Send->setEnabled(false);
    form.Log().Append(QByteArray::fromStdString(Frame({"100", "0", "300"})));
    form.ComPortRxFlag(form.ComPort.get());
    EXPECT_EQ(Sent(3), "5\r\n");
    std::vector<double> y = CurveY(*form.XYGraph1);
    ASSERT_EQ(y.size(), 507u);
    EXPECT_EQ(y[0], 46.0);
    EXPECT_EQ(y[1], 246.0);
    EXPECT_EQ(y[2], -354.0);

    // A gain that is no number gives 0; the next frame replaces the curve.
    form.Edit1->setText(QStringLiteral("0"));
    form.Edit2->setText(QStringLiteral("abc"));
    form.Log().Append(QByteArray::fromStdString(Frame({"100"})));
    form.ComPortRxFlag(form.ComPort.get());
    EXPECT_EQ(form.XYGraph1->CurveCount(), 1);
    y = CurveY(*form.XYGraph1);
    EXPECT_EQ(y[0], 256.0);
    EXPECT_EQ(y[2], 256.0);
}

TEST_F(MainFormPortTest, ABadReadingKeepsTheCurveAndSendsNothing)
{
    Open();
    form.Edit_Data->setText(QStringLiteral("5"));
    form.Log().Append(QByteArray::fromStdString(Frame({"100"})));
    form.ComPortRxFlag(form.ComPort.get());
    ASSERT_EQ(Sent(3), "5\r\n");

    form.Log().Append(QByteArray::fromStdString(Frame({"99", "12 "})));
    EXPECT_THROW(form.ComPortRxFlag(form.ComPort.get()), EConvertError);
    EXPECT_EQ(CurveY(*form.XYGraph1)[0], 156.0);
    EXPECT_EQ(form.Decoder().FieldValue(6), 99);
    EXPECT_EQ(Sent(1, 200ms), "");
}

TEST_F(MainFormPortTest, ALogWithoutItsEndStillPlotsAndCarriesOn)
{
    Open();
    form.Edit_Data->setText(QStringLiteral("5"));
    form.ComPortRxFlag(form.ComPort.get());
    EXPECT_EQ(form.XYGraph1->CurveCount(), 1);
    EXPECT_EQ(Sent(3), "5\r\n");
}

TEST_F(MainFormPortTest, AFrameCutByARequestIsDroppedAndTheCycleStaysSingle)
{
    const auto status = [&] { return form.OperatorMenu().Monitor().Lines(); };
    const auto says = [&](const std::string& line) {
        return WaitUntil([&] { return std::ranges::count(status(), line) == 1; }, 5s);
    };
    Open();
    form.Edit_Data->setText(QStringLiteral("5"));
    ClickButton(form.Button_Send);
    ASSERT_EQ(Sent(3), "5\r\n");

    // Return in the exposure field while the header is in: the rest of that
    // frame would decode shifted by five fields.
    const std::string cut = Frame({"100", "101"});
    Answer(cut.substr(0, 20));
    ASSERT_TRUE(WaitUntil([&] { return form.Log().Text().size() == 20; }, 5s));
    QTest::keyClick(form.Edit_Data, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(Sent(3), "5\r\n");
    Answer(cut.substr(20));
    ASSERT_TRUE(says("Cut frames dropped: 1"));
    EXPECT_EQ(form.XYGraph1->CurveCount(), 0);
    EXPECT_EQ(Sent(1, 300ms), "") << "the operator's request is still owed its frame";

    // A device that streams: the next frame's start comes with this 'e'.
    const std::string next = Frame({"20"});
    Answer(Frame({"10"}) + "\r\n" + next.substr(0, 12));
    ASSERT_TRUE(WaitUntil([&] { return form.XYGraph1->CurveCount() == 1; }, 5s));
    EXPECT_EQ(CurveY(*form.XYGraph1)[0], 246.0);
    EXPECT_EQ(Sent(3), "5\r\n");
    EXPECT_EQ(form.Log().Text(), QByteArray::fromStdString(next.substr(0, 12)));
    Answer(next.substr(12));
    ASSERT_TRUE(WaitUntil([&] { return CurveY(*form.XYGraph1)[0] == 236.0; }, 5s));
    EXPECT_EQ(Sent(3), "5\r\n");
    EXPECT_EQ(Sent(1, 300ms), "");

    // Lines that end in LF alone close no field: the curve cannot show it.
    EXPECT_FALSE(form.OperatorMenu().Monitor().ReadOutShown());
    Answer("H1\nH2\nH3\nH4\nH5\n1\n2\ne");
    ASSERT_TRUE(says("No reading in the last frame: lines end in LF only?"));
    EXPECT_TRUE(form.OperatorMenu().Monitor().ReadOutShown());
    Answer(Frame({"1"}));
    ASSERT_TRUE(WaitUntil([&] { return std::ranges::count(status(), "No reading in the last frame: lines end in LF only?") == 0; }, 5s));
    EXPECT_EQ(std::ranges::count(status(), "Cut frames dropped: 1"), 1);
}

TEST_F(MainFormPortTest, ResetAxisRestoresTheViewAndKeepsTheCurve)
{
    Open();
    form.Log().Append(QByteArray::fromStdString(Frame({"100"})));
    form.ComPortRxFlag(form.ComPort.get());
    TXYGraph& graph = *form.XYGraph1;
    graph.XAxis().MoveRange(100, 300);
    graph.YAxis().MoveRange(50, 100);
    ASSERT_NE(graph.XAxis().Max(), 512.0);

    ClickButton(form.Button2);
    EXPECT_EQ(graph.XAxis().Min(), 0.0);
    EXPECT_EQ(graph.XAxis().Max(), 512.0);
    EXPECT_EQ(graph.YAxis().Min(), 0.0);
    EXPECT_EQ(graph.YAxis().Max(), 256.0);
    EXPECT_EQ(CurveY(graph)[0], 156.0);

    // Clear empties the log and leaves the graph alone.
    form.Log().Append(QByteArray("1\r\n"));
    ClickButton(form.Button1);
    EXPECT_TRUE(form.Log().Text().isEmpty());
    EXPECT_EQ(graph.CurveCount(), 1);
}

TEST_F(MainFormPortTest, StartOptionsSetPortRateAndExposureAndOpenAndSendOnceRunning)
{
    TStartOptions options{line.SlavePath(), brCustom, 250000, "100", false};
    ApplyStartOptions(form, options);
    EXPECT_EQ(form.ComPort->Port(), line.SlavePath());
    EXPECT_EQ(form.ComPort->BaudRate(), brCustom);
    EXPECT_EQ(form.ComPort->CustomBaudRate(), 250000);
    EXPECT_EQ(form.Edit_Data->text(), QStringLiteral("100"));

    ApplyStartOptions(form, {{}, {}, 0, {}, true});
    EXPECT_FALSE(form.ComPort->Connected()); // not before the event loop runs
    ASSERT_TRUE(WaitUntil([&] { return form.ComPort->Connected(); }, 2s));
    EXPECT_EQ(Sent(5), "100\r\n");
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Close"));
    EXPECT_TRUE(form.Button_Send->isEnabled());
    EXPECT_FALSE(form.Button_Settings->isEnabled());

    // A start whose open fails is reported like the operator's, and sends nothing.
    ClickButton(form.Button_Open);
    ApplyStartOptions(form, {"/nonexistent/tty", {}, 0, {}, true});
    ASSERT_TRUE(WaitUntil([&] { return !errors.Shown().empty(); }, 2s));
    EXPECT_EQ(errors.Shown()[0].second, QStringLiteral("Unable to open com port (Error: 2)"));
    EXPECT_FALSE(form.ComPort->Connected());
    EXPECT_FALSE(form.Button_Send->isEnabled());
}

TEST(MainFormFailedOpen, ShowsThePortErrorAndLeavesTheClosedState)
{
    TTemporaryConfigHome configHome; // no COM11 in the map
    TShownErrors errors;
    TForm1 form;
    ClickButton(form.Button_Open);
    EXPECT_FALSE(form.ComPort->Connected());
    ASSERT_EQ(errors.Shown().size(), 1u);
    EXPECT_EQ(errors.Shown()[0].first, QStringLiteral("Mirelda ver. 2.10 example"));
    EXPECT_EQ(errors.Shown()[0].second, QStringLiteral("Unable to open com port (Error: 2)"));
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Open Com"));
    EXPECT_FALSE(form.Button_Send->isEnabled());
    EXPECT_TRUE(form.Button_Settings->isEnabled());
}

} // namespace
