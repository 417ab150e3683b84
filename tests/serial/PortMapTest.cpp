#include "serial/posix/PortMap.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class PortMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        const char* old = std::getenv("XDG_CONFIG_HOME");
        if (old)
            savedConfigHome = old;
        setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);
    }
    void TearDown() override
    {
        if (savedConfigHome.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", savedConfigHome.c_str(), 1);
    }

    QTemporaryDir home;
    std::string savedConfigHome;
};

TEST_F(PortMapTest, NamesResolveToPathsMapEntriesOrDevices)
{
    EXPECT_EQ(PortMap::Directory(), std::filesystem::path(home.path().toStdString()) / "mirelda" / "ports");
    EXPECT_EQ(PortMap::ResolveDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(PortMap::ResolveDevicePath("COM11"), "/dev/COM11");

    PortMap::Register("COM11", "/dev/pts/7");
    EXPECT_EQ(PortMap::ResolveDevicePath("COM11"), "/dev/pts/7");
    PortMap::Register("COM11", "/dev/pts/9");
    EXPECT_EQ(PortMap::ResolveDevicePath("COM11"), "/dev/pts/9");

    PortMap::Unregister("COM11");
    EXPECT_EQ(PortMap::ResolveDevicePath("COM11"), "/dev/COM11");
    PortMap::Unregister("COM11");
}

TEST_F(PortMapTest, NamesWithSeparatorsNeverReadTheMap)
{
    PortMap::Register("COM1", "/dev/pts/7");
    EXPECT_EQ(PortMap::ResolveDevicePath("../ports/COM1"), "/dev/../ports/COM1");
}

} // namespace
