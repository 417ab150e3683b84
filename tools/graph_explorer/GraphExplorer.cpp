#include "graph_explorer/GraphExplorer.h"

#include "app/AcquisitionGraphLayout.h"
#include "graph/Graph.h"
#include "synthetic_spectrum/SyntheticSpectrum.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int WindowWidth = 1297;
constexpr int WindowHeight = 431;
// The controls' column left of the graph, which the layout places at
// (320, 8); the read-outs run below it.
constexpr int PanelLeft = 8;
constexpr int PanelWidth = 304;
constexpr int HalfWidth = 148;
constexpr int RightColumn = PanelLeft + HalfWidth + 8;
// The second column inside a group box.
constexpr int SecondColumn = 160;
constexpr int ReadoutLeft = 320;
constexpr int ReadoutCaptionTop = 381;
constexpr int ReadoutTop = 398;
constexpr int ReadoutGap = 12;
constexpr int RowHeight = 24;

constexpr TColor Yellow = 0x00FFFF;
constexpr TColor Aqua = 0xFFFF00;

template <typename Control>
Control* Place(Control* control, int left, int top, int width, int height)
{
    control->setGeometry(left, top, width, height);
    return control;
}

// A radio button or check box in a group box, with its caption, check mark
// and place in the group.
struct TChoice {
    const char* Caption;
    bool Checked;
    int Left;
    int Top;
};

// Places the choices in the group and attaches them at positions 0, 1, ...;
// the marks are set first, so that attaching runs no handler.
template <typename Button>
void AttachChoices(TControls& controls, void (TControls::*attach)(int, Button*), QGroupBox* group,
                   std::initializer_list<TChoice> choices)
{
    int position = 0;
    for (const TChoice& choice : choices) {
        auto* button = Place(new Button(QString::fromLatin1(choice.Caption), group), choice.Left, choice.Top, 136, 22);
        button->setChecked(choice.Checked);
        (controls.*attach)(position++, button);
    }
}

// The lines of the made-up spectrum as a coarse curve: the valleys and the
// tops of its five lines.
const TCurvePoint PeakPoints[] = {{6, 20.2},  {88, 172.6},  {125, 23.8}, {161, 94.8},  {210, 26.3}, {254, 217.6},
                                  {292, 28.8}, {331, 84.9}, {384, 31.5}, {436, 153.1}, {512, 35.4}};
constexpr int FirstPeak = 1;
constexpr int PeakCount = 5;
// The peaks curve is shown raised above the spectrum and a little shifted.
constexpr double PeaksXOffset = 2.5;
constexpr double PeaksYOffset = 24.0;

const TCurvePoint BaselinePoints[] = {{6, 20.2}, {107, 23.2}, {208, 26.2}, {310, 29.3}, {411, 32.3}, {512, 35.4}};

const std::vector<std::string> HintLines = {
    "Left drag: pan the view, or the panned curves",
    "Right press: glide there; right drag: zoom",
    "Double click: back to the home view",
    "Point modes: hover to pick, Shift holds it",
    "Drag this panel with any mouse button",
};

} // namespace

TGraphExplorer::TGraphExplorer(QWidget* parent) : QWidget(parent)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(WindowWidth, WindowHeight);

    graph_ = new TXYGraph(this);
    LoadSpectrumGraphSettings(*graph_, TGraphPlacement::WindowBounds);
    // The controls belong to the layout: attached while loading, so that
    // the end of loading ticks the radio button of the mouse mode.
    graph_->BeginLoading();
    AttachReadouts();
    AttachModes();
    AttachOptions();
    AttachInputs();
    AttachButtonsAndLists();
    graph_->Loaded();

    // Added with the lists attached, so that both list every curve.
    AddCurves();
    graph_->HintPanel().SetLines(HintLines);
    graph_->ShowHintPanel(true);
    graph_->Paint();
}

QLabel* TGraphExplorer::Caption(const char* text, QWidget* parent, int left, int top, int width)
{
    return Place(new QLabel(QString::fromLatin1(text), parent), left, top, width, 16);
}

// Below the graph, each under its caption. The X and Y values are edits, so
// that they can be copied; the others are labels, which every read-out
// takes.
void TGraphExplorer::AttachReadouts()
{
    struct TReadout {
        const char* Caption;
        int Width;
    };
    static const TReadout readouts[] = {{"X", 130},    {"Y", 130},      {"Mode", 150}, {"Curve", 150},
                                        {"Point", 80}, {"Colour", 80}, {"Angle (degrees)", 130}};
    TControls& controls = graph_->Controls();
    int left = ReadoutLeft;
    for (int i = 0; i < int(std::size(readouts)); ++i) {
        const TReadout& readout = readouts[i];
        Caption(readout.Caption, this, left, ReadoutCaptionTop, readout.Width);
        QWidget* output = nullptr;
        if (i < 2) {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(true);
            output = edit;
        } else {
            auto* label = new QLabel(this);
            label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            output = label;
        }
        controls.SetOutput(i, Place(output, left, ReadoutTop, readout.Width, RowHeight));
        left += readout.Width + ReadoutGap;
    }
}

