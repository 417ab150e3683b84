#include "graph/Controls.h"

#include "graph/CheckListBox.h"
#include "graph/XYGraph.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TControls::TControls(TXYGraph& owner) : owner_(owner) {}

TControls::~TControls() = default;

QObject* TControls::Reference(int first, int count, int position) const
{
    return position >= 0 && position < count ? references_[std::size_t(first + position)] : nullptr;
}

QWidget* TControls::Output(int position) const
{
    return static_cast<QWidget*>(Reference(0, OutputCount, position));
}

QLineEdit* TControls::Edit(int position) const
{
    return static_cast<QLineEdit*>(Reference(FirstEdit, EditCount, position));
}

QPushButton* TControls::Button(int position) const
{
    return static_cast<QPushButton*>(Reference(FirstButton, ButtonCount, position));
}

QRadioButton* TControls::RadioButton(int position) const
{
    return static_cast<QRadioButton*>(Reference(FirstRadioButton, RadioButtonCount, position));
}

QCheckBox* TControls::CheckBox(int position) const
{
    return static_cast<QCheckBox*>(Reference(FirstCheckBox, CheckBoxCount, position));
}

TCheckListBox* TControls::CheckListBox(int position) const
{
    return static_cast<TCheckListBox*>(Reference(FirstCheckListBox, CheckListBoxCount, position));
}

// Stores the reference and watches the control's destruction; false when
// there is no such property or no control to hook.
bool TControls::Store(int first, int count, int position, QObject* control)
{
    if (position < 0 || position >= count)
        return false;
    references_[std::size_t(first + position)] = control;
    if (!control)
        return false;
    connect(control, &QObject::destroyed, this, &TControls::ControlDestroyed, Qt::UniqueConnection);
    return true;
}

void TControls::SetOutput(int position, QWidget* control)
{
    Store(0, OutputCount, position, control);
}

void TControls::SetEdit(int position, QLineEdit* control)
{
    if (!Store(FirstEdit, EditCount, position, control))
        return;
    control->removeEventFilter(this);
    control->installEventFilter(this);
    disconnect(control, &QLineEdit::returnPressed, this, nullptr);
    connect(control, &QLineEdit::returnPressed, this, [this, control] { EditExited(control); });
}

// Buttons and check lists run their handler from an event of its own, after
// the click: a failure leaving the handler (the curve list's index error)
// then reaches the application's handler without unwinding through the
// toolkit's mouse handling, which would leave it half done. Radio buttons and check boxes follow their check
// mark at once, also when the graph sets it.
void TControls::SetButton(int position, QPushButton* control)
{
    if (!Store(FirstButton, ButtonCount, position, control))
        return;
    disconnect(control, &QAbstractButton::clicked, this, nullptr);
    connect(control, &QAbstractButton::clicked, this, [this, control] { owner_.ControlButtonClick(control); },
            Qt::QueuedConnection);
}

void TControls::SetRadioButton(int position, QRadioButton* control)
{
    if (!Store(FirstRadioButton, RadioButtonCount, position, control))
        return;
    disconnect(control, &QAbstractButton::toggled, this, nullptr);
    connect(control, &QAbstractButton::toggled, this, [this, control](bool checked) {
        if (checked)
            owner_.ModeRadioClick(control);
    });
}

void TControls::SetCheckBox(int position, QCheckBox* control)
{
    if (!Store(FirstCheckBox, CheckBoxCount, position, control))
        return;
    disconnect(control, &QAbstractButton::toggled, this, nullptr);
    connect(control, &QAbstractButton::toggled, this, [this, control] { owner_.OptionCheckClick(control); });
}

void TControls::SetCheckListBox(int position, TCheckListBox* control)
{
    if (!Store(FirstCheckListBox, CheckListBoxCount, position, control))
        return;
    disconnect(control, &TCheckListBox::ItemCheckClicked, this, nullptr);
    connect(control, &TCheckListBox::ItemCheckClicked, this, [this, control] { owner_.ListCheckClick(control); },
            Qt::QueuedConnection);
}

bool TControls::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        EditExited(watched);
    return false;
}

// Focus leaves an edit in the middle of the toolkit's handling of a click
// elsewhere: the handler runs after it, like those of the buttons.
void TControls::EditExited(QObject* edit)
{
    QMetaObject::invokeMethod(
        this,
        [this, edit] {
            if (edit == references_[FirstEdit])
                owner_.XInExit(edit);
            else if (edit == references_[FirstEdit + 1])
                owner_.YInExit(edit);
        },
        Qt::QueuedConnection);
}

void TControls::ControlDestroyed(QObject* control)
{
    for (QObject*& reference : references_)
        if (reference == control)
            reference = nullptr;
}
