#include "graph/XYGraph.h"

#include "graph/Latin1.h"
#include "graph/ScaleLabel.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>

namespace {

constexpr int ReadoutPrecision = 7;
constexpr int ReadoutDecimals = 3;
constexpr int MaxReadoutLength = 32;
// Angles above this show as an empty text.
constexpr double LargestAngle = 9.9e16;

// Three decimals, at most 7 significant digits (exponent form beyond), the
// user's decimal separator: 12.5 -> "12.500".
QString ReadoutNumber(double value)
{
    return FormatFixed(value, ReadoutPrecision, ReadoutDecimals, QLocale().decimalPoint()).left(MaxReadoutLength);
}

// Labels take a text as their caption; single-line edits only where they
// serve as outputs (the value outputs); other kinds are left alone.
void ShowText(QWidget* output, const QString& text, bool editsToo = false)
{
    if (auto* label = qobject_cast<QLabel*>(output))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(output); edit && editsToo)
        edit->setText(text);
}

} // namespace

void TXYGraph::EnableValueOutputs(bool on)
{
    for (QWidget* output : {controls_.XOut(), controls_.YOut()})
        if (output)
            output->setEnabled(on);
}

void TXYGraph::ShowModeText(const std::string& text)
{
    ShowText(controls_.Mode(), Latin1(text));
}

void TXYGraph::ShowCurveName(const std::string& text)
{
    ShowText(controls_.Curve(), Latin1(text));
}

void TXYGraph::ShowItemIndex(int index)
{
    ShowText(controls_.Item(), index < 0 ? QString() : QString::number(index));
}

void TXYGraph::ShowItemColor(TColor color)
{
    auto* label = qobject_cast<QLabel*>(controls_.Color());
    if (!label)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

void TXYGraph::ShowValues(double x, double y)
{
    ShowText(controls_.XOut(), ReadoutNumber(x), true);
    ShowText(controls_.YOut(), ReadoutNumber(y), true);
}

void TXYGraph::ShowAngle(double angle)
{
    ShowText(controls_.Angle(), angle > LargestAngle ? QString() : ReadoutNumber(angle));
}
