#include "serial_ui/SerialPorts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

// A fake kernel tty class directory and a fake port map.
class SerialPortsTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", root.path().toLocal8Bit().constData(), 1); }

    // An entry of the tty class, with a driver link and a serial type if given.
    void Tty(const std::string& name, bool driver, std::optional<std::string> type = std::nullopt)
    {
        const fs::path entry = ttyClass / name;
        fs::create_directories(entry / "device");
        if (driver)
            fs::create_symlink("../../../bus/platform/drivers/serial", entry / "device" / "driver");
        if (type)
            std::ofstream(entry / "type") << *type;
    }
    void MapEntry(const std::string& name, const fs::path& target)
    {
        fs::create_directories(portMap);
        fs::create_symlink(target, portMap / name);
    }
    std::vector<std::string> Listed()
    {
        std::vector<std::string> list{"stale"};
        ListSerialPorts(list, ttyClass);
        return list;
    }

    QTemporaryDir root;
    const fs::path ttyClass = fs::path(root.path().toStdString()) / "sys-class-tty";
    const fs::path portMap = fs::path(root.path().toStdString()) / "mirelda" / "ports";
};

TEST_F(SerialPortsTest, ListsDevicesWithHardwareAndPresentMapNamesSortedWithoutCase)
{
    EXPECT_TRUE(Listed().empty());
    fs::create_directories(portMap);
    Tty("ttyUSB0", true);
    Tty("ttyACM0", true);
    Tty("ttyS0", true, "4\n");
    Tty("ttyS1", true, "0\n"); // legacy port, no UART behind it
    Tty("ttyAMA0", true, "83\n");
    Tty("ttyp0", false);       // pseudo-terminal
    Tty("ptmx", false);
    Tty("tty1", false);        // virtual console
    Tty("usb!ttyX0", true);    // a device in a subdirectory of /dev
    const fs::path present = ttyClass / "ttyUSB0";
    for (const char* name : {"COM2", "COM10", "COM1", "Com15"})
        MapEntry(name, present);
    MapEntry("COM9", "/nonexistent/device"); // its device is gone
    MapEntry(".COM3.new", present);          // an entry being made
    std::ofstream(portMap / "notes") << "not a link";

    EXPECT_EQ(Listed(), (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyAMA0", "/dev/ttyS0", "/dev/ttyUSB0",
                                                  "/dev/usb/ttyX0", "COM1", "COM10", "Com15", "COM2"}));
}

} // namespace
