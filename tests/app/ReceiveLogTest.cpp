#include "app/FrameDecoder.h"
#include "app/ReceiveLog.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int MaxLines = TReceiveView::MaxLines;
constexpr int MaxLineLength = TReceiveView::MaxLineLength;

// Feeds bytes in deliveries of at most `chunk` bytes, the view refreshed
// after every `refreshEvery` deliveries (0: only at the end).
void Feed(TReceiveLog& log, const QByteArray& bytes, qsizetype chunk, int refreshEvery = 0)
{
    int deliveries = 0;
    for (qsizetype at = 0; at < bytes.size(); at += chunk) {
        log.Append(bytes.constData() + at, std::min(chunk, bytes.size() - at));
        if (refreshEvery > 0 && ++deliveries % refreshEvery == 0)
            log.RefreshView();
    }
    log.RefreshView();
}

QByteArray Lines(int first, int count)
{
    QByteArray lines;
    for (int i = first; i < first + count; ++i)
        lines += QByteArray::number(i) + "\r\n";
    return lines;
}

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
    log.Append(Lines(0, 100));
    // The appends alone do not touch the control.
    EXPECT_TRUE(view.toPlainText().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(view.toPlainText().endsWith(QStringLiteral("98\n99\n")), true, 2000);
    EXPECT_EQ(view.blockCount(), 101);
    // Shown from its start, as a frame is read.
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);

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

TEST(ReceiveLog, ViewShowsEachLineEndAsOneBreakAndBytesAsLatin1WhateverTheDeliveries)
{
    const QString mark(TReceiveView::CutMark);
    const QByteArray longLine(MaxLineLength + 10, 'x');
    const QByteArray fullLine(MaxLineLength, 'y');
    const struct {
        QByteArray Bytes;
        QString Shown;
    } cases[] = {
        {"a\r\nb\n\rc\rd\ne", QStringLiteral("a\nb\nc\nd\ne")},
        {"a\r\n\r\nb", QStringLiteral("a\n\nb")},
        {"\r\r\n\n", QStringLiteral("\n\n\n")},
        {"\xe4", QString(QChar(0xe4))},
        {longLine + "\r\n1", QString(MaxLineLength, u'x') + mark + QStringLiteral("\n1")},
        {fullLine + "\r\n" + longLine + longLine, QString::fromLatin1(fullLine) + u'\n' + QString(MaxLineLength, u'x') + mark},
    };
    for (const auto& c : cases) {
        for (const qsizetype chunk : {c.Bytes.size(), qsizetype(1), qsizetype(7)}) {
            QPlainTextEdit view;
            TReceiveLog log(&view);
            Feed(log, c.Bytes, chunk, 3);
            EXPECT_EQ(view.toPlainText(), c.Shown) << c.Bytes.left(40).toStdString() << " in pieces of " << chunk;
            EXPECT_EQ(log.Text(), c.Bytes);
        }
    }
}

TEST(ReceiveLog, StreamWithoutFrameEndStaysBoundedAndShowsTheNewestLines)
{
    const QString mark(TReceiveView::CutMark);
    // Lines of every length up to a long one, far more than the view holds.
    QByteArray lines;
    int count = 0;
    for (; lines.size() < 2 * TReceiveLog::MaxKeptBytes; ++count)
        lines += QByteArray::number(count) + QByteArray(count % 300, '-') + "\r\n";
    const int firstShown = count + 1 - MaxLines;
    const QString first = QString::number(firstShown) + QString(firstShown % 300, u'-');
    const struct {
        QByteArray Stream;
        int Blocks;
        QString First;
        QString Last;
    } cases[] = {
        {lines + "tail", MaxLines, first.size() > MaxLineLength ? first.left(MaxLineLength) + mark : first,
         QStringLiteral("tail")},
        {QByteArray(2 * TReceiveLog::MaxKeptBytes, '7'), 1, QString(MaxLineLength, u'7') + mark,
         QString(MaxLineLength, u'7') + mark},
    };
    for (const auto& c : cases) {
        for (const int refreshEvery : {0, 1, 50}) {
            SCOPED_TRACE(testing::Message() << c.Blocks << " blocks, refreshed every " << refreshEvery);
            QPlainTextEdit view;
            TReceiveLog log(&view);
            Feed(log, c.Stream, 4096, refreshEvery);
            EXPECT_EQ(log.Text(), c.Stream.left(TReceiveLog::MaxKeptBytes));
            ASSERT_EQ(view.blockCount(), c.Blocks);
            EXPECT_EQ(view.document()->firstBlock().text(), c.First);
            EXPECT_EQ(view.document()->lastBlock().text(), c.Last);
            EXPECT_LE(view.document()->characterCount(), MaxLines * (MaxLineLength + 2));

            // Clear, as "Clear" and "Send Exposure" do, gives the memory back.
            log.Clear();
            log.RefreshView();
            EXPECT_TRUE(view.toPlainText().isEmpty());
            EXPECT_LT(log.Text().capacity(), 64 * 1024);
            log.Append(QByteArray("1\r\n"));
            log.RefreshView();
            EXPECT_EQ(view.toPlainText(), QStringLiteral("1\n"));
        }
    }
}

TEST(ReceiveLog, FrameDecodesAsFromTheWholeStreamWhenItsFieldsLieWithinTheBound)
{
    // 2200 fields of readings and then a stream without end: beyond the
    // bound nothing is kept, and nothing beyond the 2200th field is read.
    QByteArray stream = "H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n" + Lines(6, TFrameDecoder::MaxFields);
    while (stream.size() < 2 * TReceiveLog::MaxKeptBytes)
        stream += "1234567\r\n";
    stream += "e";
    QPlainTextEdit view;
    TReceiveLog log(&view);
    Feed(log, stream, 4000, 100);
    auto whole = std::make_unique<TFrameDecoder>();
    auto kept = std::make_unique<TFrameDecoder>();
    EXPECT_TRUE(whole->Decode(stream));
    EXPECT_FALSE(kept->Decode(log.Text()));
    for (int field = 1; field <= TFrameDecoder::MaxFields; ++field) {
        ASSERT_EQ(kept->FieldText(field), whole->FieldText(field)) << field;
        ASSERT_EQ(kept->FieldValue(field), whole->FieldValue(field)) << field;
    }
}

} // namespace
