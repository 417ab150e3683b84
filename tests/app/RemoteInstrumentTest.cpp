#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "app/MeasurementMenu.h"
#include "app/OperatorMenu.h"
#include "app/RemoteControl.h"
#include "common/Exception.h"
#include "simulator/SensorModel.h"
#include "tools/SimulatorProcess.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The window driven by a remote client over a loopback socket, acquiring
// from the simulator.
class RemoteInstrumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        simulator = std::make_unique<TSimulatorProcess>(std::vector<std::string>{"--name", "COM11", "--seed", "7"});
        ASSERT_FALSE(simulator->StartLine().empty());
        Remote().Start({QHostAddress(QHostAddress::LocalHost), 0});
        client.connectToHost(QHostAddress::LocalHost, Remote().Address().Port);
        ASSERT_TRUE(client.waitForConnected(5000));
    }
    TRemoteControl& Remote() { return form.OperatorMenu().RemoteControl(); }
    QByteArray Ask(const QByteArray& line)
    {
        client.write(line + '\n');
        WaitUntil([&] { return client.canReadLine(); }, 5s);
        return client.readLine().trimmed();
    }
    long long Count() { return Ask("FETC:COUN?").toLongLong(); }
    bool CountReaches(long long count)
    {
        return WaitUntil([&] { return Count() >= count; }, 10s);
    }

    TTemporaryConfigHome configHome;
    TShownErrors errors;
    std::unique_ptr<TSimulatorProcess> simulator;
    TForm1 form;
    QTcpSocket client;
};

// The readings of the simulator's frame `frame` (from 1), seed 7, exposure 100.
QByteArray SimulatorFrame(long long frame)
{
    TSensorModel generator(512, 7);
    std::vector<int> readings;
    for (long long f = 0; f < frame; ++f)
        generator.Generate(100, readings);
    QByteArrayList texts;
    for (const int reading : readings)
        texts << QByteArray::number(reading);
    return texts.join(',');
}

TEST_F(RemoteInstrumentTest, CommandsWorkThroughTheWindowsControlsAndShowThere)
{
    EXPECT_EQ(Ask("PORT?;OPEN?;EXP 100;EXP?;AVER 8;AVER?"), "\"COM11\";0;\"100\";8");
    EXPECT_TRUE(Remote().Action->isChecked());
    EXPECT_EQ(Remote().Action->text(),
              QStringLiteral("Remote Control on 127.0.0.1:%1 (1 connected)").arg(Remote().Address().Port));
    EXPECT_EQ(form.Edit_Data->text(), QStringLiteral("100"));
    EXPECT_EQ(form.OperatorMenu().AverageActions->checkedAction()->text(), QStringLiteral("8 Frames"));
    EXPECT_EQ(Ask("OPEN;OPEN?"), "1");
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Close"));
    EXPECT_TRUE(form.Button_Send->isEnabled());
    EXPECT_EQ(Ask("PORT \"COM12\";SYST:ERR?;FETCH:SPECTRUM?;SYST:ERR?;MODE TRAN;MODE?"),
              "-221,\"Settings conflict;close the port first\";"
              "-230,\"Data corrupt or stale;no frame yet\";TRAN");
    EXPECT_EQ(form.MeasurementMenu().ModeActions->checkedAction()->text(), QStringLiteral("Transmittance"));
    EXPECT_EQ(Ask("MODE DARK;MODE?;MODE SCOPE;MODE?"), "DARK;SCOP");
    EXPECT_EQ(form.MeasurementMenu().ModeActions->checkedAction()->text(), QStringLiteral("Scope"));
    EXPECT_EQ(Ask("AVER 3;SYST:ERR?;*RST;AVER?"), "-222,\"Data out of range;1, 2, 4, 8, 16, 32 or 64 frames\";1");
    EXPECT_EQ(Ask("CLOS;OPEN?;INIT;SYST:ERR?"), "0;-221,\"Settings conflict;the port is closed\"");
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Open"));
    EXPECT_TRUE(errors.Shown().empty());

    // The menu entry stops and starts the server; an address in use is refused.
    Remote().Action->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !Remote().Running(); }, 5s));
    EXPECT_TRUE(WaitUntil([&] { return client.state() == QAbstractSocket::UnconnectedState; }, 5s));
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    EXPECT_THROW(Remote().Start({QHostAddress(QHostAddress::LocalHost), taken.serverPort()}), Exception);
    EXPECT_FALSE(Remote().Action->isChecked());
    Remote().Action->trigger();
    EXPECT_TRUE(WaitUntil([&] { return Remote().Running() && Remote().Action->isChecked(); }, 5s));
}

TEST_F(RemoteInstrumentTest, SingleFramesContinuousAndAbortAndTheFetchedFrameIsTheSimulators)
{
    EXPECT_EQ(Ask("EXP 100;OPEN;INIT;*OPC?"), "1");
    ASSERT_TRUE(CountReaches(1));
    QTest::qWait(200);
    EXPECT_EQ(Count(), 1); // one frame, no more
    EXPECT_EQ(Ask("FETC:RAW?"), SimulatorFrame(1));
    const QByteArray spectrum = Ask("FETCH:SPECTRUM?");
    EXPECT_TRUE(spectrum.startsWith(QByteArray::number(256 - SimulatorFrame(1).split(',')[0].toInt()) + ','));
    EXPECT_EQ(Ask("FETC:WAV?").split(',').size(), 507);

    EXPECT_EQ(Ask("INIT:CONT ON;INIT:CONT?"), "1");
    ASSERT_TRUE(CountReaches(50));
    EXPECT_EQ(Ask("ABOR;INIT:CONT?"), "0");
    QTest::qWait(100);
    const long long stopped = Count();
    QTest::qWait(200);
    EXPECT_EQ(Count(), stopped);
    EXPECT_EQ(Ask("FETC:COUN?;FETC:RAW?"), QByteArray::number(stopped) + ';' + SimulatorFrame(stopped));

    // The operator's own Send Exposure goes back to continuous acquisition.
    ClickButton(form.Button_Send);
    EXPECT_TRUE(CountReaches(stopped + 20));
    EXPECT_EQ(Ask("INIT:CONT?"), "1");
    EXPECT_TRUE(errors.Shown().empty());
}

} // namespace