void TGraphExplorer::AttachModes()
{
    auto* group = Place(new QGroupBox(QStringLiteral("Mouse mode"), this), PanelLeft, 8, PanelWidth, 100);
    AttachChoices(graph_->Controls(), &TControls::SetRadioButton, group,
                  {{"Pan and zoom", false, 12, 22},
                   {"Move points", false, 12, 46},
                   {"Insert points", false, 12, 70},
                   {"Delete points", false, SecondColumn, 22},
                   {"Reference cursor", false, SecondColumn, 46}});
}

// Each box starts with the mark of the setting it drives.
void TGraphExplorer::AttachOptions()
{
    auto* group = Place(new QGroupBox(QStringLiteral("Options"), this), PanelLeft, 114, PanelWidth, 76);
    AttachChoices(graph_->Controls(), &TControls::SetCheckBox, group,
                  {{"Keep aspect", graph_->KeepAspect(), 12, 22},
                   {"Main grid", graph_->XAxis().ShowMainGrid(), SecondColumn, 22},
                   {"Sub grid", graph_->XAxis().ShowSubGrid(), SecondColumn, 46},
                   {"Hint panel", !graph_->HintPanel().isHidden(), 12, 46}});
}

// A typed value, taken when the edit is left or Enter is pressed, places
// the point picked in move mode and the panned curves.
void TGraphExplorer::AttachInputs()
{
    auto* group = Place(new QGroupBox(QStringLiteral("Place the picked point or panned curves"), this), PanelLeft,
                        196, PanelWidth, 56);
    for (int i = 0; i < 2; ++i) {
        const int left = i == 0 ? 12 : SecondColumn;
        Caption(i == 0 ? "X" : "Y", group, left, 28, 14);
        graph_->Controls().SetEdit(i, Place(new QLineEdit(group), left + 16, 24, 116, RowHeight));
    }
}

// The list buttons stand above their lists as their captions.
void TGraphExplorer::AttachButtonsAndLists()
{
    TControls& controls = graph_->Controls();
    controls.SetClear(Place(new QPushButton(QStringLiteral("Clear"), this), PanelLeft, 258, HalfWidth, 28));
    controls.SetReset(
        Place(new QPushButton(QStringLiteral("Reset view"), this), RightColumn, 258, HalfWidth, 28));
    controls.SetOpenView(
        Place(new QPushButton(QStringLiteral("Visible curves"), this), PanelLeft, 292, HalfWidth, 26));
    controls.SetOpenPan(Place(new QPushButton(QStringLiteral("Panned curves"), this), RightColumn,
                              292, HalfWidth, 26));
    controls.SetViewListBox(Place(new TCheckListBox(this), PanelLeft, 322, HalfWidth, 101));
    controls.SetPanListBox(Place(new TCheckListBox(this), RightColumn, 322, HalfWidth, 101));
}

void TGraphExplorer::AddCurves()
{
    TXYGraph& graph = *graph_;
    const int spectrum = graph.AddCurve("Spectrum", clLime, 1, psSolid, true);
    const std::vector<TCurvePoint> points = SyntheticSpectrum(507, 1);
    graph.AddPoints(spectrum, points.data(), points.size());

    const int peaks = graph.AddCurve("Peaks", Yellow, 2, psSolid, true);
    graph.AddPoints(peaks, PeakPoints, std::size(PeakPoints));
    static const std::uint8_t kinds[] = {mkSquare, mkCircle, mkCross};
    for (int i = 0; i < PeakCount; ++i) {
        const int point = FirstPeak + 2 * i;
        graph.AddLabel(peaks, point, std::to_string(int(PeakPoints[point].X)), clWhite, 7, -7);
        graph.AddMarker(peaks, point, kinds[i % std::size(kinds)], clWhite);
    }
    graph.SetCurveXOffset(peaks, PeaksXOffset);
    graph.SetCurveYOffset(peaks, PeaksYOffset);

    const int baseline = graph.AddCurve("Baseline", Aqua, 1, psDash, true);
    graph.AddPoints(baseline, BaselinePoints, std::size(BaselinePoints));
}
