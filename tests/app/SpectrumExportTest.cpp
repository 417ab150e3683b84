#include "app/SpectrumExport.h"

#include "common/Exception.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

namespace {

TSpectrumRecord Record()
{
    TSpectrumRecord record;
    record.Time = QDateTime(QDate(2024, 5, 17), QTime(14, 3, 9), Qt::UTC);
    record.Port = "COM11";
    record.BaudRate = "115200";
    record.Exposure = "1\xe4";
    record.Offset = -10;
    record.Gain = 2;
    record.FramesAveraged = 8;
    record.DarkFrame = true;
    record.Points = {{6, 100, 46}, {7, -2147483648, 246}};
    return record;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

std::string WriteError(const std::function<void()>& write)
{
    try {
        write();
    } catch (const Exception& error) {
        return error.what();
    }
    return "written";
}

// Files larger than `bytes` cannot be written while it lives.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int);
};

TEST(SpectrumExportTest, CsvHasTheHeaderTheColumnsAndOnePointPerLine)
{
    EXPECT_EQ(SpectrumCsv(Record()), QByteArray("# time: 2024-05-17T14:03:09Z\n"
                                                "# port: COM11\n"
                                                "# baud rate: 115200\n"
                                                "# exposure: 1\xc3\xa4\n"
                                                "# offset: -10\n"
                                                "# gain: 2\n"
                                                "# frames averaged: 8\n"
                                                "# dark frame: subtracted\n"
                                                "pixel,raw reading,plotted value\n"
                                                "6,100,46\n"
                                                "7,-2147483648,246\n"));
    TSpectrumRecord plain = Record();
    plain.DarkFrame = false;
    plain.Time = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::OffsetFromUTC, 3600);
    const QByteArray csv = SpectrumCsv(plain);
    EXPECT_TRUE(csv.startsWith("# time: 2024-01-02T03:04:05+01:00\n"));
    EXPECT_TRUE(csv.contains("\n# dark frame: none\n"));
}

TEST(SpectrumExportTest, FilesAreReplacedWholeOrNotAtAllAndFailuresNameTheFileAndTheReason)
{
    QTemporaryDir directory;
    const QString csvPath = directory.filePath(QStringLiteral("spectrum.csv"));
    const QString pngPath = directory.filePath(QStringLiteral("spectrum.png"));
    QImage picture(31, 17, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setPixel(3, 4, qRgb(0, 255, 0));

    SaveSpectrumCsv(csvPath, Record());
    EXPECT_EQ(Contents(csvPath), SpectrumCsv(Record()));
    SavePicturePng(pngPath, picture);
    const QImage loaded(pngPath, "PNG");
    EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32), picture);

    // A write cut short leaves the earlier files as they were, and no
    // temporary file behind.
    {
        TFileSizeLimit limit(64);
        TSpectrumRecord longer = Record();
        longer.Points.resize(500, {8, 1, 255});
        EXPECT_EQ(WriteError([&] { SaveSpectrumCsv(csvPath, longer); }),
                  "Cannot write \"" + csvPath.toStdString() + "\": File too large");
        QImage noise(200, 200, QImage::Format_RGB32);
        for (int i = 0; i < 200 * 200; ++i)
            noise.setPixel(i % 200, i / 200, qRgb(i * 7 % 256, i * 13 % 256, i % 256));
        EXPECT_NE(WriteError([&] { SavePicturePng(pngPath, noise); }), "written");
    }
    EXPECT_EQ(Contents(csvPath), SpectrumCsv(Record()));
    EXPECT_EQ(QImage(pngPath, "PNG").convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"spectrum.csv", "spectrum.png"}));

    const QString missing = directory.filePath(QStringLiteral("no/such/dir/s.csv"));
    EXPECT_EQ(WriteError([&] { SaveSpectrumCsv(missing, Record()); }),
              "Cannot write \"" + missing.toStdString() + "\": No such file or directory");
    EXPECT_EQ(WriteError([&] { SavePicturePng(directory.path(), picture); }).rfind("Cannot write \"", 0), 0u);
}

} // namespace
