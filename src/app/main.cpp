#include "app/ComMainForm.h"
#include "app/CommandLine.h"
#include "app/HeadlessCapture.h"
#include "app/RemoteControl.h"
#include "app/StartOptions.h"
#include "app/WindowPlacement.h"
#include "common/Application.h"
#include "graph/Graph.h"

#include <QDirIterator>
#include <QIcon>

#include <cstdio>
#include <optional>

namespace {

QStringList Arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int Finish(const TCommandLine::TExit& exit)
{
    std::fputs(exit.Output.toLocal8Bit().constData(), stdout);
    std::fputs(exit.Error.toLocal8Bit().constData(), stderr);
    return exit.Status;
}

// Every embedded size of the program's icon. On Wayland a window's icon comes
// from its desktop entry instead, found by the name set here.
void SetWindowIcon()
{
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("mirelda"));
}

} // namespace

int main(int argc, char** argv)
{
    TCommandLine commandLine;
    if (const std::optional<TCommandLine::TExit> exit = commandLine.Informational(Arguments(argc, argv)))
        return Finish(*exit);

    // Unattended capture needs no display.
    if (Arguments(argc, argv).contains(QStringLiteral("--headless")) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    if (const std::optional<TCommandLine::TExit> exit = commandLine.Parse(QCoreApplication::arguments()))
        return Finish(*exit);

    TApplication::SetTitle(QStringLiteral("Mirelda ver. 2.10 example"));
    const TStartOptions& options = commandLine.Options();
    const TAutomationOptions& automation = commandLine.Automation();
    if (automation.Headless)
        return RunHeadless(options, automation);
    SetWindowIcon();
    TForm1 form;
    ApplyStartOptions(form, options);
    if (automation.Remote && !StartRemoteControl(form, *automation.Remote))
        return 1;
    TWindowPlacement placement(form, *form.XYGraph1);
    placement.Show();
    return application.exec();
}
