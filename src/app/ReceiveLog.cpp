#include "app/ReceiveLog.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// A cleared log keeps this much room for the next frames; a log that grew
// beyond it gives its memory back.
constexpr qsizetype KeptCapacity = 64 * 1024;

} // namespace

TReceiveLog::TReceiveLog(QPlainTextEdit* view, QObject* parent) : QObject(parent), FView(view)
{
    FRefreshTimer.setSingleShot(true);
    FRefreshTimer.setInterval(RefreshIntervalMs);
    connect(&FRefreshTimer, &QTimer::timeout, this, &TReceiveLog::RefreshView);
}

void TReceiveLog::Append(const char* data, qsizetype count)
{
    if (count <= 0)
        return;
    const qsizetype kept = std::min(count, MaxKeptBytes - FText.size());
    if (kept > 0)
        FText.append(data, kept);
    FView.Add(data, count);
    ScheduleRefresh();
}

void TReceiveLog::Clear()
{
    if (FText.capacity() > KeptCapacity)
        FText.clear();
    else
        FText.resize(0);
    FView.Clear();
    ScheduleRefresh();
}

void TReceiveLog::ScheduleRefresh()
{
    // A running timer already covers this change: refreshes coalesce.
    if (!FRefreshTimer.isActive())
        FRefreshTimer.start();
}

void TReceiveLog::RefreshView()
{
    FRefreshTimer.stop();
    if (!FView.Stale())
        return;
    QElapsedTimer cost;
    cost.start();
    FView.Show();
    FRefreshTimer.setInterval(std::max<qint64>(RefreshIntervalMs, RefreshCostFactor * cost.elapsed()));
}
