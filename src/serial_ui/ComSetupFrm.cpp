#include "serial_ui/ComSetupFrm.h"

#include "common/ClassicFonts.h"
#include "serial/ComPort.h"
#include "serial_ui/ComComboBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <memory>

namespace {

template <typename Control>
Control* Named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A label sizes itself to its caption.
QLabel* PlaceLabel(QLabel* label, const char* name, int left, int top)
{
    Named(label, name)->move(left, top);
    label->adjustSize();
    return label;
}

// Drop-down lists take the height this font gives them on the desktop the
// layout was made on, so that the rows keep their spacing.
constexpr int SelectorHeight = 21;

TComComboBox* PlaceSelector(QWidget* parent, const char* name, int top, TComProperty property)
{
    auto* selector = Named(new TComComboBox(parent), name);
    selector->setGeometry(80, top, 129, SelectorHeight);
    selector->SetComProperty(property);
    return selector;
}

} // namespace

TComSetupFrm::TComSetupFrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ComSetupFrm"));
    setWindowTitle(QStringLiteral("Setup"));
    SubstituteClassicFonts();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);
    // A fixed dialog border: no resizing, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(231, 216);
    // Centred on the screen; the window manager's frame is not known before
    // the dialog is shown.
    const QRect screenArea = screen()->geometry();
    move(screenArea.x() + (screenArea.width() - width()) / 2, screenArea.y() + (screenArea.height() - height()) / 2);

    Button1 = Named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    Button1->setGeometry(70, 184, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button2 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");
    Button2->setGeometry(150, 184, 75, 25);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    GroupBox1 = Named(new QGroupBox(QStringLiteral(" Settings "), this), "GroupBox1");
    GroupBox1->setGeometry(8, 8, 217, 169);
    Label1 = PlaceLabel(new QLabel(QStringLiteral("Port"), GroupBox1), "Label1", 8, 24);
    Label2 = PlaceLabel(new QLabel(QStringLiteral("Baud rate"), GroupBox1), "Label2", 8, 48);
    Label3 = PlaceLabel(new QLabel(QStringLiteral("Data bits"), GroupBox1), "Label3", 8, 72);
    Label4 = PlaceLabel(new QLabel(QStringLiteral("Stop bits"), GroupBox1), "Label4", 8, 96);
    Label5 = PlaceLabel(new QLabel(QStringLiteral("Parity"), GroupBox1), "Label5", 8, 120);
    Label6 = PlaceLabel(new QLabel(QStringLiteral("Flow control"), GroupBox1), "Label6", 8, 144);
    Combo2 = PlaceSelector(GroupBox1, "Combo2", 40, cpBaudRate);
    Combo3 = PlaceSelector(GroupBox1, "Combo3", 64, cpDataBits);
    Combo4 = PlaceSelector(GroupBox1, "Combo4", 88, cpStopBits);
    Combo5 = PlaceSelector(GroupBox1, "Combo5", 112, cpParity);
    Combo6 = PlaceSelector(GroupBox1, "Combo6", 136, cpFlowControl);
    Combo1 = PlaceSelector(GroupBox1, "Combo1", 16, cpPort);

    // "OK", "Cancel", then the selectors from the port name down.
    QWidget* previous = Button2;
    QWidget::setTabOrder(Button1, Button2);
    for (TComComboBox* selector : Selectors()) {
        QWidget::setTabOrder(previous, selector);
        previous = selector;
    }
}

void TCustomComPort::ShowSettingsDialog()
{
    const auto dialog = std::make_unique<TComSetupFrm>();
    const auto selectors = dialog->Selectors();
    for (TComComboBox* selector : selectors)
        selector->SetComPort(this);
    for (TComComboBox* selector : selectors)
        selector->ReadFromPort();
    if (dialog->exec() != QDialog::Accepted)
        return;

    BeginSettingsChange();
    try {
        for (TComComboBox* selector : selectors)
            selector->ApplyToPort();
    } catch (...) {
        // The batch is closed on failure too, or no later setting change
        // would ever reach the device. The first error is the one reported.
        try {
            EndSettingsChange();
        } catch (const std::exception&) {
        }
        throw;
    }
    EndSettingsChange();
}
