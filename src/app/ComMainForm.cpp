#include "app/ComMainForm.h"

#include "app/MeasurementMenu.h"
#include "app/CalibrationMenu.h"
#include "app/OperatorMenu.h"
#include "app/ReceiveLog.h"
#include "common/ClassicFonts.h"
#include "graph/Graph.h"
#include "serial/CPort.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left, top, width, height);
    return control;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("  Spectroscopy Research by Tavelin"));
    SubstituteClassicFonts();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(14);
    setFont(font);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    move(399, 183);
    setFixedSize(1300, 380);

    CreateControls();
    SetTabOrder();
    FLog = new TReceiveLog(Memo, this);
    LoadGraphSettings();
    LoadPortSettings();
    ConnectHandlers();
    FOperatorMenu = new TOperatorMenu(*this);
    FMeasurementMenu = new TMeasurementMenu(*this);
    FCalibrationMenu = new TCalibrationMenu(*this);
}

TForm1::~TForm1()
{
    // The port closes while the controls its handlers touch, and the port
    // itself, still exist: a delivery already under way runs inside the
    // close. Only then does the port go.
    ComPort->Disconnect();
    ComPort.reset();
}

void TForm1::CreateControls()
{
    Label1 = Place(new QLabel(QStringLiteral("Offset"), this), "Label1", 264, 280, 34, 16);
    Label2 = Place(new QLabel(QStringLiteral("Gain"), this), "Label2", 264, 312, 28, 16);
    // Labels size themselves to their caption, which this font draws a
    // little wider than the layout's font did.
    for (QLabel* label : {Label1, Label2})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());

    Memo = Place(new QPlainTextEdit(this), "Memo", 24, 8, 121, 305);
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Button_Open = Place(new QPushButton(QStringLiteral("Open Com"), this), "Button_Open", 173, 8, 123, 31);
    Edit_Data = Place(new QLineEdit(this), "Edit_Data", 175, 47, 121, 24);
    Button_Send = Place(new QPushButton(QStringLiteral("Send Exposure"), this), "Button_Send", 173, 76, 123, 31);
    Button_Send->setDefault(true);
    Button_Send->setEnabled(false);

    GroupBox1 = Place(new QGroupBox(QStringLiteral(" Settings Serial "), this), "GroupBox1", 156, 121, 148, 144);
    Button_Settings = Place(new QPushButton(QStringLiteral("Settings"), GroupBox1), "Button_Settings", 28, 23, 93, 26);
    NewLine_CB = Place(new QCheckBox(QStringLiteral("Send new line"), GroupBox1), "NewLine_CB", 27, 58, 110, 21);
    NewLine_CB->setChecked(true);
    Bt_Store = Place(new QPushButton(QStringLiteral("Store"), GroupBox1), "Bt_Store", 28, 83, 93, 22);
    Bt_Load = Place(new QPushButton(QStringLiteral("Load"), GroupBox1), "Bt_Load", 28, 111, 93, 26);

    Button1 = Place(new QPushButton(QStringLiteral("Clear"), this), "Button1", 21, 321, 123, 31);
    Button1->setDefault(true);
    XYGraph1 = new TXYGraph(this);
    XYGraph1->setObjectName(QStringLiteral("XYGraph1"));
    Button2 = Place(new QPushButton(QStringLiteral("Reset Axis"), this), "Button2", 172, 338, 117, 31);
    Edit1 = Place(new QLineEdit(QStringLiteral("0"), this), "Edit1", 176, 272, 81, 24);
    Edit2 = Place(new QLineEdit(QStringLiteral("1"), this), "Edit2", 176, 304, 81, 24);
}

void TForm1::SetTabOrder()
{
    const QList<QWidget*> order{Memo,    Button_Open, Edit_Data, Button_Send, Bt_Store, Bt_Load,
                                NewLine_CB, Button_Settings, Button1, Button2, Edit1, Edit2};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TForm1::ConnectHandlers()
{
    // Each click handler runs from an event of its own, right after the
    // click: an error leaving it reaches the application's handler without
    // unwinding through the toolkit's mouse handling, which would leave that
    // half done (a stale mouse grab that swallows the operator's next click).
    const auto connectClick = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler, Qt::QueuedConnection);
    };
    connectClick(Button_Open, &TForm1::Button_OpenClick);
    connectClick(Button_Send, &TForm1::Button_SendClick);
    connectClick(Bt_Store, &TForm1::Bt_StoreClick);
    connectClick(Bt_Load, &TForm1::Bt_LoadClick);
    connectClick(Button1, &TForm1::Button1Click);
    connectClick(Button2, &TForm1::Button2Click);
    connectClick(Button_Settings, &TForm1::Button_SettingsClick);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TForm1::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the focused button, else the first enabled default
    // button; Qt applies default buttons only inside dialogs.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        for (QPushButton* button : {focused, Button_Send, Button1}) {
            if (button && button->isEnabled()) {
                button->click();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void TForm1::FormShow() {}
