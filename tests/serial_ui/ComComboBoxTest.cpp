#include "serial_ui/ComComboBox.h"

#include "serial/CPort.h"
#include "support/SetupDialogDriver.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::vector<std::string> Items(const TComComboBox& combo)
{
    std::vector<std::string> items;
    for (int i = 0; i < combo.count(); ++i)
        items.push_back(combo.itemText(i).toStdString());
    return items;
}

TEST(ComComboBoxTest, UnboundListsTheSettingsTextsAndSelectsTheFirst)
{
    const struct {
        TComProperty property;
        std::vector<std::string> items;
    } cases[] = {
        {cpNone, {}},
        {cpBaudRate, {"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400",
                      "56000", "57600", "115200", "128000", "256000"}},
        {cpDataBits, {"5", "6", "7", "8"}},
        {cpStopBits, {"1", "1.5", "2"}},
        {cpParity, {"None", "Odd", "Even", "Mark", "Space"}},
        {cpFlowControl, {"Hardware", "Software", "None", "Custom"}},
    };
    TComComboBox combo;
    EXPECT_FALSE(combo.isEditable());
    EXPECT_EQ(combo.ComProperty(), cpNone);
    EXPECT_FALSE(combo.AutoApply());
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.property);
        combo.SetComProperty(expected.property);
        EXPECT_EQ(Items(combo), expected.items);
        EXPECT_EQ(combo.Text(), expected.items.empty() ? "" : expected.items.front());
    }
}

TEST(ComComboBoxTest, BindingShowsThePortsValueAndUnlistedPortNamesAreKept)
{
    TComPort port;
    port.SetBaudRate(br115200);
    port.FlowControl().SetControlRTS(rtsEnable); // matches no preset
    port.Parity().SetBits(prMark);
    const struct {
        TComProperty property;
        std::string text;
    } cases[] = {{cpBaudRate, "115200"}, {cpFlowControl, "Custom"}, {cpParity, "Mark"}, {cpPort, ""}};
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.property);
        TComComboBox bindFirst;
        bindFirst.SetComPort(&port);
        bindFirst.SetComProperty(expected.property);
        EXPECT_EQ(bindFirst.Text(), expected.text);
        TComComboBox bindLast;
        bindLast.SetComProperty(expected.property);
        bindLast.SetComPort(&port);
        EXPECT_EQ(bindLast.Text(), expected.text);
        // The value read is the one applied back: nothing changes.
        bindLast.ApplyToPort();
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
    combo.OnChange = [&](TComComboBox* sender) {
        EXPECT_EQ(sender, &combo);
        ++changes;
    };

    Choose(&combo, "Even");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(port.Parity().Bits(), prNone);
    combo.ApplyToPort();
    EXPECT_EQ(port.Parity().Bits(), prEven);

    combo.SetAutoApply(true);
    QTest::keyClick(&combo, Qt::Key_Down); // the operator's own choice
    EXPECT_EQ(combo.Text(), "Mark");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(port.Parity().Bits(), prMark);

    combo.SetText("space");
    EXPECT_EQ(combo.Text(), "Space");
    EXPECT_EQ(port.Parity().Bits(), prSpace);
    combo.SetText("Sometimes");
    EXPECT_EQ(combo.Text(), "Space");
    EXPECT_EQ(changes, 2);
}

TEST(ComComboBoxTest, DestroyedPortsLetGoOfTheirControls)
{
    auto port = std::make_unique<TComPort>();
    TComPort other;
    other.SetBaudRate(br300);
    TComComboBox combo;
    TComComboBox rebound;
    for (TComComboBox* control : {&combo, &rebound}) {
        control->SetComProperty(cpBaudRate);
        control->SetComPort(port.get());
    }
    rebound.SetComPort(&other);
    auto* goneFirst = new TComComboBox;
    goneFirst->SetComPort(port.get());
    delete goneFirst;
    // A notice may destroy another client, which is then not told; a second
    // notice of one client replaces its first.
    auto* destroyedByNotice = new TComComboBox;
    const TCustomComPort* const bound = port.get();
    int notices = 0;
    port->FreeNotification(&notices, [&](TCustomComPort*) { notices += 10; });
    port->FreeNotification(&notices, [&](TCustomComPort* sender) {
        EXPECT_EQ(sender, bound);
        ++notices;
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
