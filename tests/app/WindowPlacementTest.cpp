#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "app/WindowPlacement.h"
#include "graph/Graph.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

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
        {{0, 0, 1920, 1050}, decorated, {399, 183}, 969, {}},
        {{0, 0, 1366, 768}, none, {66, 183}, 969, {}},
        {{0, 0, 1366, 738}, decorated, {58, 183}, 969, {}},
        {{64, 24, 1302, 744}, none, {66, 183}, 969, {}},
        // 1920 x 1080 at 1.5 times: the graph gives up what is missing.
        {{0, 0, 1280, 720}, none, {0, 183}, 949, {}},
        {{0, 0, 1280, 690}, decorated, {0, 183}, 941, {}},
        {{0, 0, 800, 600}, none, {0, 183}, 469, {}},
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

QScreen* Screen(const char* name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String(name))
            return screen;
    return nullptr;
}

// Every control but the graph keeps its place and size; the graph keeps its
// place and its distance from the window's right edge.
void ExpectControlsWhole(const TForm1& form)
{
    for (const QWidget* control : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        EXPECT_TRUE(form.rect().contains(control->geometry())) << control->objectName().toStdString();
    }
    EXPECT_EQ(form.XYGraph1->x(), 320);
    EXPECT_EQ(form.width() - form.XYGraph1->geometry().right() - 1, 11);
}

TEST(WindowPlacementTest, OnRealScreensTheWholeWindowIsOnTheScreen)
{
    ASSERT_NE(Screen("letterbox"), nullptr) << "run with the screens of screens.json";
    struct TCase {
        const char* screen;
        QSize size;
        bool scrolled;
    };
    const TCase cases[] = {
        {"wide", {1300, 380}, false},
        {"laptop", {1300, 380}, false},
        {"scaled", {1276, 380}, false},
        {"letterbox", {1300, 380}, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.screen);
        TForm1 form;
        TWindowPlacement placement(form, *form.XYGraph1);
        QScreen* screen = Screen(c.screen);
        placement.Show(screen);
        const QWidget* window = placement.ScrollArea() ? static_cast<QWidget*>(placement.ScrollArea()) : &form;
        EXPECT_TRUE(screen->availableGeometry().contains(window->frameGeometry()))
            << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
            << window->frameGeometry().width() << "x" << window->frameGeometry().height();
        EXPECT_EQ(form.size(), c.size);
        EXPECT_EQ(form.minimumSize(), form.maximumSize());
        ExpectControlsWhole(form);
        ASSERT_EQ(placement.ScrollArea() != nullptr, c.scrolled);
        if (c.scrolled) {
            const QScrollArea& area = *placement.ScrollArea();
            EXPECT_EQ(area.windowTitle(), form.windowTitle());
            EXPECT_EQ(area.verticalScrollBar()->maximum(), form.height() - area.viewport()->height());
        }
        if (QLatin1String(c.screen) == QLatin1String("wide")) {
            EXPECT_EQ(form.pos(), QPoint(399, 183));
        }
    }
}

} // namespace
