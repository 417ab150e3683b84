#include "app/CaptureFile.h"

#include "spectrum/JcampDx.h"

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
    if (!average_) {
        frames_.push_back(readings);
        frames_.back().resize(pixels_.size());
        return;
    }
    for (std::size_t i = 0; i < sums_.size() && i < readings.size(); ++i)
        sums_[i] += readings[i];
}

std::vector<double> TFrameCapture::Mean() const
{
    std::vector<double> mean;
    for (const std::int64_t sum : sums_)
        mean.push_back(double(sum) / double(count_));
    return mean;
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
    if (average_) {
        csv += "mean";
        for (const double value : Mean())
            csv += ',' + QByteArray::number(value, 'g', 12);
        return csv + '\n';
    }
    for (std::size_t f = 0; f < frames_.size(); ++f) {
        csv += QByteArray::number(qsizetype(f + 1));
        for (const std::int32_t reading : frames_[f])
            csv += ',' + QByteArray::number(reading);
        csv += '\n';
    }
    return csv;
}

QByteArray TFrameCapture::JcampDx() const
{
    TJcampSpectrum spectrum;
    spectrum.XUnits = "PIXELS";
    spectrum.Labels = {{"PORT", port_}, {"EXPOSURE", exposure_}};
    spectrum.X.assign(pixels_.begin(), pixels_.end());
    if (average_) {
        spectrum.Title = "Mirelda: mean of " + std::to_string(count_) + " frames";
        spectrum.Labels.emplace_back("FRAMES AVERAGED", std::to_string(count_));
        spectrum.Y = Mean();
        return QByteArray::fromStdString(JcampDxText(spectrum));
    }
    const std::string frames = std::to_string(count_);
    std::string text = "##TITLE=Mirelda: " + frames + " frames\n##JCAMP-DX=4.24\n##DATA TYPE=LINK\n##BLOCKS="
                       + frames + '\n';
    for (std::size_t f = 0; f < frames_.size(); ++f) {
        spectrum.Title = "Mirelda: frame " + std::to_string(f + 1) + " of " + frames;
        spectrum.Y.assign(frames_[f].begin(), frames_[f].end());
        std::string block = JcampDxText(spectrum);
        // Each block names itself right after its title, which fits one line.
        block.insert(block.find('\n') + 1, "##BLOCK_ID=" + std::to_string(f + 1) + '\n');
        text += block;
    }
    return QByteArray::fromStdString(text + "##END=\n");
}
