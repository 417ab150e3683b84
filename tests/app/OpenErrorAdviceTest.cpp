#include "AppTestSupport.h"

#include "app/OpenErrorAdvice.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "support/PtyPair.h"

#include <QTemporaryFile>

#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The advice for what opening the port named `name` raises, on a system
// whose only serial ports are those of the port map.
std::string AdviceOnOpening(const std::string& name)
{
    TComPort port;
    port.SetPort(name);
    try {
        port.Connect();
    } catch (const EComPort& error) {
        return OpenErrorAdvice(error, name, "/nonexistent/sys/class/tty");
    }
    return "opened";
}

// The same, by a child process that has become the user nobody.
std::string AdviceOnOpeningAsNobody(const std::string& path)
{
    int fds[2];
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || pipe(fds) != 0)
        return "no user nobody or no pipe";
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
            _exit(1);
        const std::string advice = AdviceOnOpening(path);
        _exit(write(fds[1], advice.data(), advice.size()) == ssize_t(advice.size()) ? 0 : 1);
    }
    close(fds[1]);
    char buffer[4096];
    const ssize_t length = read(fds[0], buffer, sizeof buffer);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return std::string(buffer, size_t(std::max<ssize_t>(length, 0)));
}

class OpenErrorAdviceTest : public ::testing::Test {
protected:
    TTemporaryConfigHome configHome;
    TPtyPair line;
    const std::string map = PortMap::Directory().string();
};

TEST_F(OpenErrorAdviceTest, NamesThePathTheReasonAndWhereTheNameCameFrom)
{
    PortMap::Register("COM11", "/nonexistent/pts/99");
    PortMap::Register("COM7", line.SlavePath());
    QTemporaryFile plainFile;
    ASSERT_TRUE(plainFile.open());
    const std::string file = plainFile.fileName().toStdString();
    ASSERT_EQ(flock(line.SlaveFd(), LOCK_EX), 0);

    const std::pair<std::string, std::string> cases[] = {
        {"COM11", "There is no device /nonexistent/pts/99 (No such file or directory).\n"
                  "The port map (" + map + ") gives COM11 as /nonexistent/pts/99.\nPorts that exist: COM7."},
        {"COM12", "There is no device /dev/COM12 (No such file or directory).\n"
                  "COM12 is not in the port map (" + map + "), so it names /dev/COM12; "
                  "a link of that name in the port map points it to a device.\nPorts that exist: COM7."},
        {"/nonexistent/tty", "There is no device /nonexistent/tty (No such file or directory).\n"
                             "Ports that exist: COM7."},
        {line.SlavePath(), line.SlavePath() + " is in use by another program (Device or resource busy). "
                                              "Close that program, or choose another port."},
        {file, file + " is not a serial device (Inappropriate ioctl for device). Choose another port."},
    };
    for (const auto& [name, advice] : cases)
        EXPECT_EQ(AdviceOnOpening(name), advice) << name;

    // Other failures are explained where the device is to blame.
    const std::string path = line.SlavePath();
    EXPECT_EQ(OpenErrorAdvice(EComPort(CE_SetStateFailed, EINVAL), path),
              "The device " + path + " refused the port's settings (Invalid argument). "
                                     "Check the baud rate and the other serial settings.");
    EXPECT_EQ(OpenErrorAdvice(EComPort(CE_WriteFailed, EIO), path),
              "The device " + path + " is gone (Input/output error). Plug it in again, then close and open the port.");
    EXPECT_EQ(OpenErrorAdvice(EComPort(CE_OpenFailed, ENXIO), path),
              "No device answers at " + path + " (No such device or address): the hardware behind it is missing. "
                                               "Check the cable, or choose another port.");
    for (const EComPort& unexplained : {EComPort(CE_WriteFailed, EAGAIN), EComPort(CE_ConnChangeProp, -1)})
        EXPECT_EQ(OpenErrorAdvice(unexplained, path), "");
    EXPECT_EQ(OpenErrorAdvice(EConvertError("'x' is not a valid integer value"), path), "");
}

TEST_F(OpenErrorAdviceTest, APermissionErrorNamesTheGroupToJoinWhereThatHelps)
{
    const group* dialout = getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    const std::string path = line.SlavePath();
    const std::string refused = "You may not open " + path + " (Permission denied)";
    ASSERT_EQ(chown(path.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    EXPECT_EQ(AdviceOnOpeningAsNobody(path), refused + ". It belongs to the group dialout; add yourself to that "
                                                       "group with\n    sudo usermod -aG dialout $USER\n"
                                                       "then log out and in again.");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(AdviceOnOpeningAsNobody(path),
              refused + ", and no group of users may either. Ask the administrator for access to it.");
}

} // namespace
