#pragma once

#include <QObject>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class TCheckListBox;
class TXYGraph;

// The outside controls attached to a graph: outputs that show its
// read-outs, two edits for typed coordinates, buttons, radio buttons for
// the mouse mode, option check boxes and the two curve lists. Attaching a
// control hooks its event to the graph's handler (replacing any earlier
// hook of this graph on it); a control that is destroyed is detached. The
// record does not own the controls.
//
// The properties come in groups by kind; each group has one setter that
// takes the property's position in the group.
class TControls : public QObject {
    Q_OBJECT
public:
    explicit TControls(TXYGraph& owner);
    ~TControls() override;

    TXYGraph& OwnerGraph() const { return owner_; }

    // Outputs 0 to 6: XOut, YOut, Mode, Curve, Item, Color, Angle.
    void SetOutput(int position, QWidget* control);
    // Edits 0 and 1: XIn, YIn.
    void SetEdit(int position, QLineEdit* control);
    // Buttons 0 to 3: Clear, OpenView, OpenPan, Reset.
    void SetButton(int position, QPushButton* control);
    // Radio buttons 0 to 4: ModeNone, ModeMove, ModeInsert, ModeDelete, ModeCursor.
    void SetRadioButton(int position, QRadioButton* control);
    // Check boxes 0 to 3: AspectRatio, MainGrid, SubGrid, HintPanel.
    void SetCheckBox(int position, QCheckBox* control);
    // Check list boxes 0 and 1: ViewListBox, PanListBox.
    void SetCheckListBox(int position, TCheckListBox* control);

    QWidget* XOut() const { return Output(0); }
    void SetXOut(QWidget* control) { SetOutput(0, control); }
    QWidget* YOut() const { return Output(1); }
    void SetYOut(QWidget* control) { SetOutput(1, control); }
    QWidget* Mode() const { return Output(2); }
    void SetMode(QWidget* control) { SetOutput(2, control); }
    QWidget* Curve() const { return Output(3); }
    void SetCurve(QWidget* control) { SetOutput(3, control); }
    QWidget* Item() const { return Output(4); }
    void SetItem(QWidget* control) { SetOutput(4, control); }
    QWidget* Color() const { return Output(5); }
    void SetColor(QWidget* control) { SetOutput(5, control); }
    QWidget* Angle() const { return Output(6); }
    void SetAngle(QWidget* control) { SetOutput(6, control); }

    QLineEdit* XIn() const { return Edit(0); }
    void SetXIn(QLineEdit* control) { SetEdit(0, control); }
    QLineEdit* YIn() const { return Edit(1); }
    void SetYIn(QLineEdit* control) { SetEdit(1, control); }

    QPushButton* Clear() const { return Button(0); }
    void SetClear(QPushButton* control) { SetButton(0, control); }
    QPushButton* OpenView() const { return Button(1); }
    void SetOpenView(QPushButton* control) { SetButton(1, control); }
    QPushButton* OpenPan() const { return Button(2); }
    void SetOpenPan(QPushButton* control) { SetButton(2, control); }
    QPushButton* Reset() const { return Button(3); }
    void SetReset(QPushButton* control) { SetButton(3, control); }

    QRadioButton* ModeNone() const { return RadioButton(0); }
    void SetModeNone(QRadioButton* control) { SetRadioButton(0, control); }
    QRadioButton* ModeMove() const { return RadioButton(1); }
    void SetModeMove(QRadioButton* control) { SetRadioButton(1, control); }
    QRadioButton* ModeInsert() const { return RadioButton(2); }
    void SetModeInsert(QRadioButton* control) { SetRadioButton(2, control); }
    QRadioButton* ModeDelete() const { return RadioButton(3); }
    void SetModeDelete(QRadioButton* control) { SetRadioButton(3, control); }
    QRadioButton* ModeCursor() const { return RadioButton(4); }
    void SetModeCursor(QRadioButton* control) { SetRadioButton(4, control); }

    QCheckBox* AspectRatio() const { return CheckBox(0); }
    void SetAspectRatio(QCheckBox* control) { SetCheckBox(0, control); }
    QCheckBox* MainGrid() const { return CheckBox(1); }
    void SetMainGrid(QCheckBox* control) { SetCheckBox(1, control); }
    QCheckBox* SubGrid() const { return CheckBox(2); }
    void SetSubGrid(QCheckBox* control) { SetCheckBox(2, control); }
    QCheckBox* HintPanel() const { return CheckBox(3); }
    void SetHintPanel(QCheckBox* control) { SetCheckBox(3, control); }

    TCheckListBox* ViewListBox() const { return CheckListBox(0); }
    void SetViewListBox(TCheckListBox* control) { SetCheckListBox(0, control); }
    TCheckListBox* PanListBox() const { return CheckListBox(1); }
    void SetPanListBox(TCheckListBox* control) { SetCheckListBox(1, control); }

    QWidget* Output(int position) const;
    QLineEdit* Edit(int position) const;
    QPushButton* Button(int position) const;
    QRadioButton* RadioButton(int position) const;
    QCheckBox* CheckBox(int position) const;
    TCheckListBox* CheckListBox(int position) const;

protected:
    // The edits' exit: focus leaving them (or Enter) hands the typed text
    // to the graph.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int OutputCount = 7;
    static constexpr int EditCount = 2;
    static constexpr int ButtonCount = 4;
    static constexpr int RadioButtonCount = 5;
    static constexpr int CheckBoxCount = 4;
    static constexpr int CheckListBoxCount = 2;
    static constexpr int FirstEdit = OutputCount;
    static constexpr int FirstButton = FirstEdit + EditCount;
    static constexpr int FirstRadioButton = FirstButton + ButtonCount;
    static constexpr int FirstCheckBox = FirstRadioButton + RadioButtonCount;
    static constexpr int FirstCheckListBox = FirstCheckBox + CheckBoxCount;
    static constexpr int ReferenceCount = FirstCheckListBox + CheckListBoxCount;

    QObject* Reference(int first, int count, int position) const;
    bool Store(int first, int count, int position, QObject* control);
    void EditExited(QObject* edit);
    void ControlDestroyed(QObject* control);

    TXYGraph& owner_;
    // Kept as plain objects: a control being destroyed is no longer of its
    // own kind when its removal is reported, and is only compared then.
    std::array<QObject*, ReferenceCount> references_{};
};
