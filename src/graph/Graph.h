#pragma once

// Every public type of the XY graph.
#include "graph/Axis.h"
#include "graph/CheckListBox.h"
#include "graph/Color.h"
#include "graph/Colors.h"
#include "graph/Controls.h"
#include "graph/Curve.h"
#include "graph/DecimalText.h"
#include "graph/Font.h"
#include "graph/Fonts.h"
#include "graph/HintPanel.h"
#include "graph/Positions.h"
#include "graph/ScaleLabel.h"
#include "graph/XYGraph.h"
