#include "AppTestSupport.h"

#include "app/AcquisitionMonitor.h"
#include "app/ComMainForm.h"
#include "app/OperatorMenu.h"
#include "app/ReceiveLog.h"
#include "app/Reconnect.h"
#include "common/Exception.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "support/PtyPair.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The window with COM11 on a pseudo-terminal whose other side plays the device.
class OperatorMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PortMap::Register("COM11", line.SlavePath());
        form.Edit_Data->setText(QStringLiteral("100"));
        ClickButton(form.Button_Open);
        ASSERT_TRUE(form.ComPort->Connected());
    }
    // A frame handed to the port's flag handler, as the event thread does.
    void Plot(const std::vector<std::string>& readings)
    {
        std::string frame = "H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n";
        for (const std::string& reading : readings)
            frame += reading + "\r\n";
        form.Log().Append(QByteArray::fromStdString(frame + "e"));
        form.ComPort->OnRxFlag(form.ComPort.get());
    }
    TOperatorMenu& Menu() { return form.OperatorMenu(); }
    std::vector<std::string> Status() { return Menu().Monitor().Lines(); }

    TTemporaryConfigHome configHome;
    TShownErrors errors;
    TPtyPair line;
    TForm1 form;
};

// The menu as text: entries with their shortcuts, submenus in braces.
QString Describe(const QMenu& menu)
{
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        const QString keys = action->shortcut().isEmpty() ? QString() : u' ' + action->shortcut().toString();
        entries << (action->isSeparator() ? QStringLiteral("-")
                    : action->menu()      ? action->text() + u'{' + Describe(*action->menu()) + u'}'
                                          : action->text() + keys);
    }
    return entries.join(u'|');
}

// The popup a context-menu press on `widget` opens, if any.
QWidget* PopupAfterRightClickOn(QWidget* widget)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(widget, &event);
    QWidget* popup = QApplication::activePopupWidget();
    if (popup)
        popup->close();
    return popup;
}

TEST_F(OperatorMenuTest, TheMenuHoldsTheToolsWithDesktopShortcutsAndOpensBesideTheGraphOnly)
{
    std::unique_ptr<QMenu> menu(Menu().CreateMenu(&form));
    EXPECT_EQ(Describe(*menu), "Save Spectrum... Ctrl+S|Save Picture... Ctrl+Shift+S|Copy Picture Ctrl+C|-|"
                               "Calibrate Wavelength...|Clear Calibration|Export Calibration...|"
                               "Import Calibration...|Label Peaks|-|"
                               "Show Status F2|Average{Off|2 Frames|4 Frames|8 Frames|16 Frames|32 Frames|64 Frames}|"
                               "Take Dark Frame|Clear Dark Frame|Reconnect Automatically|Remote Control on 127.0.0.1:5025|-|"
                               "Help F1|Quit Ctrl+Q");
    EXPECT_TRUE(form.XYGraph1->actions().contains(Menu().CopyPictureAction));
    EXPECT_EQ(Menu().CopyPictureAction->shortcutContext(), Qt::WidgetShortcut);
    // Nothing is chosen at first.
    EXPECT_FALSE(Menu().ShowStatusAction->isChecked() || Menu().ReconnectAction->isChecked());
    EXPECT_EQ(Menu().AverageActions->checkedAction()->text(), QStringLiteral("Off"));

    form.show();
    EXPECT_NE(PopupAfterRightClickOn(form.Button1), nullptr);
    EXPECT_NE(PopupAfterRightClickOn(form.Memo->viewport()), nullptr);
    EXPECT_EQ(PopupAfterRightClickOn(form.XYGraph1), nullptr);

    // The actions reach what they name; one that cannot act says why.
    for (QAction* action : {Menu().AverageActions->actions()[2], Menu().ShowStatusAction, Menu().ReconnectAction,
                            Menu().TakeDarkAction})
        action->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(form.Averaging().Depth(), 4);
    EXPECT_TRUE(Menu().Monitor().ReadOutShown() && Menu().Reconnect().Enabled());
    const THintPanel& panel = form.XYGraph1->HintPanel();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.Lines(), Status());
    ASSERT_EQ(errors.Shown().size(), 1u);
    EXPECT_EQ(errors.Shown()[0].second, QStringLiteral("There is no frame to take as the dark frame yet."));
    Plot({"10"});
    Menu().TakeDarkAction->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(form.Averaging().HasDark());
    Menu().ClearDarkAction->trigger();
    Menu().ShowStatusAction->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(form.Averaging().HasDark());
    EXPECT_FALSE(panel.isVisible() || Menu().ShowStatusAction->isChecked());
    EXPECT_TRUE(panel.Lines().empty());
}

