#pragma once

#include "graph/Color.h"

#include <QFont>
#include <QHash>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles (bit = 1 << ordinal).
class TFontStyles {
public:
    TFontStyles() = default;
    TFontStyles(std::initializer_list<TFontStyle> styles);

    bool Contains(TFontStyle style) const { return (bits_ & Bit(style)) != 0; }
    void Include(TFontStyle style) { bits_ = std::uint8_t(bits_ | Bit(style)); }
    void Exclude(TFontStyle style) { bits_ = std::uint8_t(bits_ & ~Bit(style)); }
    bool operator==(const TFontStyles&) const = default;

private:
    static std::uint8_t Bit(TFontStyle style) { return std::uint8_t(1u << style); }
    std::uint8_t bits_ = 0;
};

// A font as the graph's settings describe it: a family name handed to the
// system's font matching, a size, a style set and a text colour. The size
// is kept as a height in pixels; a size in points is converted at 96 pixels
// per inch, the resolution the graph paints at.
class TFont {
public:
    TFont() = default;
    TFont(std::string name, int size, TColor color, TFontStyles style = {});

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name)
    {
        name_ = name;
        Changed();
    }

    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int pixels)
    {
        height_ = pixels;
        Changed();
    }

    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style)
    {
        style_ = style;
        Changed();
    }

    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }

    bool operator==(const TFont& other) const;

    // The toolkit's font; resolved once, since a graph paints with the same
    // few fonts over and over.
    QFont ToQFont() const;
    // The advance width of `text` in pixels as painting on `device`
    // measures it. Remembered per text, since a graph measures the same few
    // labels on every paint, on images of one resolution.
    int TextWidth(const QString& text, const QPaintDevice* device) const;

private:
    void Changed()
    {
        resolved_.reset();
        widths_.clear();
    }

    std::string name_ = "MS Sans Serif";
    int height_ = 11;
    TFontStyles style_;
    TColor color_ = clBlack;
    mutable std::optional<QFont> resolved_;
    mutable QHash<QString, int> widths_;
};
