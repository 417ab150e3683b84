#include "serial_ui/ComSetupFrm.h"

#include "serial/CPort.h"
#include "serial_ui/ComComboBox.h"
#include "support/PtyPair.h"
#include "support/SetupDialogDriver.h"

#include <QPushButton>

#include <termios.h>

#include <gtest/gtest.h>

namespace {

// Records the line settings that reach the open device.
class TRecordingPort : public TComPort {
public:
    void ApplyLineSettings() override
    {
        if (Connected() && UpdateCount() == 0)
            Applied.push_back(MakeDeviceControlBlock(*this));
        TComPort::ApplyLineSettings();
    }

    std::vector<TDeviceControlBlock> Applied;
};

TEST(SetupDialogPortTest, OkReconfiguresAnOpenDeviceOnce)
{
    TPtyPair line;
    TRecordingPort port;
    port.SetPort(line.SlavePath()); // a pseudo-terminal is not listed
    port.Connect();
    port.Applied.clear();
    WhenSetupShown([](TComSetupFrm& form) {
        Choose(form.Combo5, "Even");
        Choose(form.Combo6, "Hardware");
        form.Button1->click();
    });
    port.ShowSettingsDialog();

    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.Port(), line.SlavePath());
    ASSERT_EQ(port.Applied.size(), 1u);
    // A pseudo-terminal drops parity: it is checked in what was applied.
    EXPECT_EQ(port.Applied[0].Parity, 2);
    EXPECT_EQ(port.Applied[0].Flags & (Comm::DcbParity | Comm::DcbOutxCtsFlow | Comm::DcbRtsControlMask),
              Comm::DcbOutxCtsFlow | Comm::DcbRtsControlHandshake);
    termios device{};
    ASSERT_EQ(tcgetattr(line.SlaveFd(), &device), 0);
    EXPECT_NE(device.c_cflag & CRTSCTS, 0u);
}

} // namespace
