#pragma once

#include "graph/Color.h"
#include "graph/CurveColumns.h"
#include "graph/CurvePoint.h"
#include "graph/Font.h"

#include <cstdint>
#include <string>
#include <vector>

// A text attached to a point: its top-left corner is displaced by (DX, DY)
// pixels from the point.
struct TCurveLabel {
    int PointIndex = 0;
    std::string Text;
    TColor Color = clBlack;
    int DX = 0;
    int DY = 0;
};

enum TMarkerKind : std::uint8_t { mkSquare, mkCircle, mkCross };

// A symbol attached to a point; kinds other than those of TMarkerKind draw
// nothing.
struct TCurveMarker {
    int PointIndex = 0;
    std::uint8_t Kind = mkSquare;
    TColor Color = clBlack;
};

// Pen styles of a curve's line.
enum TCurvePenStyle : std::uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame
};

// One named curve of the graph with its points, labels and markers.
struct TCurve {
    std::string Name;
    bool Visible = true;
    TColor Color = clWhite;
    std::uint8_t PenWidth = 1;
    std::uint8_t PenStyle = psSolid;
    // Added to every stored X and Y when the curve is shown or read.
    double XOffset = 0.0;
    double YOffset = 0.0;
    // Half the size of the marker symbols, in pixels.
    std::uint8_t MarkerSize = 4;
    TFont LabelFont{"small font", 7, clBlack};
    std::vector<TCurvePoint> Points;
    std::vector<TCurveLabel> Labels;
    std::vector<TCurveMarker> Markers;
    // The points per pixel column, kept by the graph for drawing long
    // curves: appended points extend it, the graph's other point operations
    // invalidate it, and a change of the X mapping or XOffset rebuilds it.
    // Whoever changes Points in place directly invalidates it too.
    mutable TCurveColumns Columns;

    bool HasPoint(int index) const { return index >= 0 && std::size_t(index) < Points.size(); }
};
