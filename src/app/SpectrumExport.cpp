#include "app/SpectrumExport.h"

#include "common/Exception.h"

#include <QBuffer>
#include <QImage>
#include <QSaveFile>

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

void WriteWhole(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    // Unbuffered, so a write the system cuts short shows in its count: a
    // buffered one is flushed by commit(), which then does not notice a
    // failure and puts the truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        RaiseWriteError(path, file.errorString());
    // A short write is followed by another, which fails with the reason.
    for (qsizetype written = 0; written < data.size();) {
        const qint64 count = file.write(data.constData() + written, data.size() - written);
        if (count <= 0)
            RaiseWriteError(path, file.errorString());
        written += count;
    }
    if (!file.commit())
        RaiseWriteError(path, file.errorString());
}

} // namespace

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
    WriteWhole(path, SpectrumCsv(record));
}

void SavePicturePng(const QString& path, const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        RaiseWriteError(path, QStringLiteral("the picture cannot be encoded as PNG"));
    WriteWhole(path, png);
}
