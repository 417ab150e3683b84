#pragma once

#include <QWidget>

class QLabel;
class TXYGraph;

// A window for trying the graph widget by hand: the spectrum graph as the
// acquisition window lays it out, three curves (one shown with offsets,
// labels and markers), a few hints in its hint panel, and every control a
// graph can have attached, each with a caption: the read-outs below the
// graph; the mouse modes, options, typed coordinates, buttons and curve
// lists to its left.
class TGraphExplorer : public QWidget {
public:
    explicit TGraphExplorer(QWidget* parent = nullptr);

    TXYGraph& Graph() { return *graph_; }

private:
    void AttachReadouts();
    void AttachModes();
    void AttachOptions();
    void AttachInputs();
    void AttachButtonsAndLists();
    void AddCurves();
    QLabel* Caption(const char* text, QWidget* parent, int left, int top, int width);

    TXYGraph* graph_;
};
