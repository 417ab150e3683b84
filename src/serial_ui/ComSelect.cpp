#include "serial_ui/ComSelect.h"

#include "serial/ComPort.h"
#include "serial/ComTexts.h"
#include "serial_ui/SerialPorts.h"

#include <QComboBox>

#include <array>
#include <string_view>
#include <vector>

namespace {

template <std::size_t N>
void AddTexts(QComboBox& items, const std::array<std::string_view, N>& texts)
{
    for (std::string_view text : texts)
        items.addItem(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

// The text form of the port's current value of property.
std::string CurrentText(const TCustomComPort& port, TComProperty property)
{
    switch (property) {
    case cpPort:
        return port.Port();
    case cpBaudRate:
        return BaudRateToText(port.BaudRate());
    case cpDataBits:
        return DataBitsToText(port.DataBits());
    case cpStopBits:
        return StopBitsToText(port.StopBits());
    case cpParity:
        return ParityToText(port.Parity().Bits());
    case cpFlowControl:
        return FlowControlToText(port.FlowControl().FlowControl());
    case cpNone:
        break;
    }
    return {};
}

} // namespace

void TComSelect::FillItems(TComProperty property)
{
    ComProperty = property;
    if (!Items)
        return;
    Items->clear();
    switch (property) {
    case cpNone:
        break;
    case cpPort: {
        std::vector<std::string> ports;
        ListSerialPorts(ports);
        for (const std::string& port : ports)
            Items->addItem(QString::fromLatin1(port.data(), qsizetype(port.size())));
        break;
    }
    case cpBaudRate:
        AddTexts(*Items, BaudRateTexts);
        break;
    case cpDataBits:
        AddTexts(*Items, DataBitsTexts);
        break;
    case cpStopBits:
        AddTexts(*Items, StopBitsTexts);
        break;
    case cpParity:
        AddTexts(*Items, ParityBitsTexts);
        break;
    case cpFlowControl:
        AddTexts(*Items, FlowControlTexts);
        break;
    }
}

void TComSelect::StoreText(const std::string& text)
{
    switch (ComProperty) {
    case cpNone:
        break;
    case cpPort:
        Port = text;
        break;
    case cpBaudRate:
        BaudRate = TextToBaudRate(text);
        break;
    case cpDataBits:
        DataBits = TextToDataBits(text);
        break;
    case cpStopBits:
        StopBits = TextToStopBits(text);
        break;
    case cpParity:
        Parity = TextToParity(text);
        break;
    case cpFlowControl:
        FlowControl = TextToFlowControl(text);
        break;
    }
}

void TComSelect::SelectText(const std::string& text)
{
    StoreText(text);
    if (AutoApply)
        ApplyToPort();
}

void TComSelect::ApplyToPort()
{
    if (!ComPort)
        return;
    switch (ComProperty) {
    case cpNone:
        break;
    case cpPort:
        ComPort->SetPort(Port);
        break;
    case cpBaudRate:
        ComPort->SetBaudRate(BaudRate);
        break;
    case cpDataBits:
        ComPort->SetDataBits(DataBits);
        break;
    case cpStopBits:
        ComPort->SetStopBits(StopBits);
        break;
    case cpParity:
        ComPort->Parity().SetBits(Parity);
        break;
    case cpFlowControl:
        ComPort->FlowControl().SetFlowControl(FlowControl);
        break;
    }
}

std::optional<int> TComSelect::ReadFromPort()
{
    if (!ComPort || ComProperty == cpNone)
        return std::nullopt;
    const std::string current = CurrentText(*ComPort, ComProperty);
    const int index = IndexOf(current);
    // A port name that is not listed cannot be shown, but it is still the
    // port's: applying keeps it instead of writing an older or empty name.
    if (index >= 0)
        StoreText(Items->itemText(index).toLatin1().toStdString());
    else if (ComProperty == cpPort)
        Port = current;
    return index;
}

int TComSelect::IndexOf(std::string_view text) const
{
    const int count = Items ? Items->count() : 0;
    for (int index = 0; index < count; ++index) {
        if (SameText(Items->itemText(index).toLatin1().toStdString(), text))
            return index;
    }
    return -1;
}
