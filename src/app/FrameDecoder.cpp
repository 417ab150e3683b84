#include "app/FrameDecoder.h"

#include "common/IntegerConversion.h"

namespace {
constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char FrameEnd = 'e';
} // namespace

EReadingError::EReadingError(const EConvertError& error, int field, const QByteArray& text)
    : EConvertError(error), field_(field), text_(text)
{
}

TFrameDecoder::TFrameDecoder()
    : fieldText(static_cast<size_t>(layout_.MaxFields)), fieldValue(static_cast<size_t>(layout_.MaxFields))
{
}

void TFrameDecoder::SetLayout(const TFrameLayout& layout)
{
    if (!layout.Valid())
        throw Exception("The sensor layout does not fit in a frame");
    layout_ = layout;
    fieldText.assign(static_cast<size_t>(layout.MaxFields), QByteArray());
    fieldValue.assign(static_cast<size_t>(layout.MaxFields), 0);
}

bool TFrameDecoder::Decode(QByteArrayView log)
{
    QByteArray field;
    int count = 0;
    for (const char c : log) {
        if (c == CR) {
            ++count;
            if (count <= layout_.MaxFields)
                CloseField(count, field);
            field.resize(0);
        } else if (c != LF) {
            field.append(c);
        }
        if (c == FrameEnd)
            return true;
    }
    return false;
}

void TFrameDecoder::CloseField(int number, const QByteArray& text)
{
    // Copy into the entry's own buffer rather than share the accumulator's,
    // so neither allocates again from frame to frame.
    QByteArray& entry = fieldText[static_cast<size_t>(number - 1)];
    entry.resize(0);
    entry.append(QByteArrayView(text));
    if (number <= layout_.HeaderFields)
        return;
    try {
        fieldValue[static_cast<size_t>(number - 1)] = StrToInt(entry);
    } catch (const EConvertError& error) {
        throw EReadingError(error, number, entry);
    }
}

void TFrameDecoder::ReadScale(QByteArrayView offsetText, QByteArrayView gainText)
{
    offsetValue = StrToIntLenient(offsetText);
    gainValue = StrToIntLenient(gainText);
}

int32_t TFrameDecoder::PlotValue(int32_t reading) const
{
    const uint32_t product = static_cast<uint32_t>(reading) * static_cast<uint32_t>(gainValue);
    const uint32_t light = layout_.FallingOutput ? static_cast<uint32_t>(layout_.FullScale) - product : product;
    return static_cast<int32_t>(light - static_cast<uint32_t>(offsetValue));
}
