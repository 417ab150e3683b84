#include "serial_ui/ComSetupFrm.h"

#include "serial/CPort.h"
#include "serial_ui/ComComboBox.h"
#include "support/PtyPair.h"
#include "support/SetupDialogDriver.h"

#include <QPushButton>

#include <termios.h>

#include <gtest/gtest.h>

namespace {

// Counts the line settings that reach the open device.
class TCountingPort : public TComPort {
public:
    void ApplyLineSettings() override
    {
        if (Connected() && UpdateCount() == 0) {
            ++Applied;
            LastState = MakeDeviceControlBlock(*this);
        }
        TComPort::ApplyLineSettings();
    }

    int Applied = 0;
    TDeviceControlBlock LastState;
};

TEST(SetupDialogPortTest, OkReconfiguresAnOpenDeviceOnce)
{
    TPtyPair line;
    TCountingPort port;
    port.SetPort(line.SlavePath()); // a pseudo-terminal is not listed
    port.Connect();
    port.Applied = 0;
    WhenSetupShown([](TComSetupFrm& form) {
        Choose(form.Combo5, "Even");
        Choose(form.Combo6, "Hardware");
        form.Button1->click();
    });
    port.ShowSettingsDialog();

    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.Port(), line.SlavePath());
    EXPECT_EQ(port.Applied, 1);
    EXPECT_EQ(port.LastState.Parity, 2); // even
    EXPECT_EQ(port.LastState.Flags & (Comm::DcbParity | Comm::DcbOutxCtsFlow | Comm::DcbRtsControlMask),
              Comm::DcbOutxCtsFlow | Comm::DcbRtsControlHandshake);
    EXPECT_EQ(port.FlowControl().ControlRTS(), rtsHandshake);
    EXPECT_TRUE(port.FlowControl().OutCTSFlow());
    EXPECT_FALSE(port.Parity().Check());
    termios device{};
    ASSERT_EQ(tcgetattr(line.SlaveFd(), &device), 0);
    EXPECT_NE(device.c_cflag & CRTSCTS, 0u);
}

} // namespace
