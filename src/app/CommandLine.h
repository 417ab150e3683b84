#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

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
    // status 2, for anything not understood; else nothing.
    std::optional<TExit> Parse(const QStringList& arguments);

    // The first line of --version: the program's name and version.
    static QString VersionText();

private:
    QString HelpText() const;

    QCommandLineParser parser_;
    QCommandLineOption helpOption_;
    QCommandLineOption versionOption_;
};
