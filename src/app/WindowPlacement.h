#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <QTimer>

#include <memory>

class QScreen;
class QScrollArea;
class QWidget;

// Where a fixed-size window goes on a screen: at its own position and size
// when they fit the screen's available area; otherwise moved so that the
// whole window is on the screen; where even its width does not fit, the
// graph gives up width (down to MinimumGraphWidth); where the window still
// does not fit, it is shown in a scrolling frame that fits. Controls are
// never hidden.
struct TPlacement {
    QPoint Position; // the top-left of the window's frame
    int GraphWidth = 0;
    // The window sits in a scroll area of this client size.
    bool Scrolled = false;
    QSize ScrollSize;
};

inline constexpr int MinimumGraphWidth = 240;

// `window` is the window's own frame position and client size; `frame`
// the margins the window system adds around the client area.
TPlacement PlaceWindow(const QRect& available, const QMargins& frame, const QRect& window, int graphWidth);

// Shows a window placed on a screen, and owns the scroll area it may need.
// The window system adds the frame only once the window is shown, so the
// placement is checked again then, and once more a little later.
class TWindowPlacement {
public:
    // `graph` is the window's child that gives up width, at the right of
    // the controls.
    TWindowPlacement(QWidget& window, QWidget& graph);
    ~TWindowPlacement();
    TWindowPlacement(const TWindowPlacement&) = delete;
    TWindowPlacement& operator=(const TWindowPlacement&) = delete;

    // On the screen that holds the window's own position, or the primary one.
    void Show(QScreen* screen = nullptr);
    // The scroll area the window was put in, if it needed one.
    QScrollArea* ScrollArea() const { return scrollArea_.get(); }

private:
    // Places the shown window, or the scroll area that holds it, for the
    // frame it has now.
    void Place();
    QWidget& TopLevel() const;

    QWidget& window_;
    QWidget& graph_;
    const QRect own_;
    const int graphWidth_;
    QScreen* screen_ = nullptr;
    QMargins frame_;
    std::unique_ptr<QScrollArea> scrollArea_;
    QTimer recheck_;
};
