#pragma once

#include "serial/ComTypes.h"

#include <optional>
#include <string>
#include <string_view>

class QComboBox;
class TCustomComPort;

// The port setting a selector is bound to.
enum TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

// Binds one list of texts to one setting of a port: fills the list with the
// setting's text forms (or the installed ports), finds the port's current
// value in it and writes the chosen value back, at once or when asked.
// Only the value field of ComProperty is used. The fields start zeroed,
// which is the value of each list's first item.
class TComSelect {
public:
    // Records the property and refills Items with its texts.
    void FillItems(TComProperty property);
    // Takes a chosen item's text as the selected value; applies it at once
    // when AutoApply is set.
    void SelectText(const std::string& text);
    // Writes the selected value into the bound port; nothing without one.
    void ApplyToPort();
    // The position of the first item showing the port's current value (letter
    // case ignored), or -1; taking that item's value. Nothing without a port
    // or a property.
    std::optional<int> ReadFromPort();
    // The position of the first item equal to text, letter case ignored, or -1.
    int IndexOf(std::string_view text) const;

    std::string Port;
    TBaudRate BaudRate = brCustom;
    TDataBits DataBits = dbFive;
    TStopBits StopBits = sbOneStopBit;
    TParityBits Parity = prNone;
    TFlowControl FlowControl = fcHardware;
    QComboBox* Items = nullptr; // not owned: the owning control's list
    TComProperty ComProperty = cpNone;
    TCustomComPort* ComPort = nullptr; // not owned
    bool AutoApply = false;

private:
    void StoreText(const std::string& text);
};
