#include "app/CaptureFile.h"

#include <QString>

TFrameCapture::TFrameCapture(const std::string& port, const std::string& exposure, bool average)
    : port_(port), exposure_(exposure), average_(average)
{
}

void TFrameCapture::Add(const std::vector<int>& pixels, const std::vector<std::int32_t>& readings)
{
    if (count_ == 0) {
        pixels_ = pixels;
        sums_.assign(pixels.size(), 0);
    }
    ++count_;
    if (average_) {
        for (std::size_t i = 0; i < sums_.size() && i < readings.size(); ++i)
            sums_[i] += readings[i];
        return;
    }
    rows_ += QByteArray::number(count_);
    for (const std::int32_t reading : readings)
        rows_ += ',' + QByteArray::number(reading);
    rows_ += '\n';
}

QByteArray TFrameCapture::Csv() const
{
    QByteArray csv;
    csv += "# port: " + QString::fromLatin1(port_).toUtf8() + '\n';
    csv += "# exposure: " + QString::fromLatin1(exposure_).toUtf8() + '\n';
    csv += "# frames: " + QByteArray::number(count_) + (average_ ? " (their mean)\n" : "\n");
    csv += "frame";
    for (const int pixel : pixels_)
        csv += ',' + QByteArray::number(pixel);
    csv += '\n';
    if (!average_)
        return csv + rows_;
    csv += "mean";
    for (const std::int64_t sum : sums_)
        csv += ',' + QByteArray::number(double(sum) / double(count_), 'g', 12);
    return csv + '\n';
}
