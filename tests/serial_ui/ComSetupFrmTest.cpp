#include "serial_ui/ComSetupFrm.h"

#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "serial_ui/ComComboBox.h"
#include "support/RecordingDevice.h"
#include "support/SetupDialogDriver.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(ComSetupFrmTest, LayoutCaptionsAndTabOrder)
{
    TComSetupFrm form;
    const QRect screen = form.screen()->geometry();
    EXPECT_EQ(form.windowTitle(), "Setup");
    EXPECT_EQ(form.geometry(), QRect((screen.width() - 231) / 2, (screen.height() - 216) / 2, 231, 216));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.font().family(), "MS Sans Serif");
    EXPECT_EQ(form.font().pointSize(), 8);
    EXPECT_EQ(form.GroupBox1->geometry(), QRect(8, 8, 217, 169));
    EXPECT_EQ(form.GroupBox1->title(), " Settings ");
    const char* labels[] = {"Port", "Baud rate", "Data bits", "Stop bits", "Parity", "Flow control"};
    const TComProperty properties[] = {cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl};
    for (int row = 0; row < 6; ++row) {
        const auto* label = form.GroupBox1->findChild<QLabel*>(QStringLiteral("Label%1").arg(row + 1));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pos(), QPoint(8, 24 + 24 * row));
        EXPECT_EQ(label->text(), labels[row]);
        EXPECT_GE(label->width(), label->sizeHint().width());
        const TComComboBox* selector = form.Selectors()[std::size_t(row)];
        EXPECT_EQ(selector->objectName(), QStringLiteral("Combo%1").arg(row + 1));
        EXPECT_EQ(selector->parentWidget(), form.GroupBox1);
        EXPECT_EQ(selector->pos(), QPoint(80, 16 + 24 * row));
        EXPECT_EQ(selector->width(), 129);
        EXPECT_EQ(selector->ComProperty(), properties[row]);
        EXPECT_FALSE(selector->AutoApply());
    }
    EXPECT_EQ(form.Button1->geometry(), QRect(70, 184, 75, 25));
    EXPECT_EQ(form.Button2->geometry(), QRect(150, 184, 75, 25));
    EXPECT_EQ(form.Button1->text(), "OK");
    EXPECT_EQ(form.Button2->text(), "Cancel");
    EXPECT_TRUE(form.Button1->isDefault());

    std::vector<QWidget*> tabOrder{form.Button1};
    for (QWidget* w = form.Button1->nextInFocusChain(); w != form.Button1; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            tabOrder.push_back(w);
    EXPECT_EQ(tabOrder, (std::vector<QWidget*>{form.Button1, form.Button2, form.Combo1, form.Combo2, form.Combo3,
                                               form.Combo4, form.Combo5, form.Combo6}));
}

// A port set up like the acquisition window's, named through a private port
// map that lists COM11 and COM12.
class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
        for (const char* name : {"COM11", "COM12"})
            PortMap::Register(name, configHome.path().toStdString());
        port.SetPort("COM11");
        port.SetBaudRate(br115200);
        port.SetEvents({});
        port.SetDeviceOpener(TRecordingDevice::Opener(script));
    }

    QTemporaryDir configHome;
    std::shared_ptr<TRecordingDevice::TScript> script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
};

TEST_F(SetupDialogTest, ShowsThePortsSettingsAndWritesThemOnlyOnOk)
{
    std::vector<std::string> shown;
    WhenSetupShown([&](TComSetupFrm& form) {
        for (TComComboBox* selector : form.Selectors())
            shown.push_back(selector->Text());
        Choose(form.Combo2, "9600");
        form.Button2->click();
    });
    port.ShowSettingsDialog();
    EXPECT_EQ(shown, (std::vector<std::string>{"COM11", "115200", "8", "1", "None", "None"}));
    EXPECT_EQ(port.BaudRate(), br115200);

    WhenSetupShown([&](TComSetupFrm& form) {
        Choose(form.Combo2, "9600");
        form.close(); // from the title bar
    });
    port.ShowSettingsDialog();
    EXPECT_EQ(port.BaudRate(), br115200);

    WhenSetupShown([&](TComSetupFrm& form) {
        Choose(form.Combo1, "COM12");
        Choose(form.Combo2, "Custom");
        Choose(form.Combo4, "2");
        QTest::keyClick(form.Combo4, Qt::Key_Return); // "OK" is the default button
    });
    port.ShowSettingsDialog();
    EXPECT_EQ(port.Port(), "COM12");
    EXPECT_EQ(port.BaudRate(), brCustom);
    EXPECT_EQ(port.StopBits(), sbTwoStopBits);

    // A port name the list does not show is kept.
    port.SetPort("/dev/unlisted");
    WhenSetupShown([&](TComSetupFrm& form) {
        shown = {form.Combo1->Text()};
        Choose(form.Combo3, "7");
        form.Button1->click();
    });
    port.ShowSettingsDialog();
    EXPECT_EQ(shown, std::vector<std::string>{""});
    EXPECT_EQ(port.Port(), "/dev/unlisted");
    EXPECT_EQ(port.DataBits(), dbSeven);
}

TEST_F(SetupDialogTest, AFailedWriteClosesTheBatchSoLaterChangesReachTheDevice)
{
    port.Connect();
    script->Failures["Open"] = ENOENT;
    WhenSetupShown([&](TComSetupFrm& form) {
        Choose(form.Combo1, "COM12");
        form.Button1->click();
    });
    std::string reported;
    try {
        port.ShowSettingsDialog();
    } catch (const EComPort& error) {
        reported = error.what();
    }
    EXPECT_EQ(reported, "Unable to open com port (Error: 2)");
    EXPECT_EQ(port.UpdateCount(), 0);
    EXPECT_EQ(port.Port(), "COM12");

    script->Failures.clear();
    port.Connect();
    script->Calls.clear();
    port.SetBaudRate(br57600);
    EXPECT_EQ(script->Calls, std::vector<std::string>{"SetState"});
    EXPECT_EQ(script->LastState.BaudRate, 57600u);
}

} // namespace
