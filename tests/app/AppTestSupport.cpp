#include "AppTestSupport.h"

#include "common/Application.h"
#include "graph/Graph.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

TShownErrors::TShownErrors()
{
    TApplication::SetTitle(QStringLiteral("Mirelda ver. 2.10 example"));
    TApplication::SetExceptionPresenter(
        [this](const QString& title, const QString& message) { shown.emplace_back(title, message); });
}

TShownErrors::~TShownErrors()
{
    TApplication::SetExceptionPresenter({});
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    // Sleeps only while no event is due (QTest::qWaitFor sleeps 10 ms between
    // rounds, which would pace acquisition at one frame per round).
    QTimer tick;
    tick.start(5);
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limit.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void ClickButton(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
}

std::vector<double> CurveY(const TXYGraph& graph)
{
    std::vector<double> y;
    if (const TCurve* curve = graph.Curve(0))
        for (const TCurvePoint& point : curve->Points)
            y.push_back(point.Y);
    return y;
}
