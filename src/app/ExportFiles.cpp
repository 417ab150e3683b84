#include "app/ExportFiles.h"

#include "common/Exception.h"
#include "common/WholeFile.h"

#include <QBuffer>
#include <QImage>

namespace {

QByteArray Utf8(const std::string& eightBit)
{
    return QString::fromLatin1(eightBit).toUtf8();
}

[[noreturn]] void RaiseWriteError(const QString& path, const QString& reason)
{
    // Messages are 8-bit text; a character without an 8-bit code shows as "?".
    throw Exception(QStringLiteral("Cannot write \"%1\": %2").arg(path, reason).toLatin1().toStdString());
}

} // namespace

void WriteWholeFile(const QString& path, const QByteArray& data)
{
    if (const QString reason = ReplaceWholeFile(path, data); !reason.isEmpty())
        RaiseWriteError(path, reason);
}

QByteArray SpectrumCsv(const TSpectrumRecord& record)
{
    QByteArray csv;
    const auto comment = [&csv](const char* name, const QByteArray& value) {
        csv += "# " + QByteArray(name) + ": " + value + '\n';
    };
    comment("time", record.Time.toOffsetFromUtc(record.Time.offsetFromUtc()).toString(Qt::ISODate).toUtf8());
    comment("port", Utf8(record.Port));
    comment("baud rate", Utf8(record.BaudRate));
    comment("exposure", Utf8(record.Exposure));
    comment("offset", QByteArray::number(record.Offset));
    comment("gain", QByteArray::number(record.Gain));
    comment("frames averaged", QByteArray::number(record.FramesAveraged));
    comment("dark frame", record.DarkFrame ? "subtracted" : "none");
    csv += "pixel,raw reading,plotted value\n";
    for (const TSpectrumRecord::TPoint& point : record.Points)
        csv += QByteArray::number(point.Pixel) + ',' + QByteArray::number(point.Reading) + ','
               + QByteArray::number(point.Plotted) + '\n';
    return csv;
}

void SaveSpectrumCsv(const QString& path, const TSpectrumRecord& record)
{
    WriteWholeFile(path, SpectrumCsv(record));
}

void SavePicturePng(const QString& path, const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        RaiseWriteError(path, QStringLiteral("the picture cannot be encoded as PNG"));
    WriteWholeFile(path, png);
}
