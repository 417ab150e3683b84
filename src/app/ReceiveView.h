#pragma once

#include <QString>

class QPlainTextEdit;

// What the operator sees of the receive log: its newest lines in the text
// control, each byte as its Latin-1 character and each line end (CR LF,
// LF CR, a lone CR or LF) as one line break.
//
// Received bytes are converted once, as they come, and only what is new
// goes into the control, so showing text costs in proportion to the text
// added, never to the text held. The control keeps at most MaxLines lines;
// a line longer than MaxLineLength characters shows its start followed by
// CutMark. Both bounds lie far beyond the largest frame (2200 short
// fields), so a frame is always shown whole.
class TReceiveView {
public:
    static constexpr int MaxLines = 4096;
    static constexpr int MaxLineLength = 256;
    static constexpr QChar CutMark{0x2026}; // horizontal ellipsis

    explicit TReceiveView(QPlainTextEdit* control);

    void Add(const char* data, qsizetype count);
    // Empties the view; the control follows at the next Show().
    void Clear();

    // Whether the control lags behind what was added or cleared.
    bool Stale() const { return FReplace || !FPending.isEmpty(); }
    // Brings the control up to date.
    void Show();

private:
    void AddCharacters(const char* data, qsizetype count);
    void AddLineBreak();
    void DropPendingLinesOutOfView();

    QPlainTextEdit* FControl;
    // Converted text not yet in the control; never more than twice the
    // control's lines.
    QString FPending;
    qsizetype FPendingBreaks = 0;
    // The control's text goes before the pending text is added: the view was
    // cleared, or the pending text alone fills it.
    bool FReplace = false;
    char FLastLineEnd = 0; // the line end just seen, if the previous byte was one
    int FColumn = 0;       // characters of the current line so far, up to one past MaxLineLength
};
