#include "app/FrameDecoder.h"

#include "common/IntegerConversion.h"

namespace {
constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char FrameEnd = 'e';
} // namespace

bool TFrameDecoder::Decode(QByteArrayView log)
{
    QByteArray field;
    int count = 0;
    for (const char c : log) {
        if (c == CR) {
            ++count;
            if (count <= MaxFields)
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
    if (number > HeaderFields)
        fieldValue[static_cast<size_t>(number - 1)] = StrToInt(entry);
}

void TFrameDecoder::ReadScale(QByteArrayView offsetText, QByteArrayView gainText)
{
    offsetValue = StrToIntLenient(offsetText);
    gainValue = StrToIntLenient(gainText);
}

int32_t TFrameDecoder::PlotY(int x) const
{
    const uint32_t product = static_cast<uint32_t>(FieldValue(x)) * static_cast<uint32_t>(gainValue);
    return static_cast<int32_t>(256u - product - static_cast<uint32_t>(offsetValue));
}
