#pragma once

#include "remote/RemoteAddress.h"
#include "serial/ComTypes.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>

// What the options ask the window to do at start; nothing set is the
// program's own start.
struct TStartOptions {
    std::optional<std::string> Port;
    // brCustom with CustomBaudRate for a rate no TBaudRate value names.
    std::optional<TBaudRate> BaudRate;
    std::int32_t CustomBaudRate = 0;
    std::optional<std::string> Exposure; // 8-bit text
    // Open the port and send the exposure at once.
    bool Start = false;
};

// What the options ask for beyond the window: remote control, unattended
// capture.
struct TAutomationOptions {
    // Serve remote control there.
    std::optional<TRemoteAddress> Remote;
    // Unattended capture: Frames frames without a window, written to
    // Output, each or (AverageFrames) their mean.
    bool Headless = false;
    int Frames = 0;
    QString Output;
    bool AverageFrames = false;
};

// The program's command-line options. With none given, the program starts
// exactly as it always has.
//
// Qt's own options (-platform, -style, ...) are taken out of the arguments
// by the application object, so options are looked at twice: first, before
// that object exists, only for --help and --version, which must work
// without a display; then, with the application's remaining arguments, in
// full.
class TCommandLine {
public:
    // What the program prints before it ends at once.
    struct TExit {
        int Status = 0;
        QString Output; // for standard output
        QString Error;  // for standard error
    };

    TCommandLine();

    // Before the application object exists: the help or version text when
    // asked for, else nothing (unknown options are left to Parse).
    std::optional<TExit> Informational(const QStringList& arguments);

    // With the application's arguments: an error and the usage, exit
    // status 2, for anything not understood or a value that cannot be
    // used; else nothing, and Options() holds what was asked for.
    std::optional<TExit> Parse(const QStringList& arguments);

    const TStartOptions& Options() const { return options_; }
    const TAutomationOptions& Automation() const { return automation_; }

    // The first line of --version: the program's name and version.
    static QString VersionText();

private:
    QString HelpText() const;
    TExit UsageError(const QString& message) const;
    // Reads the start options; the reason when a value cannot be used.
    std::optional<QString> ReadStartOptions();
    std::optional<QString> ReadCaptureOptions();

    QCommandLineParser parser_;
    QCommandLineOption helpOption_;
    QCommandLineOption versionOption_;
    QCommandLineOption portOption_;
    QCommandLineOption baudOption_;
    QCommandLineOption exposureOption_;
    QCommandLineOption startOption_;
    QCommandLineOption remoteOption_;
    QCommandLineOption headlessOption_;
    QCommandLineOption framesOption_;
    QCommandLineOption outputOption_;
    QCommandLineOption averageOption_;
    TStartOptions options_;
    TAutomationOptions automation_;
};
