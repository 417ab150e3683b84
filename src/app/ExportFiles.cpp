#include "app/ExportFiles.h"

#include "common/Exception.h"
#include "common/WholeFile.h"
#include "spectrum/CalibrationText.h"
#include "spectrum/DecimalNumbers.h"
#include "spectrum/JcampDx.h"

#include <QBuffer>
#include <QImage>

#include <cmath>

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
    const std::optional<TWavelengthCalibration>& calibration = record.Calibration;
    if (calibration) {
        comment("calibration order", QByteArray::number(calibration->Order()));
        QByteArray coefficients;
        for (const double a : calibration->Coefficients())
            coefficients += (coefficients.isEmpty() ? "" : " ") + QByteArray::fromStdString(DecimalText(a));
        comment("calibration coefficients a0..a3", coefficients);
        // An imported calibration may not say how well it fitted.
        comment("calibration rms (nm)", std::isfinite(calibration->Rms())
                                            ? QByteArray::fromStdString(DecimalText(calibration->Rms()))
                                            : QByteArray("unknown"));
    }
    csv += calibration ? "pixel,wavelength (nm),raw reading,plotted value\n" : "pixel,raw reading,plotted value\n";
    for (const TSpectrumRecord::TPoint& point : record.Points) {
        csv += QByteArray::number(point.Pixel) + ',';
        if (calibration)
            csv += QByteArray::fromStdString(DecimalText(calibration->Wavelength(point.Pixel))) + ',';
        csv += QByteArray::number(point.Reading) + ',' + QByteArray::number(point.Plotted) + '\n';
    }
    return csv;
}

QByteArray SpectrumJcampDx(const TSpectrumRecord& record)
{
    const QString time = record.Time.toOffsetFromUtc(record.Time.offsetFromUtc()).toString(Qt::ISODate);
    TJcampSpectrum spectrum;
    spectrum.Title = ("Spectrum " + time + " " + QString::fromLatin1(record.Port)).toUtf8().toStdString();
    if (!record.Calibration)
        spectrum.XUnits = "PIXELS";
    const auto utf8 = [](const std::string& eightBit) { return Utf8(eightBit).toStdString(); };
    spectrum.Labels = {{"TIME", time.toStdString()},
                       {"PORT", utf8(record.Port)},
                       {"BAUD RATE", utf8(record.BaudRate)},
                       {"EXPOSURE", utf8(record.Exposure)},
                       {"OFFSET", std::to_string(record.Offset)},
                       {"GAIN", std::to_string(record.Gain)},
                       {"FRAMES AVERAGED", std::to_string(record.FramesAveraged)},
                       {"DARK FRAME", record.DarkFrame ? "subtracted" : "none"}};
    if (record.Calibration)
        spectrum.Labels.emplace_back("CALIBRATION", CalibrationStoredText(*record.Calibration));
    for (const TSpectrumRecord::TPoint& point : record.Points) {
        spectrum.X.push_back(record.Calibration ? record.Calibration->Wavelength(point.Pixel) : point.Pixel);
        spectrum.Y.push_back(point.Plotted);
    }
    return QByteArray::fromStdString(JcampDxText(spectrum));
}

void SaveSpectrumCsv(const QString& path, const TSpectrumRecord& record)
{
    WriteWholeFile(path, SpectrumCsv(record));
}

void SaveSpectrumFile(const QString& path, const TSpectrumRecord& record)
{
    const bool jcamp = path.endsWith(QStringLiteral(".jdx"), Qt::CaseInsensitive)
                       || path.endsWith(QStringLiteral(".dx"), Qt::CaseInsensitive);
    WriteWholeFile(path, jcamp ? SpectrumJcampDx(record) : SpectrumCsv(record));
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