TEST_F(OperatorMenuTest, SavesTheSpectrumShownWithWhatItWasAcquiredWith)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("s.csv"));
    EXPECT_THROW(Menu().SaveSpectrumTo(path), Exception);
    EXPECT_FALSE(QFile::exists(path));

    form.ComPort->SetBaudRate(brCustom);
    form.ComPort->SetCustomBaudRate(250000);
    form.Edit1->setText(QStringLiteral("6"));
    form.Edit2->setText(QStringLiteral("2"));
    form.Averaging().SetDepth(2);
    Plot({"100", "7"});
    Plot({"103", "9"});
    Menu().SaveSpectrumTo(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 9 + 507 + 1);
    EXPECT_TRUE(lines[0].startsWith("# time: " + QDate::currentDate().toString(Qt::ISODate).toLatin1()));
    // 256 - 102 * 2 - 6, with 101.5 rounded away from zero.
    EXPECT_EQ(lines.mid(1, 10), QList<QByteArray>({"# port: COM11", "# baud rate: 250000", "# exposure: 100",
                                                    "# offset: 6", "# gain: 2", "# frames averaged: 2",
                                                    "# dark frame: none", "pixel,raw reading,plotted value",
                                                    "6,103,46", "7,9,234"}));
    EXPECT_EQ(lines[9 + 506], "512,0,250");

    const QImage shown = form.XYGraph1->Surface().convertToFormat(QImage::Format_RGB32);
    Menu().SavePictureTo(directory.filePath(QStringLiteral("s.png")));
    EXPECT_EQ(QImage(directory.filePath(QStringLiteral("s.png"))).convertToFormat(QImage::Format_RGB32), shown);
    Menu().CopyPicture();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), shown);
}

TEST_F(OperatorMenuTest, StatusFollowsTheFramesNoticesAnUnansweredExposureAndExplainsAFailedOpen)
{
    Menu().Monitor().Status().SetNoAnswerLimit(300ms);
    Plot({"1"});
    Plot({"2"});
    EXPECT_EQ(Status()[0], "Frames: 2");
    EXPECT_EQ(line.Receive(10), "100\r\n100\r\n");
    EXPECT_TRUE(WaitUntil([&] { return Status().back() == "Stopped: no answer to the last exposure for 0 s"; }, 2s));
    EXPECT_FALSE(Menu().Monitor().ReadOutShown());

    form.Log().Append(QByteArray("H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n1\r\n2x\r\ne"));
    EXPECT_THROW(form.ComPort->OnRxFlag(form.ComPort.get()), EConvertError);
    EXPECT_EQ(Status().back(), "Stopped: '2x' on line 7 is not a valid integer value");
    ClickButton(form.Button_Open);
    EXPECT_EQ(Status().back(), "Stopped: '2x' on line 7 is not a valid integer value");

    form.ComPort->SetPort("COM12");
    ClickButton(form.Button_Open);
    ASSERT_EQ(errors.Advice().size(), 1u);
    EXPECT_TRUE(errors.Advice()[0].startsWith(QStringLiteral("There is no device /dev/COM12 (No such file")));
    form.ComPort->SetPort("COM11");
    ClickButton(form.Button_Open);
    EXPECT_EQ(Status(), std::vector<std::string>({"Frames: 0", "Rate: 0.0 frames/s", "Last frame: none yet"}));
}

} // namespace
