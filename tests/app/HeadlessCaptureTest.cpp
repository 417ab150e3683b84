#include "AppTestSupport.h"

#include "app/FrameDecoder.h"
#include "serial/posix/PortMap.h"
#include "spectrum/JcampDx.h"
#include "simulator/SensorModel.h"
#include "tools/SimulatorProcess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// The program run for unattended capture from the simulator, as a script
// would run it.
class HeadlessCaptureTest : public ::testing::Test {
protected:
    void StartSimulator(std::vector<std::string> options)
    {
        options.insert(options.end(), {"--name", "COM11", "--seed", "7"});
        simulator = std::make_unique<TSimulatorProcess>(options);
        ASSERT_FALSE(simulator->StartLine().empty());
    }
    void StartCapture(const QStringList& options, const QString& name = QStringLiteral("frames.csv"))
    {
        program.setProgram(QStringLiteral(MIRELDA_PROGRAM));
        program.setArguments(QStringList{"--headless", "--port", "COM11", "--exposure", "100", "--output", Output(name)}
                             + options);
        program.start();
        ASSERT_TRUE(program.waitForStarted());
    }
    // The exit status, and standard error as lines.
    std::pair<int, QStringList> Finish()
    {
        EXPECT_TRUE(program.waitForFinished(30000));
        const QString error = QString::fromLocal8Bit(program.readAllStandardError());
        return {program.exitCode(), error.split(u'\n', Qt::SkipEmptyParts)};
    }
    QString Output(const QString& name = QStringLiteral("frames.csv")) const { return directory.filePath(name); }
    QByteArray OutputText(const QString& name = QStringLiteral("frames.csv")) const
    {
        QFile file(Output(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    QList<QByteArray> OutputLines() const { return OutputText().split('\n'); }

    TTemporaryConfigHome configHome;
    QTemporaryDir directory;
    std::unique_ptr<TSimulatorProcess> simulator;
    QProcess program;
};

// Frame f's CSV line as the simulator generates it from seed 7 at exposure 100.
std::vector<QByteArray> ExpectedLines(int frames)
{
    TSensorModel generator(TFrameDecoder::LastPlottedField, 7);
    std::vector<int> readings;
    std::vector<QByteArray> lines;
    for (int frame = 1; frame <= frames; ++frame) {
        generator.Generate(100, readings);
        QByteArray line = QByteArray::number(frame);
        for (const int reading : readings)
            line += ',' + QByteArray::number(reading);
        lines.push_back(line);
    }
    return lines;
}

TEST_F(HeadlessCaptureTest, WritesExactlyTheFramesTheSimulatorSentAndTheirMean)
{
    StartSimulator({});
    StartCapture({"--frames", "100"});
    const auto [status, error] = Finish();
    EXPECT_EQ(status, 0) << error.join(u'\n').toStdString();
    EXPECT_EQ(error.last(), QStringLiteral("mirelda: wrote 100 of 100 frames to ") + Output());
    const QList<QByteArray> lines = OutputLines();
    ASSERT_EQ(lines.size(), 4 + 100 + 1); // comments, columns, frames, the end's empty piece
    EXPECT_EQ(lines[0], "# port: COM11");
    EXPECT_EQ(lines[2], "# frames: 100");
    EXPECT_TRUE(lines[3].startsWith("frame,6,7,8,") && lines[3].endsWith(",511,512"));
    const std::vector<QByteArray> expected = ExpectedLines(100);
    for (int f = 0; f < 100; ++f)
        ASSERT_EQ(lines[4 + f], expected[std::size_t(f)]) << "frame " << f + 1;

    // The next 4 frames of the same simulator, averaged.
    StartCapture({"--frames", "4", "--average"});
    EXPECT_EQ(Finish().first, 0);
    const std::vector<QByteArray> next = ExpectedLines(104);
    const QList<QByteArray> mean = OutputLines()[4].split(',');
    double sum = 0;
    for (int f = 100; f < 104; ++f)
        sum += next[std::size_t(f)].split(',')[1].toDouble();
    EXPECT_EQ(mean[0], "mean");
    EXPECT_DOUBLE_EQ(mean[1].toDouble(), sum / 4);

    // JCAMP-DX: the next 3 frames, one block each, then the mean of 2.
    StartCapture({"--frames", "3"}, QStringLiteral("frames.jdx"));
    EXPECT_EQ(Finish().first, 0);
    const std::string link = OutputText(QStringLiteral("frames.jdx")).toStdString();
    EXPECT_TRUE(link.starts_with("##TITLE=Mirelda: 3 frames\n##JCAMP-DX=4.24\n##DATA TYPE=LINK\n##BLOCKS=3\n"));
    const std::vector<QByteArray> following = ExpectedLines(107);
    std::size_t blockStart = link.find("##TITLE=", 1);
    for (int block = 1; block <= 3; ++block) {
        const std::size_t blockEnd = link.find("##END=", blockStart) + 7;
        const std::string text = link.substr(blockStart, blockEnd - blockStart);
        EXPECT_NE(text.find("##BLOCK_ID=" + std::to_string(block) + '\n'), std::string::npos);
        const TJcampSpectrum spectrum = ParseJcampDx(text);
        ASSERT_EQ(spectrum.X.size(), 507u);
        EXPECT_EQ(spectrum.X.front(), 6);
        const QList<QByteArray> readings = following[std::size_t(103 + block)].split(',');
        for (std::size_t i = 0; i < spectrum.Y.size(); ++i)
            ASSERT_EQ(spectrum.Y[i], readings[qsizetype(i) + 1].toDouble()) << "block " << block << " point " << i;
        blockStart = blockEnd;
    }
    EXPECT_EQ(link.substr(blockStart), "##END=\n");
    StartCapture({"--frames", "2", "--average"}, QStringLiteral("mean.jdx"));
    EXPECT_EQ(Finish().first, 0);
    const TJcampSpectrum averaged = ParseJcampDx(OutputText(QStringLiteral("mean.jdx")).toStdString());
    EXPECT_EQ(averaged.Y.size(), 507u);
    EXPECT_EQ(averaged.Title, "Mirelda: mean of 2 frames");
}

TEST_F(HeadlessCaptureTest, StopsWithStatusOneAndTheReasonWhenAcquisitionStops)
{
    struct TCase {
        std::vector<std::string> simulatorOptions;
        bool kill;
        const char* reason;
    };
    const TCase cases[] = {
        // Paced at 9600 baud a frame takes seconds, so the kill lands inside a run.
        {{"--baud", "9600"}, true, "mirelda: acquisition stopped: COM11 is gone (Input/output error)"},
        {{"--malformed-every", "3"}, false, "mirelda: acquisition stopped: '"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.reason);
        StartSimulator(c.simulatorOptions);
        StartCapture({"--frames", "1000"});
        if (c.kill) {
            QThread::msleep(1500);
            simulator->Signal(SIGKILL);
        }
        const auto [status, error] = Finish();
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(error.join(u'\n').contains(QLatin1String(c.reason))) << error.join(u'\n').toStdString();
        simulator.reset();
    }
    // Nothing to open: the port's own message, and no file. The killed
    // simulator left its name behind, and its terminal's number may already
    // belong to another program's simulator.
    PortMap::Unregister("COM11");
    QFile::remove(Output());
    StartCapture({"--frames", "1"});
    const auto [status, error] = Finish();
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(error.first().startsWith(QStringLiteral("mirelda: Unable to open com port"))) << error.first().toStdString();
    EXPECT_FALSE(QFile::exists(Output()));
}

} // namespace
