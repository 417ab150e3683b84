#include "app/ReceiveLog.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ReceiveLog, KeepsTheBytesExactlyAsTheyCameAcrossAppends)
{
    QPlainTextEdit view;
    TReceiveLog log(&view);
    log.Append(QByteArray("12\r\n3"));
    log.Append(QByteArray("4\n\r", 3));
    log.Append(QByteArray("\xe9\xff" "e", 3));
    log.Append("ignored", 0);
    EXPECT_EQ(log.Text(), QByteArray("12\r\n34\n\r\xe9\xff" "e"));
}

TEST(ReceiveLog, ViewFollowsAtDisplayRateAndShowsTheLatestTextOnceIdle)
{
    QPlainTextEdit view;
    TReceiveLog log(&view);
    for (int i = 0; i < 100; ++i)
        log.Append(QByteArray::number(i) + "\r\n");
    // The appends alone do not touch the control.
    EXPECT_TRUE(view.toPlainText().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(view.toPlainText().endsWith(QStringLiteral("98\n99\n")), true, 2000);
    EXPECT_EQ(view.blockCount(), 101);

    log.Clear();
    QTRY_COMPARE_WITH_TIMEOUT(view.toPlainText().isEmpty(), true, 2000);
    EXPECT_TRUE(log.Text().isEmpty());
}

TEST(ReceiveLog, ClearAfterAppendBeforeRefreshLeavesTheViewEmpty)
{
    QPlainTextEdit view;
    view.setPlainText(QStringLiteral("old"));
    TReceiveLog log(&view);
    log.Append(QByteArray("abc"));
    log.Clear();
    log.RefreshView();
    EXPECT_TRUE(view.toPlainText().isEmpty());
}

TEST(ReceiveLog, DisplayTextShowsEachLineEndAsOneBreakAndBytesAsLatin1)
{
    EXPECT_EQ(TReceiveLog::DisplayText(QByteArray("a\r\nb\n\rc\rd\ne")), QStringLiteral("a\nb\nc\nd\ne"));
    EXPECT_EQ(TReceiveLog::DisplayText(QByteArray("a\r\n\r\nb")), QStringLiteral("a\n\nb"));
    EXPECT_EQ(TReceiveLog::DisplayText(QByteArray("\xe4")), QString(QChar(0xe4)));
}

} // namespace
