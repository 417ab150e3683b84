#include "graph/Canvas.h"

#include "graph/Curve.h"
#include "graph/Hairline.h"

#include <QFontMetrics>
#include <QTextLayout>

namespace {

// Scale labels change with every zoom step: a font's texts are dropped when
// they grow this many.
constexpr qsizetype MostTextsPerFont = 512;

// Dash patterns of one-pixel lines, in pixels: dash, dot, dash-dot and
// dash-dot-dot as the stored layouts were designed with.
QList<qreal> DashPattern(std::uint8_t style)
{
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

} // namespace

TCanvas::TCanvas(QImage& image, TTextLayouts* layouts)
    : image_(image), painter_(&image), clip_(image.rect()), layouts_(layouts)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBrush(Qt::NoBrush);
    SetPen(clBlack);
}

void TCanvas::SetPen(TColor color, int width, std::uint8_t style)
{
    // A width of 0 or 1 is the cosmetic one-pixel pen, whose flat cap leaves
    // out the end point of every line; wider pens have round ends.
    hairline_ = width <= 1 && (style == psSolid || style == psInsideFrame);
    hairlineColor_ = ToQColor(color).rgb();
    linePen_ = QPen(ToQColor(color));
    if (width <= 1) {
        linePen_.setWidth(0);
        linePen_.setCapStyle(Qt::FlatCap);
    } else {
        linePen_.setWidth(width);
        linePen_.setCapStyle(Qt::RoundCap);
        linePen_.setJoinStyle(Qt::RoundJoin);
    }
    if (style == psClear) {
        linePen_.setStyle(Qt::NoPen);
    } else if (const QList<qreal> pattern = DashPattern(style); !pattern.isEmpty()) {
        QList<qreal> scaled = pattern;
        if (width > 1)
            for (qreal& length : scaled)
                length /= width;
        linePen_.setDashPattern(scaled);
    }
    activePen_ = ActivePen::None;
}

void TCanvas::SetPenColor(TColor color)
{
    hairlineColor_ = ToQColor(color).rgb();
    linePen_.setColor(ToQColor(color));
    activePen_ = ActivePen::None;
}

void TCanvas::SetFont(const TFont& font)
{
    painter_.setFont(font.ToQFont());
    fontTexts_ = nullptr;
    SetTextColor(font.Color());
}

void TCanvas::SetTextColor(TColor color)
{
    textPen_ = QPen(ToQColor(color));
    activePen_ = ActivePen::None;
}

// The painter has one pen; lines and texts switch it only when needed.
void TCanvas::UseLinePen()
{
    if (activePen_ != ActivePen::Line) {
        painter_.setPen(linePen_);
        activePen_ = ActivePen::Line;
    }
}

void TCanvas::UseTextPen()
{
    if (activePen_ != ActivePen::Text) {
        painter_.setPen(textPen_);
        activePen_ = ActivePen::Text;
    }
}

void TCanvas::FillRect(const TRect& rect, TColor color)
{
    if (rect.Right > rect.Left && rect.Bottom > rect.Top)
        painter_.fillRect(rect.ToQRect(), ToQColor(color));
}

void TCanvas::FrameRect(const TRect& rect, TColor color)
{
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top)
        return;
    FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1}, color);
    FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, color);
    FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, color);
    FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, color);
}

void TCanvas::Line(int x1, int y1, int x2, int y2)
{
    if (hairline_) {
        DrawHairline(image_, clip_, hairlineColor_, x1, y1, x2, y2);
        return;
    }
    UseLinePen();
    painter_.drawLine(x1, y1, x2, y2);
}

void TCanvas::Polyline(const QPoint* points, int count)
{
    if (count < 2)
        return;
    if (hairline_) {
        DrawHairlines(image_, clip_, hairlineColor_, points, count);
        return;
    }
    UseLinePen();
    painter_.drawPolyline(points, count);
}

void TCanvas::Ellipse(const TRect& box)
{
    UseLinePen();
    // An aliased outline covers one pixel more than the rectangle's size.
    painter_.drawEllipse(QRect(box.Left, box.Top, box.Right - box.Left - 1, box.Bottom - box.Top - 1));
}

const TLaidOutText* TCanvas::LaidOut(const QString& text) const
{
    if (!layouts_ || text.isEmpty())
        return nullptr;
    if (!fontTexts_)
        fontTexts_ = &(*layouts_)[painter_.font().key() + u'@' + QString::number(image_.logicalDpiY())];
    if (const auto found = fontTexts_->constFind(text); found != fontTexts_->cend())
        return &*found;
    if (fontTexts_->size() >= MostTextsPerFont)
        fontTexts_->clear();

    QTextLayout layout(text, painter_.font(), &image_);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    // The baseline where drawText puts it: at the font's ascent, rounded.
    const QFontMetrics metrics = painter_.fontMetrics();
    line.setPosition({0.0, metrics.ascent() - line.ascent()});
    TLaidOutText laidOut;
    laidOut.Glyphs = layout.glyphRuns();
    laidOut.Width = metrics.horizontalAdvance(text);
    return &*fontTexts_->insert(text, std::move(laidOut));
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    UseTextPen();
    if (const TLaidOutText* laidOut = LaidOut(text)) {
        for (const QGlyphRun& glyphs : laidOut->Glyphs)
            painter_.drawGlyphRun(QPointF(x, y), glyphs);
        return;
    }
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), text);
}

void TCanvas::RotatedTextOut(int x, int y, const QString& text, int angle)
{
    UseTextPen();
    painter_.save();
    painter_.translate(x, y);
    painter_.rotate(-angle / 10.0);
    painter_.drawText(0, painter_.fontMetrics().ascent(), text);
    painter_.restore();
}

int TCanvas::TextWidth(const QString& text) const
{
    if (const TLaidOutText* laidOut = LaidOut(text))
        return laidOut->Width;
    return painter_.fontMetrics().horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) const
{
    return text.isEmpty() ? 0 : painter_.fontMetrics().height();
}

void TCanvas::SetClip(const TRect& rect)
{
    clip_ = rect.ToQRect() & image_.rect();
    painter_.setClipRect(rect.ToQRect());
}

void TCanvas::RemoveClip()
{
    clip_ = image_.rect();
    painter_.setClipping(false);
}
