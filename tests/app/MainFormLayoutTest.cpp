#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "app/ReceiveLog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QWidget* NextTabStop(QWidget* widget)
{
    do
        widget = widget->nextInFocusChain();
    while (!(widget->focusPolicy() & Qt::TabFocus));
    return widget;
}

TEST(MainFormLayout, WindowCaptionSizeAndFont)
{
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("  Spectroscopy Research by Tavelin"));
    EXPECT_EQ(form.size(), QSize(1300, 380));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.pos(), QPoint(399, 183));
    EXPECT_EQ(form.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(form.font().pixelSize(), 14);
}

TEST(MainFormLayout, ControlsHaveTheirNamesPlacesAndCaptions)
{
    TForm1 form;
    struct Expected {
        const char* name;
        QWidget* parent;
        QRect geometry;
        QString caption;
    };
    const QList<Expected> controls{
        {"Label1", &form, {264, 280, 34, 16}, "Offset"},
        {"Label2", &form, {264, 312, 28, 16}, "Gain"},
        {"Memo", &form, {24, 8, 121, 305}, ""},
        {"Button_Open", &form, {173, 8, 123, 31}, "Open Com"},
        {"Edit_Data", &form, {175, 47, 121, 24}, ""},
        {"Button_Send", &form, {173, 76, 123, 31}, "Send Exposure"},
        {"GroupBox1", &form, {156, 121, 148, 144}, " Settings Serial "},
        {"Button_Settings", form.GroupBox1, {28, 23, 93, 26}, "Settings"},
        {"NewLine_CB", form.GroupBox1, {27, 58, 110, 21}, "Send new line"},
        {"Bt_Store", form.GroupBox1, {28, 83, 93, 22}, "Store"},
        {"Bt_Load", form.GroupBox1, {28, 111, 93, 26}, "Load"},
        {"Button1", &form, {21, 321, 123, 31}, "Clear"},
        {"Button2", &form, {172, 338, 117, 31}, "Reset Axis"},
        {"Edit1", &form, {176, 272, 81, 24}, "0"},
        {"Edit2", &form, {176, 304, 81, 24}, "1"},
    };
    for (const Expected& expected : controls) {
        SCOPED_TRACE(expected.name);
        auto* control = form.findChild<QWidget*>(QString::fromLatin1(expected.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), expected.parent);
        if (qobject_cast<QLabel*>(control)) {
            // Labels keep their place and grow to fit their caption.
            EXPECT_EQ(control->pos(), expected.geometry.topLeft());
            EXPECT_GE(control->width(), expected.geometry.width());
            EXPECT_GE(control->width(), control->sizeHint().width());
        } else {
            EXPECT_EQ(control->geometry(), expected.geometry);
        }
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            caption = button->text();
        else if (auto* label = qobject_cast<QLabel*>(control))
            caption = label->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            caption = edit->text();
        else if (auto* box = qobject_cast<QGroupBox*>(control))
            caption = box->title();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
            caption = memo->toPlainText();
        EXPECT_EQ(caption, expected.caption);
    }
}

TEST(MainFormLayout, InitialStatesDefaultButtonsAndTabOrder)
{
    TForm1 form;
    EXPECT_FALSE(form.Button_Send->isEnabled());
    EXPECT_TRUE(form.Button_Settings->isEnabled());
    EXPECT_TRUE(form.Button_Open->isEnabled());
    EXPECT_TRUE(form.Bt_Store->isEnabled());
    EXPECT_TRUE(form.Bt_Load->isEnabled());
    EXPECT_TRUE(form.Button1->isEnabled());
    EXPECT_TRUE(form.Button2->isEnabled());
    EXPECT_TRUE(form.NewLine_CB->isChecked());
    EXPECT_TRUE(form.Memo->isReadOnly());
    EXPECT_TRUE(form.Button_Send->isDefault());
    EXPECT_TRUE(form.Button1->isDefault());

    const QList<QWidget*> order{form.Memo,     form.Button_Open, form.Edit_Data,       form.Button_Send,
                                form.Bt_Store, form.Bt_Load,     form.NewLine_CB,      form.Button_Settings,
                                form.Button1,  form.Button2,     form.Edit1,           form.Edit2};
    for (qsizetype i = 1; i < order.size(); ++i)
        EXPECT_EQ(NextTabStop(order[i - 1]), order[i]) << order[i - 1]->objectName().toStdString();
}

TEST(MainFormLayout, ClearEmptiesTheLog)
{
    TForm1 form;
    form.Log().Append(QByteArray("1\r\n2\r\n"));
    ClickButton(form.Button1);
    EXPECT_TRUE(form.Log().Text().isEmpty());
    form.Log().RefreshView();
    EXPECT_TRUE(form.Memo->toPlainText().isEmpty());
}

TEST(MainFormLayout, EnterWithSendDisabledPressesClear)
{
    TForm1 form;
    form.Log().Append(QByteArray("1\r\n"));
    QTest::keyClick(form.Edit_Data, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(form.Log().Text().isEmpty());
}

} // namespace
