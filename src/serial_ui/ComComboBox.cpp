#include "serial_ui/ComComboBox.h"

#include "serial/ComPort.h"

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent)
{
    select_.Items = this;
    setEditable(false);
    // Only the operator's choices count, not selections made by code.
    connect(this, &QComboBox::activated, this, &TComComboBox::ChosenByUser);
}

TComComboBox::~TComComboBox()
{
    if (select_.ComPort)
        select_.ComPort->RemoveFreeNotification(this);
}

void TComComboBox::SetComPort(TCustomComPort* port)
{
    if (port == select_.ComPort)
        return;
    if (select_.ComPort)
        select_.ComPort->RemoveFreeNotification(this);
    select_.ComPort = port;
    if (!port)
        return;
    port->FreeNotification(this, [this](TCustomComPort* sender) { PortDestroyed(sender); });
    ReadFromPort();
}

void TComComboBox::SetComProperty(TComProperty property)
{
    select_.FillItems(property);
    if (count() == 0)
        return;
    if (select_.ComPort)
        ReadFromPort();
    else
        setCurrentIndex(0);
}

std::string TComComboBox::Text() const
{
    return currentIndex() < 0 ? std::string() : currentText().toLatin1().toStdString();
}

void TComComboBox::SetText(const std::string& text)
{
    const int index = select_.IndexOf(text);
    if (index < 0)
        return;
    setCurrentIndex(index);
    select_.SelectText(Text());
}

void TComComboBox::ReadFromPort()
{
    if (const std::optional<int> index = select_.ReadFromPort())
        setCurrentIndex(*index);
}

void TComComboBox::TriggerChange()
{
    if (OnChange)
        OnChange(this);
}

void TComComboBox::ChosenByUser()
{
    select_.SelectText(Text());
    TriggerChange();
}

void TComComboBox::PortDestroyed(TCustomComPort* port)
{
    if (port != select_.ComPort)
        return;
    select_.ComPort = nullptr;
    if (count() > 0)
        setCurrentIndex(0);
}
