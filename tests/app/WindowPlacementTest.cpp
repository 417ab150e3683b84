#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "app/WindowPlacement.h"
#include "graph/Graph.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QRect Own(399, 183, 1300, 380);
constexpr int GraphWidth = 969;

TEST(WindowPlacementTest, KeepsItsPlaceWhereItFitsMovesShrinksTheGraphOrScrolls)
{
    struct TCase {
        QRect available;
        QMargins frame;
        QPoint position;
        int graphWidth;
        QSize scrolled; // empty: not scrolled
    };
    const QMargins none;
    const QMargins decorated(4, 30, 4, 4);
    const TCase cases[] = {
        {{0, 0, 1920, 1080}, none, {399, 183}, 969, {}},
        {{0, 0, 1366, 768}, none, {66, 183}, 969, {}},
        {{64, 24, 1302, 744}, none, {66, 183}, 969, {}},
        // 1920 x 1080 at 1.5 times: the graph gives up what is missing.
        {{0, 0, 1280, 720}, none, {0, 183}, 949, {}},
        {{0, 0, 1280, 690}, decorated, {0, 183}, 941, {}},
        {{0, 0, 1366, 400}, decorated, {58, 0}, 969, {1300, 366}},
        {{0, 0, 1024, 300}, none, {0, 0}, 969, {1024, 300}},
        {{0, 0, 500, 600}, none, {0, 183}, 969, {500, 380}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.available.width() << "x" << c.available.height());
        const TPlacement placement = PlaceWindow(c.available, c.frame, Own, GraphWidth);
        EXPECT_EQ(placement.Position, c.position);
        EXPECT_EQ(placement.GraphWidth, c.graphWidth);
        EXPECT_EQ(placement.Scrolled, !c.scrolled.isEmpty());
        EXPECT_EQ(placement.ScrollSize, c.scrolled);
    }
}

// The screens of screens.json, from left to right: 1920 x 1080, 1366 x 768,
// 1280 x 720 (1920 x 1080 at 1.5 times) and 1024 x 300.
TEST(WindowPlacementTest, OnRealScreensTheWholeWindowIsOnTheScreenWithEveryControl)
{
    QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 4) << "run with the screens of screens.json";
    std::sort(screens.begin(), screens.end(),
              [](const QScreen* a, const QScreen* b) { return a->geometry().x() < b->geometry().x(); });
    const int formWidths[] = {1300, 1300, 1276, 1300};
    for (int i = 0; i < 4; ++i) {
        QScreen* screen = screens[i];
        SCOPED_TRACE(screen->name().toStdString());
        TForm1 form;
        TWindowPlacement placement(form, *form.XYGraph1);
        placement.Show(screen);
        const QScrollArea* area = placement.ScrollArea();
        EXPECT_EQ(area != nullptr, i == 3);
        EXPECT_TRUE(screen->availableGeometry().contains(area ? area->frameGeometry() : form.frameGeometry()));
        EXPECT_TRUE(i != 0 || form.pos() == QPoint(399, 183)); // where it fits, its own place
        EXPECT_EQ(form.size(), QSize(formWidths[i], 380));
        EXPECT_EQ(form.minimumSize(), form.maximumSize());
        for (const QWidget* control : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(control->isWindow() || form.rect().contains(control->geometry()));
        // The graph alone gives up width, keeping its margin at the right.
        EXPECT_EQ(form.XYGraph1->geometry(), QRect(320, 8, formWidths[i] - 331, 361));
        if (area) {
            EXPECT_EQ(area->windowTitle(), form.windowTitle());
            EXPECT_EQ(area->verticalScrollBar()->maximum(), form.height() - area->viewport()->height());
        }
    }
}

} // namespace
