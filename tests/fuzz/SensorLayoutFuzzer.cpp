// Frames decoded under any layout the text form accepts, then averaged and
// processed in every mode.
//
// Input: a layout's text form up to the first line end, then the receive
// log. A layout text the parser refuses ends the run; one it accepts must
// survive its text form. The decode must agree with a plain walk of the
// protocol's rules under that layout; the processed curve must hold no
// infinity or NaN, whatever the readings.
#include "FuzzCheck.h"

#include "app/FrameAveraging.h"
#include "app/FrameDecoder.h"
#include "common/Exception.h"
#include "common/IntegerConversion.h"
#include "spectrum/SensorLayout.h"
#include "spectrum/SpectrumErrors.h"
#include "spectrum/SpectrumProcessing.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The fields a frame stores under the layout: (number, text), up to the
// first 'e', only fields CR closed, none past MaxFields; conversion stops
// the walk at the first reading that is not integer text.
struct TReference {
    std::vector<std::string> texts;
    std::vector<int32_t> values;
    bool failed = false;
};

TReference Walk(std::string_view log, const TFrameLayout& layout)
{
    TReference reference;
    reference.texts.resize(size_t(layout.MaxFields));
    reference.values.resize(size_t(layout.MaxFields));
    std::string field;
    int count = 0;
    for (const char c : log) {
        if (c == '\r') {
            if (++count <= layout.MaxFields) {
                reference.texts[size_t(count - 1)] = field;
                if (count > layout.HeaderFields) {
                    try {
                        reference.values[size_t(count - 1)] = StrToInt(QByteArrayView(field.data(), qsizetype(field.size())));
                    } catch (const EConvertError&) {
                        reference.failed = true;
                        return reference;
                    }
                }
            }
            field.clear();
        } else if (c != '\n') {
            field += c;
        }
        if (c == 'e')
            break;
    }
    return reference;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t end = input.find('\n');
    const std::string layoutText(input.substr(0, end));
    const std::string_view log = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    TFrameLayout layout;
    try {
        layout = ParseSensorLayout(layoutText);
    } catch (const ESpectrum&) {
        return 0;
    }
    Require(layout.Valid(), "an accepted layout is valid");
    Require(ParseSensorLayout(SensorLayoutText(layout)) == layout, "a layout survives its text form");
    // Keep the tables small enough for the fuzzer's pace.
    if (layout.MaxFields > 5000)
        return 0;

    auto decoder = std::make_unique<TFrameDecoder>();
    decoder->SetLayout(layout);
    bool failed = false;
    try {
        decoder->Decode(QByteArrayView(log.data(), qsizetype(log.size())));
    } catch (const EReadingError&) {
        failed = true;
    }
    const TReference reference = Walk(log, layout);
    Require(failed == reference.failed, "the decode fails where the plain walk does");
    for (int field = 1; field <= layout.MaxFields; ++field) {
        const QByteArray& text = decoder->FieldText(field);
        Require(std::string_view(text.constData(), size_t(text.size())) == reference.texts[size_t(field - 1)],
                "field text agrees with the plain walk");
        Require(decoder->FieldValue(field) == reference.values[size_t(field - 1)],
                "field value agrees with the plain walk");
    }

    TFrameAveraging averaging;
    averaging.SetLayout(layout);
    averaging.Add(*decoder);
    averaging.TakeDark();
    averaging.SetDepth(2);
    TSpectrumProcessor processor;
    processor.TakeReference(averaging, layout);
    averaging.Add(*decoder);
    processor.SetSmoothing(int(size % 26));
    TProcessedSpectrum out;
    for (const TProcessingMode mode : ProcessingModes) {
        processor.SetMode(mode);
        processor.Process(*decoder, averaging, out);
        Require(out.Points.size() == size_t(layout.Pixels), "one point a pixel");
        for (const TSpectrumPoint& point : out.Points)
            Require(!point.Present || std::isfinite(point.Y), "no infinity or NaN on the curve");
        Require(out.SaturatedPixels.size() <= size_t(layout.Pixels), "saturation counts pixels at most once");
    }
    return 0;
}
