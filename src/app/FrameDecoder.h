#pragma once

#include "app/FrameLayout.h"
#include "common/Exception.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

// A reading that is not integer text: the conversion error, with the
// field's number, which is its line in the frame, and its text.
class EReadingError : public EConvertError {
public:
    EReadingError(const EConvertError& error, int field, const QByteArray& text);
    int Field() const { return field_; }
    const QByteArray& Text() const { return text_; }

private:
    int field_;
    QByteArray text_;
};

// Turns the receive log into numbered fields and the fields into the points
// of the spectrum curve. A frame is 8-bit text of fields, each closed by CR;
// LF is ignored anywhere; the first 'e' ends the frame. The layout's header
// fields (1 to 5 by default) are kept as text; every later field is a
// reading converted with StrToInt. The tables live as long as the layout
// and are not cleared between frames: a shorter frame leaves later entries
// as an earlier frame set them.
class TFrameDecoder {
public:
    // The default layout's figures.
    static constexpr int MaxFields = 2200;
    static constexpr int HeaderFields = 5;
    static constexpr int FirstPlottedField = 6;
    static constexpr int LastPlottedField = 512;
    static constexpr int PlottedPoints = LastPlottedField - FirstPlottedField + 1;

    TFrameDecoder();

    const TFrameLayout& Layout() const { return layout_; }
    // Takes a layout with fresh tables, all 0 as at start. One that is not
    // Valid raises an Exception and changes nothing.
    void SetLayout(const TFrameLayout& layout);

    // Walks the log from its first byte. Every field closed by CR is stored
    // (text first, then the reading), so a bad reading raises EReadingError
    // with the fields before it already holding their new values. Text
    // after the last CR is an unfinished field and is dropped.
    //
    // Returns whether the closing 'e' was found. A log that ends without one
    // (cleared between the data and the flag event) still stores what CR
    // closed; the caller plots and asks for the next frame as usual, so
    // acquisition does not stall.
    //
    // Fields beyond the layout's MaxFields are ignored: never stored, never
    // converted.
    bool Decode(QByteArrayView log);

    // Offset and gain from the operator's texts, read leniently (bad text
    // gives a partial value, never an error).
    void ReadScale(QByteArrayView offsetText, QByteArrayView gainText);

    // 1 <= index <= Layout().MaxFields.
    const QByteArray& FieldText(int index) const { return fieldText.at(static_cast<size_t>(index - 1)); }
    int32_t FieldValue(int index) const { return fieldValue.at(static_cast<size_t>(index - 1)); }
    int32_t OffsetValue() const { return offsetValue; }
    int32_t GainValue() const { return gainValue; }

    // The curve's y for a reading: full scale - reading * gain - offset for
    // an output that falls with light (256 - ... by default), reading *
    // gain - offset for one that rises, in signed 32-bit arithmetic that
    // wraps on overflow, the product first.
    int32_t PlotValue(int32_t reading) const;
    // The curve's y at x for the reading FieldValue[x].
    int32_t PlotY(int x) const { return PlotValue(FieldValue(x)); }

private:
    void CloseField(int number, const QByteArray& text);

    TFrameLayout layout_;
    std::vector<QByteArray> fieldText;
    std::vector<int32_t> fieldValue;
    int32_t offsetValue = 0;
    int32_t gainValue = 0;
};
