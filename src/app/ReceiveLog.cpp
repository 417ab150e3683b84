#include "app/ReceiveLog.h"

#include <QPlainTextEdit>

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
    FText.append(data, count);
    ScheduleRefresh();
}

void TReceiveLog::Clear()
{
    if (FText.isEmpty() && !FViewStale)
        return;
    FText.resize(0); // keeps the capacity for the next frame
    ScheduleRefresh();
}

void TReceiveLog::ScheduleRefresh()
{
    FViewStale = true;
    // A running timer already covers this change: refreshes coalesce.
    if (!FRefreshTimer.isActive())
        FRefreshTimer.start();
}

void TReceiveLog::RefreshView()
{
    FRefreshTimer.stop();
    if (!FViewStale)
        return;
    FViewStale = false;
    FView->setPlainText(DisplayText(FText));
}

QString TReceiveLog::DisplayText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            text += QChar(static_cast<unsigned char>(c));
            continue;
        }
        text += u'\n';
        const qsizetype next = i + 1;
        if (next < bytes.size() && (bytes[next] == '\r' || bytes[next] == '\n') && bytes[next] != c)
            ++i;
    }
    return text;
}
