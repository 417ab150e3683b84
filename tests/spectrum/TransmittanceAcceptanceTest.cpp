// The measurement against the simulator's sensor: dark, reference and a
// sample of known transmission, each averaged over 64 frames, as an
// operator takes them.
#include "simulator/FrameBuilder.h"
#include "simulator/SensorModel.h"
#include "spectrum/AutoExposure.h"
#include "spectrum/SpectrumProcessing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

struct TFigures {
    double meanT = 0, worstT = 0, meanA = 0, worstA = 0;
    int pixels = 0;
    int outsideT = 0; // pixels beyond 50 +- 0.5 %
};

class TransmittanceAcceptance {
public:
    TransmittanceAcceptance(const TFrameLayout& layout, const TSampleOptions& sample)
        : model(layout.LastReading(), 11, sample)
    {
        decoder->SetLayout(layout);
        averaging.SetLayout(layout);
        averaging.SetDepth(64);
        decoder->ReadScale("0", "1");
    }

    void Take(int32_t exposure, int frames)
    {
        averaging.Clear();
        for (int frame = 0; frame < frames; ++frame) {
            model.Generate(exposure, readings);
            text.clear();
            AppendFrame(text, {uint64_t(frame), exposure, int(readings.size()) + 5}, readings, TLineEnd::CrLf);
            decoder->Decode(QByteArrayView(text.data(), qsizetype(text.size())));
            averaging.Add(*decoder);
        }
    }

    // Transmittance and absorbance over the pixels that did not saturate.
    TFigures Measure(int smoothing)
    {
        Take(0, 64);
        averaging.TakeDark();
        Take(130, 64);
        processor.TakeReference(averaging, decoder->Layout());
        Take(130, 64);
        TFigures figures;
        for (const TProcessingMode mode : {TProcessingMode::Transmittance, TProcessingMode::Absorbance}) {
            processor.SetMode(mode);
            processor.SetSmoothing(smoothing);
            TProcessedSpectrum out;
            processor.Process(*decoder, averaging, out);
            const double expected = mode == TProcessingMode::Transmittance ? 50.0 : -std::log10(0.5);
            double sum = 0, worst = 0;
            int counted = 0;
            for (const TSpectrumPoint& point : out.Points) {
                // The saturated pixels, and those whose boxcar reaches them.
                const auto near = std::lower_bound(out.SaturatedPixels.begin(), out.SaturatedPixels.end(),
                                                   int(point.X) - smoothing / 2);
                if (near != out.SaturatedPixels.end() && *near <= int(point.X) + smoothing / 2)
                    continue;
                EXPECT_TRUE(point.Present && std::isfinite(point.Y)) << point.X;
                sum += point.Y;
                worst = std::max(worst, std::abs(point.Y - expected));
                if (mode == TProcessingMode::Transmittance && std::abs(point.Y - expected) > 0.5)
                    ++figures.outsideT;
                ++counted;
            }
            (mode == TProcessingMode::Transmittance ? figures.meanT : figures.meanA) = sum / counted;
            (mode == TProcessingMode::Transmittance ? figures.worstT : figures.worstA) = worst;
            figures.pixels = counted;
        }
        return figures;
    }

    TSensorModel model;
    std::unique_ptr<TFrameDecoder> decoder = std::make_unique<TFrameDecoder>();
    TFrameAveraging averaging;
    TSpectrumProcessor processor;
    std::vector<int> readings;
    std::string text;
};

TEST(TransmittanceAcceptanceTest, HalfTransmissionReadsFiftyPercentAndAbsorbanceLog2)
{
    TFrameLayout tcd1304;
    tcd1304.Pixels = 3648;
    tcd1304.MaxFields = 4096;
    tcd1304.FullScale = 4095;
    struct TCase {
        TFrameLayout layout;
        int fullScale;
        int smoothing;
    };
    const TCase cases[] = {{TFrameLayout{}, 255, 0}, {TFrameLayout{}, 255, 5}, {tcd1304, 4095, 0}, {tcd1304, 4095, 5}};
    for (const TCase& c : cases) {
        TSampleOptions sample;
        sample.Pixels = c.layout.Pixels;
        sample.FullScale = c.fullScale;
        sample.FallingOutput = true;
        sample.Transmission = "50%";
        sample.SampleAfter = 64;
        sample.Saturate = 3;
        TransmittanceAcceptance run(c.layout, sample);
        const TFigures f = run.Measure(c.smoothing);
        std::printf("pixels %d smoothing %d: T mean %.4f worst %.4f (%d outside 0.5); A mean %.5f worst %.5f over %d "
                    "pixels\n",
                    c.layout.Pixels, c.smoothing, f.meanT, f.worstT, f.outsideT, f.meanA, f.worstA, f.pixels);
        EXPECT_NEAR(f.meanT, 50.0, 0.5);
        EXPECT_NEAR(f.meanA, 0.301, 0.005);
        // Pixel by pixel the read-out noise left after 64 frames (0.19 of a
        // 255 scale) puts a pixel in a thousand just past 0.5 %; a 5-pixel
        // boxcar brings every pixel within.
        EXPECT_LT(f.worstT, c.smoothing ? 0.5 : 0.75);
        EXPECT_LT(f.worstA, c.smoothing ? 0.005 : 0.0075);
        EXPECT_LE(f.outsideT, (c.layout.Pixels + 999) / 1000);
        EXPECT_EQ(f.pixels, c.layout.Pixels - 3 - c.smoothing / 2 * 2);
    }
}

// The simulator's lines at a steady exposure: from far too little light or
// from saturation, the peak settles at 70 to 85 % of full scale within six
// frames and stays there.
TEST(AutoExposureAcceptanceTest, SettlesOnTheSimulatorsSteadySource)
{
    for (const int start : {5, 60, 150, 5000}) {
        TSampleOptions sample;
        sample.FallingOutput = true;
        TransmittanceAcceptance run(TFrameLayout{}, sample);
        TAutoExposure control;
        int exposure = start;
        TProcessedSpectrum out;
        for (int frame = 0; frame < 9; ++frame) {
            run.Take(exposure, 1);
            run.processor.Process(*run.decoder, run.averaging, out);
            const double share = out.Peak / 256;
            if (frame >= 6) {
                EXPECT_TRUE(share >= 0.70 && share <= 0.85) << start << " frame " << frame << " " << share;
            }
            exposure = control.Next(exposure, out.Peak, 256);
        }
    }
}

} // namespace
