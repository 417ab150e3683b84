#pragma once

// Every public type of the XY graph.
#include "graph/Axis.h"
#include "graph/Color.h"
#include "graph/Colors.h"
#include "graph/Curve.h"
#include "graph/Font.h"
#include "graph/Fonts.h"
#include "graph/Positions.h"
#include "graph/ScaleLabel.h"
#include "graph/XYGraph.h"
