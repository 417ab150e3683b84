#pragma once

#include "serial_ui/ComSelect.h"

#include <QComboBox>

#include <functional>
#include <string>

// A drop-down list (no free typing) bound to one setting of a port through
// its own selector: it lists the setting's texts, shows the port's current
// value and writes the operator's choice back, at once with AutoApply or
// when asked.
class TComComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComComboBox(QWidget* parent = nullptr);
    ~TComComboBox() override;

    TCustomComPort* ComPort() const { return select_.ComPort; }
    // Binding a port shows its current value; the link is cleared when the
    // port is destroyed.
    void SetComPort(TCustomComPort* port);
    TComProperty ComProperty() const { return select_.ComProperty; }
    // Refills the list and selects the bound port's value, or the first item
    // when no port is bound.
    void SetComProperty(TComProperty property);
    bool AutoApply() const { return select_.AutoApply; }
    void SetAutoApply(bool value) { select_.AutoApply = value; }

    // The selected item's text; empty when no item is selected.
    std::string Text() const;
    // Selects the item showing text (letter case ignored) and takes its
    // value as if chosen; a text that is not in the list changes nothing.
    void SetText(const std::string& text);

    void ApplyToPort() { select_.ApplyToPort(); }
    // Selects the item of the port's current value, no item when it is not
    // listed; nothing without a port or a property.
    void ReadFromPort();

    // After the operator chose an item.
    std::function<void(TComComboBox* Sender)> OnChange;

protected:
    virtual void TriggerChange();

private:
    void ChosenByUser();
    void PortDestroyed(TCustomComPort* port);

    TComSelect select_;
};
