#pragma once

#include "spectrum/WavelengthCalibration.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QImage;

// One spectrum as the window shows it, with what it was acquired with.
struct TSpectrumRecord {
    QDateTime Time;
    std::string Port;     // 8-bit texts, as the window holds them
    std::string BaudRate; // the rate in bits per second
    std::string Exposure;
    std::int32_t Offset = 0;
    std::int32_t Gain = 1;
    int FramesAveraged = 1;
    bool DarkFrame = false;

    struct TPoint {
        int Pixel;
        std::int32_t Reading; // as the device sent it
        std::int32_t Plotted; // the curve's value
    };
    std::vector<TPoint> Points;
    // The x axis's wavelength calibration, when there is one.
    std::optional<TWavelengthCalibration> Calibration = std::nullopt;
};

// The record as CSV text in UTF-8: comment lines starting with "# " (time,
// port, baud rate, exposure, offset, gain, frames averaged, dark frame),
// the column line "pixel,raw reading,plotted value", then one line per
// point; lines end in LF. Calibrated, the comments go on with the
// calibration's order, coefficients and RMS, and a column "wavelength (nm)"
// follows the pixel.
QByteArray SpectrumCsv(const TSpectrumRecord& record);
// The record as JCAMP-DX 4.24: the plotted values over wavelength (nm), or
// over pixels without a calibration, the acquisition settings as "##$"
// labels.
QByteArray SpectrumJcampDx(const TSpectrumRecord& record);

// Write the file whole or not at all: the data goes to a temporary file
// that replaces the named one only once complete. A failure raises an
// Exception that names the file and the system's reason.
void SaveSpectrumCsv(const QString& path, const TSpectrumRecord& record);
void WriteWholeFile(const QString& path, const QByteArray& data);
// JCAMP-DX for a name ending in .jdx or .dx (any letter case), else CSV.
void SaveSpectrumFile(const QString& path, const TSpectrumRecord& record);
void SavePicturePng(const QString& path, const QImage& picture);
