#pragma once

#include <QWidget>

#include <string>
#include <vector>

class TXYGraph;

// A small panel of text lines inside the graph, which the operator can drag
// with any button. It fits itself to 1 to 10 non-empty lines; after a drag
// it keeps its distance from the graph's top and right edges.
class THintPanel : public QWidget {
    Q_OBJECT
public:
    explicit THintPanel(TXYGraph& ownerGraph);

    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    void ClearLines();
    void FitToLines();

    TXYGraph& OwnerGraph() const { return ownerGraph_; }
    int DragStartX() const { return dragStartX_; }
    int DragStartY() const { return dragStartY_; }
    bool AnchoredRight() const { return anchoredRight_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Follows the graph's resizing while anchored to its right edge.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TXYGraph& ownerGraph_;
    std::vector<std::string> lines_;
    int dragStartX_ = 0;
    int dragStartY_ = 0;
    bool anchoredRight_ = false;
};
