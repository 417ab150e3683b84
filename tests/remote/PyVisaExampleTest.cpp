#include "AppTestSupport.h"

#include "simulator/SensorModel.h"
#include "tools/SimulatorProcess.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The PyVISA example, a client nobody here wrote, drives the program on the
// offscreen platform, which acquires from the simulator.
TEST(PyVisaExampleTest, ReadsTheSimulatorsFrameThroughTheProgram)
{
    TTemporaryConfigHome configHome;
    TSimulatorProcess simulator({"--name", "COM11", "--seed", "3"});
    ASSERT_FALSE(simulator.StartLine().empty());

    QProcess program;
    program.start(QStringLiteral(MIRELDA_PROGRAM), {"--remote", "127.0.0.1:0", "--port", "COM11"});
    ASSERT_TRUE(program.waitForStarted());
    const QRegularExpression listening(QStringLiteral("remote control on 127.0.0.1:([0-9]+)"));
    QString port;
    QByteArray programError;
    ASSERT_TRUE(WaitUntil(
        [&] {
            programError += program.readAllStandardError();
            port = listening.match(QString::fromLocal8Bit(programError)).captured(1);
            return !port.isEmpty();
        },
        std::chrono::seconds(10)))
        << programError.toStdString();

    QTemporaryDir directory;
    const QString output = directory.filePath(QStringLiteral("spectrum.csv"));
    QProcess example;
    example.start(QStringLiteral(PYTHON_PROGRAM),
                  {QStringLiteral(EXAMPLE_SCRIPT), "--resource", "TCPIP::127.0.0.1::" + port + "::SOCKET",
                   "--mode", "scope", "--exposure", "100", "--output", output});
    ASSERT_TRUE(example.waitForFinished(60000));
    const QByteArray said = example.readAllStandardOutput() + example.readAllStandardError();
    ASSERT_EQ(example.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.startsWith("Mirelda,Mirelda,0,2.10\n")) << said.toStdString();
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(10000));

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3 + 507);
    const QByteArray frameComment = "# frame: ";
    ASSERT_TRUE(lines[0].startsWith(frameComment));
    const long long frame = lines[0].mid(frameComment.size()).toLongLong();
    ASSERT_GE(frame, 1);
    EXPECT_EQ(lines[2], "x,value,raw reading");

    TSensorModel generator(512, 3);
    std::vector<int> readings;
    for (long long f = 0; f < frame; ++f)
        generator.Generate(100, readings);
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const QByteArray expected = QByteArray::number(6 + int(i)) + ',' + QByteArray::number(256 - readings[i]) + ','
                                    + QByteArray::number(readings[i]);
        ASSERT_EQ(lines[3 + qsizetype(i)], expected) << "pixel " << 6 + i;
    }
}

} // namespace
