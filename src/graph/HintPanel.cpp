#include "graph/HintPanel.h"

#include "graph/Latin1.h"
#include "graph/XYGraph.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr int InitialLeft = 5;
constexpr int InitialTop = 5;
constexpr int LineHeight = 14;
constexpr int TextLeft = 2;
constexpr int TextTop = 2;
constexpr int ExtraWidth = 8;
constexpr int ExtraHeight = 4;
constexpr std::size_t MostFittedLines = 10;
constexpr std::size_t MostDrawnLines = 11;

std::size_t NonEmptyLines(const std::vector<std::string>& lines)
{
    return std::size_t(std::count_if(lines.begin(), lines.end(), [](const std::string& line) { return !line.empty(); }));
}

} // namespace

THintPanel::THintPanel(TXYGraph& ownerGraph) : QWidget(&ownerGraph), ownerGraph_(ownerGraph)
{
    setGeometry(InitialLeft, InitialTop, 0, 0);
    setCursor(Qt::PointingHandCursor);
    // Motion over the panel is the panel's, not the graph's.
    setMouseTracking(true);
    setAttribute(Qt::WA_NoMousePropagation);
    ownerGraph.installEventFilter(this);
    show();
}

void THintPanel::SetLines(std::vector<std::string> lines)
{
    lines_ = std::move(lines);
    FitToLines();
    update();
}

void THintPanel::ClearLines()
{
    SetLines({});
}

void THintPanel::FitToLines()
{
    const std::size_t shown = NonEmptyLines(lines_);
    if (shown < 1 || shown > MostFittedLines)
        return;
    int widest = 0;
    for (const std::string& line : lines_)
        widest = std::max(widest, fontMetrics().horizontalAdvance(Latin1(line)));
    resize(widest + ExtraWidth, int(shown) * LineHeight + ExtraHeight);
}

void THintPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(all, palette().color(QPalette::Button));
    // A raised one-pixel bevel.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(all.topLeft(), all.topRight());
    painter.drawLine(all.topLeft(), all.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(all.bottomLeft(), all.bottomRight());
    painter.drawLine(all.topRight(), all.bottomRight());

    // As many entries as there are non-empty lines, empty ones among them.
    painter.setPen(palette().color(QPalette::ButtonText));
    const std::size_t drawn = std::min(NonEmptyLines(lines_), MostDrawnLines);
    const int ascent = fontMetrics().ascent();
    for (std::size_t i = 0; i < drawn; ++i)
        painter.drawText(TextLeft, TextTop + LineHeight * int(i) + ascent, Latin1(lines_[i]));
}

void THintPanel::mousePressEvent(QMouseEvent* event)
{
    anchoredRight_ = false;
    const QPoint at = event->position().toPoint();
    dragStartX_ = at.x();
    dragStartY_ = at.y();
    ownerGraph_.RestoreCursorBackground();
    ownerGraph_.SetCursorShown(false);
}

void THintPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    move(x() + at.x() - dragStartX_, y() + at.y() - dragStartY_);
}

void THintPanel::mouseReleaseEvent(QMouseEvent*)
{
    anchoredRight_ = true;
}

bool THintPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &ownerGraph_ && event->type() == QEvent::Resize && anchoredRight_) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->oldSize().isValid())
            move(x() + resize->size().width() - resize->oldSize().width(), y());
    }
    return false;
}
