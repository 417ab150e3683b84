#include "app/ReceiveView.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextCursor>

#include <algorithm>

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// Pending text kept between two refreshes is not given back below this;
// a burst beyond it is.
constexpr qsizetype KeptPendingCapacity = 64 * 1024;

bool IsLineEnd(char c)
{
    return c == CR || c == LF;
}

} // namespace

TReceiveView::TReceiveView(QPlainTextEdit* control) : FControl(control)
{
    // Without an undo history nothing of the dropped lines stays behind.
    FControl->document()->setUndoRedoEnabled(false);
}

void TReceiveView::Add(const char* data, qsizetype count)
{
    const char* const end = data + count;
    while (data < end) {
        if (!IsLineEnd(*data)) {
            const char* const runEnd = std::find_if(data, end, IsLineEnd);
            AddCharacters(data, runEnd - data);
            FLastLineEnd = 0;
            data = runEnd;
            continue;
        }
        // The second half of a CR LF or LF CR pair, also when the pair came
        // split across two deliveries.
        if (FLastLineEnd != 0 && FLastLineEnd != *data) {
            FLastLineEnd = 0;
        } else {
            AddLineBreak();
            FLastLineEnd = *data;
        }
        ++data;
    }
}

void TReceiveView::AddCharacters(const char* data, qsizetype count)
{
    const qsizetype room = std::max<qsizetype>(0, MaxLineLength - FColumn);
    const qsizetype shown = std::min(count, room);
    FPending.append(QLatin1StringView(data, shown));
    FColumn += int(shown);
    if (count > shown && FColumn == MaxLineLength) {
        FPending.append(CutMark);
        ++FColumn;
    }
}

void TReceiveView::AddLineBreak()
{
    FPending.append(u'\n');
    FColumn = 0;
    // Done once per MaxLines new lines, this keeps the pending text bounded
    // however fast lines come.
    if (++FPendingBreaks >= 2 * qsizetype(MaxLines))
        DropPendingLinesOutOfView();
}

void TReceiveView::DropPendingLinesOutOfView()
{
    // Only the last MaxLines lines can be seen: the text after the last
    // MaxLines - 1 breaks. The pending text then fills the view alone.
    qsizetype cut = 0;
    for (qsizetype dropped = 0; dropped <= FPendingBreaks - MaxLines; ++dropped)
        cut = FPending.indexOf(u'\n', cut) + 1;
    FPending.remove(0, cut);
    FPendingBreaks = MaxLines - 1;
    FReplace = true;
}

void TReceiveView::Clear()
{
    FPending.clear();
    FPendingBreaks = 0;
    FReplace = true;
    FLastLineEnd = 0;
    FColumn = 0;
}

void TReceiveView::Show()
{
    // The control never takes more lines at once than it shows.
    if (FPendingBreaks >= MaxLines)
        DropPendingLinesOutOfView();
    if (FReplace) {
        FControl->clear();
        FReplace = false;
    }
    if (FPending.isEmpty())
        return;
    QTextDocument* document = FControl->document();
    QTextCursor cursor(document);
    // One edit, so that the control lays out and repaints once for both.
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(FPending);
    const int excess = document->blockCount() - MaxLines;
    if (excess > 0) {
        // Selected by position: the control's own line limit moves by
        // blocks, which lays out every line it drops.
        cursor.setPosition(0);
        cursor.setPosition(document->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
    if (FPending.capacity() > KeptPendingCapacity)
        FPending.clear();
    else
        FPending.resize(0);
    FPendingBreaks = 0;
}
