#include "serial_ui/ComComboBox.h"

#include "serial/CPort.h"
#include "support/SetupDialogDriver.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The items joined by "|".
std::string Items(const TComComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items.join('|').toStdString();
}

TEST(ComComboBoxTest, UnboundListsTheSettingsTextsAndSelectsTheFirst)
{
    const std::pair<TComProperty, std::string> cases[] = {
        {cpNone, ""},
        {cpBaudRate, "Custom|110|300|600|1200|2400|4800|9600|14400|19200|38400|56000|57600|115200|128000|256000"},
        {cpDataBits, "5|6|7|8"},
        {cpStopBits, "1|1.5|2"},
        {cpParity, "None|Odd|Even|Mark|Space"},
        {cpFlowControl, "Hardware|Software|None|Custom"},
    };
    TComComboBox combo;
    EXPECT_FALSE(combo.isEditable());
    EXPECT_FALSE(combo.AutoApply());
    for (const auto& [property, items] : cases) {
        combo.SetComProperty(property);
        EXPECT_EQ(Items(combo), items);
        EXPECT_EQ(combo.Text(), items.substr(0, items.find('|')));
    }
}

TEST(ComComboBoxTest, BindingShowsThePortsValueAndUnlistedPortNamesAreKept)
{
    TComPort port;
    port.SetBaudRate(br115200);
    port.FlowControl().SetControlRTS(rtsEnable); // matches no preset
    port.Parity().SetBits(prMark);
    const std::pair<TComProperty, std::string> cases[] = {
        {cpBaudRate, "115200"}, {cpFlowControl, "Custom"}, {cpParity, "Mark"}, {cpPort, ""}};
    for (const auto& [property, text] : cases) {
        TComComboBox portFirst;
        portFirst.SetComPort(&port);
        portFirst.SetComProperty(property);
        TComComboBox portLast;
        portLast.SetComProperty(property);
        portLast.SetComPort(&port);
        EXPECT_EQ(portFirst.Text(), text);
        EXPECT_EQ(portLast.Text(), text);
        // The value read is the value applied: nothing changes.
        portLast.ApplyToPort();
        EXPECT_EQ(port.BaudRate(), br115200);
        EXPECT_EQ(port.FlowControl().ControlRTS(), rtsEnable);
        EXPECT_EQ(port.Parity().Bits(), prMark);
        EXPECT_EQ(port.Port(), "COM1");
    }
}

TEST(ComComboBoxTest, ChoicesApplyAtOnceOnlyWithAutoApplyAndTextSelectsListedItemsOnly)
{
    TComPort port;
    TComComboBox combo;
    combo.SetComProperty(cpParity);
    combo.SetComPort(&port);
    int changes = 0;
    combo.OnChange = [&](TComComboBox* sender) { changes += sender == &combo; };

    Choose(&combo, "Even");
    EXPECT_EQ(port.Parity().Bits(), prNone);
    combo.ApplyToPort();
    EXPECT_EQ(port.Parity().Bits(), prEven);

    combo.SetAutoApply(true);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.Text(), "Mark");
    EXPECT_EQ(port.Parity().Bits(), prMark);
    EXPECT_EQ(changes, 2);

    combo.SetText("space");
    EXPECT_EQ(combo.Text(), "Space");
    EXPECT_EQ(port.Parity().Bits(), prSpace);
    combo.SetText("Sometimes");
    EXPECT_EQ(combo.Text(), "Space");
    EXPECT_EQ(changes, 2); // only the operator's choices
}

TEST(ComComboBoxTest, DestroyedPortsLetGoOfTheirControls)
{
    auto port = std::make_unique<TComPort>();
    const TCustomComPort* const bound = port.get();
    TComPort other;
    other.SetBaudRate(br300);
    TComComboBox combo;
    TComComboBox rebound;
    for (TComComboBox* control : {&combo, &rebound}) {
        control->SetComProperty(cpBaudRate);
        control->SetComPort(port.get());
    }
    rebound.SetComPort(&other);
    // A notice may destroy a client that is still to be told, which then
    // removes its notice; a second notice of one client replaces its first.
    auto* destroyedByNotice = new TComComboBox;
    int notices = 0;
    port->FreeNotification(&notices, [&](TCustomComPort*) { notices += 10; });
    port->FreeNotification(&notices, [&](TCustomComPort* sender) {
        notices += sender == bound;
        delete destroyedByNotice;
    });
    destroyedByNotice->SetComPort(port.get());

    Choose(&combo, "9600");
    port.reset();
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(combo.ComPort(), nullptr);
    EXPECT_EQ(combo.Text(), "Custom");
    Choose(&combo, "600");
    combo.ApplyToPort();
    EXPECT_EQ(rebound.ComPort(), &other);
    EXPECT_EQ(rebound.Text(), "300");
}

} // namespace
