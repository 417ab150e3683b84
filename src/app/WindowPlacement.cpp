#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

#include <algorithm>

namespace {

// The start of a span of `length` inside [low, low + room), as near `wanted`
// as it can be; `low` when it does not fit at all.
int Fit(int wanted, int length, int low, int room)
{
    return std::max(low, std::min(wanted, low + room - length));
}

QMargins FrameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

} // namespace

TPlacement PlaceWindow(const QRect& available, const QMargins& frame, const QRect& window, int graphWidth)
{
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    TPlacement placement;
    placement.GraphWidth = graphWidth;
    int width = window.width();
    const int shortfall = window.width() + frameWidth - available.width();
    if (shortfall > 0 && graphWidth - shortfall >= MinimumGraphWidth) {
        placement.GraphWidth = graphWidth - shortfall;
        width -= shortfall;
    }
    if (width + frameWidth > available.width() || window.height() + frameHeight > available.height()) {
        placement.Scrolled = true;
        placement.GraphWidth = graphWidth;
        placement.ScrollSize = QSize(std::min(window.width(), available.width() - frameWidth),
                                     std::min(window.height(), available.height() - frameHeight));
        width = placement.ScrollSize.width();
    }
    const int height = placement.Scrolled ? placement.ScrollSize.height() : window.height();
    placement.Position = QPoint(Fit(window.x(), width + frameWidth, available.x(), available.width()),
                                Fit(window.y(), height + frameHeight, available.y(), available.height()));
    return placement;
}

TWindowPlacement::TWindowPlacement(QWidget& window, QWidget& graph)
    : window_(window), graph_(graph), own_(window.pos(), window.size()), graphWidth_(graph.width())
{
    recheck_.setSingleShot(true);
    recheck_.setInterval(250);
    QObject::connect(&recheck_, &QTimer::timeout, [this] {
        if (FrameMargins(TopLevel()) != frame_)
            Place();
    });
}

TWindowPlacement::~TWindowPlacement()
{
    // The window belongs to its creator, not to the scroll area.
    if (scrollArea_)
        scrollArea_->takeWidget();
}

QWidget& TWindowPlacement::TopLevel() const
{
    return scrollArea_ ? *scrollArea_ : window_;
}

void TWindowPlacement::Show(QScreen* screen)
{
    screen_ = screen ? screen : QGuiApplication::screenAt(own_.topLeft());
    if (!screen_)
        screen_ = QGuiApplication::primaryScreen();
    Place();
    if (FrameMargins(TopLevel()) != frame_)
        Place();
    recheck_.start();
}

void TWindowPlacement::Place()
{
    frame_ = FrameMargins(TopLevel());
    const TPlacement placement = PlaceWindow(screen_->availableGeometry(), frame_, own_, graphWidth_);
    const int shrink = graphWidth_ - placement.GraphWidth;
    window_.setFixedSize(own_.width() - shrink, own_.height());
    graph_.resize(placement.GraphWidth, graph_.height());
    if (placement.Scrolled && !scrollArea_) {
        scrollArea_ = std::make_unique<QScrollArea>();
        scrollArea_->setWindowTitle(window_.windowTitle());
        scrollArea_->setFrameShape(QFrame::NoFrame);
        scrollArea_->setWidget(&window_);
    }
    if (scrollArea_)
        scrollArea_->resize(placement.ScrollSize);
    TopLevel().move(placement.Position);
    TopLevel().show();
}
