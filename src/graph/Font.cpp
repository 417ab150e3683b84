#include "graph/Font.h"

#include <QFontMetrics>

#include <algorithm>
#include <mutex>

namespace {

constexpr int PixelsPerInch = 96;
constexpr int PointsPerInch = 72;
// Labels change as the view moves; the widths of old ones are dropped.
constexpr qsizetype MaxRememberedWidths = 256;

// a * b / c rounded half away from zero, as font sizes convert on the
// platform the settings come from (7 pt -> 9 px, 8 pt -> 11 px).
int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return int(product >= 0 ? (product + half) / c : (product - half) / c);
}

// The classic bitmap families named in stored layouts do not exist here;
// the metric-compatible free sans serif stands in for them, as fontconfig
// already lets it stand in for "arial".
void RegisterSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* family : {"small fonts", "small font", "MS Sans Serif"})
            QFont::insertSubstitution(QString::fromLatin1(family), QStringLiteral("Liberation Sans"));
    });
}

} // namespace

TFontStyles::TFontStyles(std::initializer_list<TFontStyle> styles)
{
    for (TFontStyle style : styles)
        Include(style);
}

TFont::TFont(std::string name, int size, TColor color, TFontStyles style)
    : name_(std::move(name)), height_(MulDiv(size, PixelsPerInch, PointsPerInch)), style_(style), color_(color)
{
}

int TFont::Size() const
{
    return MulDiv(height_, PointsPerInch, PixelsPerInch);
}

void TFont::SetSize(int points)
{
    height_ = MulDiv(points, PixelsPerInch, PointsPerInch);
    Changed();
}

bool TFont::operator==(const TFont& other) const
{
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && color_ == other.color_;
}

QFont TFont::ToQFont() const
{
    if (resolved_)
        return *resolved_;
    RegisterSubstitutions();
    QFont font(QString::fromLatin1(name_.c_str()));
    font.setPixelSize(std::max(1, height_));
    font.setBold(style_.Contains(fsBold));
    font.setItalic(style_.Contains(fsItalic));
    font.setUnderline(style_.Contains(fsUnderline));
    font.setStrikeOut(style_.Contains(fsStrikeOut));
    resolved_ = font;
    return font;
}

int TFont::TextWidth(const QString& text, const QPaintDevice* device) const
{
    if (const auto found = widths_.constFind(text); found != widths_.cend())
        return *found;
    if (widths_.size() >= MaxRememberedWidths)
        widths_.clear();
    const int width = QFontMetrics(ToQFont(), device).horizontalAdvance(text);
    widths_.insert(text, width);
    return width;
}
