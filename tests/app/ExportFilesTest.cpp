#include "app/ExportFiles.h"

#include "common/Exception.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TSpectrumRecord Record()
{
    return {QDateTime(QDate(2024, 5, 17), QTime(14, 3, 9), Qt::UTC), "COM11", "115200", "1\xe4", -10, 2, 8, true,
            {{6, 100, 46}, {7, -2147483648, 246}}};
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

TEST(ExportFilesTest, CsvHasTheHeaderTheColumnsAndOnePointPerLine)
{
    EXPECT_EQ(SpectrumCsv(Record()), QByteArray("# time: 2024-05-17T14:03:09Z\n# port: COM11\n# baud rate: 115200\n"
                                                "# exposure: 1\xc3\xa4\n# offset: -10\n# gain: 2\n"
                                                "# frames averaged: 8\n# dark frame: subtracted\n"
                                                "pixel,raw reading,plotted value\n6,100,46\n7,-2147483648,246\n"));
    TSpectrumRecord local = Record();
    local.Time = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::OffsetFromUTC, 3600);
    EXPECT_TRUE(SpectrumCsv(local).startsWith("# time: 2024-01-02T03:04:05+01:00\n"));
}

TEST(ExportFilesTest, FilesAreReplacedWholeOrNotAtAllAndFailuresNameTheFileAndTheReason)
{
    QTemporaryDir directory;
    const QString csv = directory.filePath(QStringLiteral("s.csv"));
    const QString png = directory.filePath(QStringLiteral("s.png"));
    QImage picture(31, 17, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setPixel(3, 4, qRgb(0, 255, 0));
    SaveSpectrumCsv(csv, Record());
    SavePicturePng(png, picture);
    EXPECT_EQ(Contents(csv), SpectrumCsv(Record()));
    EXPECT_EQ(QImage(png, "PNG").convertToFormat(QImage::Format_RGB32), picture);

    // A write the system cuts short (here at 64 bytes) leaves the earlier
    // file as it was, and no temporary file behind.
    TSpectrumRecord longer = Record();
    longer.Points.resize(500, {8, 1, 255});
    const std::string cutShort = [&] {
        const TFileSizeLimit limit(64);
        return WriteError([&] { SaveSpectrumCsv(csv, longer); });
    }();
    EXPECT_EQ(cutShort, "Cannot write \"" + csv.toStdString() + "\": File too large");
    EXPECT_EQ(Contents(csv), SpectrumCsv(Record()));
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"s.csv", "s.png"}));

    const QString missing = directory.filePath(QStringLiteral("no/such/s.csv"));
    EXPECT_EQ(WriteError([&] { SaveSpectrumCsv(missing, Record()); }),
              "Cannot write \"" + missing.toStdString() + "\": No such file or directory");
    EXPECT_EQ(WriteError([&] { SavePicturePng(directory.path(), picture); }).rfind("Cannot write \"", 0), 0u);
}

} // namespace
