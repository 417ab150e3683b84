#pragma once

#include "graph/Color.h"
#include "graph/Font.h"

#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>
#include <QString>

#include <cstdint>
#include <map>

// A rectangle as the graph's geometry gives it: right and bottom exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    bool operator==(const TRect&) const = default;
};

// A text laid out in a font: its glyphs, placed for the text's top-left
// corner at (0, 0), and its width as the font's metrics give it.
struct TLaidOutText {
    QList<QGlyphRun> Glyphs;
    int Width = 0;
};

// Texts laid out in their fonts, kept from one picture to the next by
// whoever paints again and again: laying out a text costs more than drawing
// its glyphs, and a graph draws the same few texts in every picture. Keyed
// by the font and the device's resolution, then by the text.
using TTextLayouts = std::map<QString, QHash<QString, TLaidOutText>>;

// Drawing on a 32-bit image with the pixel rules the graph is laid out for:
// lines and polylines leave out their end point, rectangles leave out their
// right column and bottom row, texts are placed by their top-left corner
// and have no background, and nothing is antialiased except glyphs.
// Solid one-pixel lines are drawn by our own rasterizer, which keeps the
// end-point rule in every direction; other pens go through QPainter.
class TCanvas {
public:
    // Texts are laid out anew for every call unless `layouts` keeps them.
    explicit TCanvas(QImage& image, TTextLayouts* layouts = nullptr);

    // Pen of lines, polylines and ellipses. Styles are those of TCurvePenStyle.
    void SetPen(TColor color, int width = 1, std::uint8_t style = 0);
    void SetPenColor(TColor color);
    // Font of texts; the text colour is the font's until SetTextColor. The
    // canvas measures texts with the font itself until the next SetFont,
    // so it must live that long.
    void SetFont(const TFont& font);
    void SetTextColor(TColor color);

    void FillRect(const TRect& rect, TColor color);
    // A one-pixel outline along the inside of the rectangle.
    void FrameRect(const TRect& rect, TColor color);
    void Line(int x1, int y1, int x2, int y2);
    void Polyline(const QPoint* points, int count);
    // The outline of the ellipse that fills the box.
    void Ellipse(const TRect& box);

    void TextOut(int x, int y, const QString& text);
    // Text turned counter-clockwise by angle (tenths of a degree) about its
    // top-left corner at (x, y).
    void RotatedTextOut(int x, int y, const QString& text, int angle);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

    void SetClip(const TRect& rect);
    void RemoveClip();

private:
    void UseLinePen();
    void UseTextPen();
    // The text in the current font, or nullptr without a store of layouts.
    const TLaidOutText* LaidOut(const QString& text) const;

    QImage& image_;
    QPainter painter_;
    QRect clip_;
    bool hairline_ = true;
    QRgb hairlineColor_ = 0;
    QPen linePen_;
    QPen textPen_;
    enum class ActivePen { None, Line, Text };
    ActivePen activePen_ = ActivePen::None;
    TTextLayouts* layouts_;
    // The current font's texts in layouts_, found at its first text.
    mutable QHash<QString, TLaidOutText>* fontTexts_ = nullptr;
};
