#include "app/CommandLine.h"

namespace {

constexpr int UsageErrorStatus = 2;

} // namespace

QString TCommandLine::HelpText() const
{
    // The usage line names the program as it was started, or a placeholder
    // before the application object exists; it is always "mirelda" here.
    QString text = parser_.helpText();
    const qsizetype start = text.indexOf(u' ') + 1;
    const qsizetype end = text.indexOf(u' ', start);
    if (start > 0 && end > start)
        text.replace(start, end - start, QStringLiteral("mirelda"));
    return text;
}

TCommandLine::TCommandLine()
    : helpOption_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help and ends.")),
      versionOption_({QStringLiteral("v"), QStringLiteral("version")},
                     QStringLiteral("Shows the program's version and ends."))
{
    parser_.setApplicationDescription(
        QStringLiteral("Acquires and plots the spectra of a line-sensor spectrometer on a serial port."));
    parser_.addOption(helpOption_);
    parser_.addOption(versionOption_);
}

QString TCommandLine::VersionText()
{
    return QStringLiteral("mirelda " MIRELDA_VERSION);
}

std::optional<TCommandLine::TExit> TCommandLine::Informational(const QStringList& arguments)
{
    parser_.parse(arguments);
    if (parser_.isSet(helpOption_))
        return TExit{0, HelpText(), {}};
    if (parser_.isSet(versionOption_))
        return TExit{0, VersionText() + u'\n', {}};
    return std::nullopt;
}

std::optional<TCommandLine::TExit> TCommandLine::Parse(const QStringList& arguments)
{
    if (!parser_.parse(arguments))
        return TExit{UsageErrorStatus, {}, QStringLiteral("mirelda: ") + parser_.errorText() + u'\n' + HelpText()};
    if (!parser_.positionalArguments().isEmpty())
        return TExit{UsageErrorStatus, {},
                     QStringLiteral("mirelda: unexpected argument '") + parser_.positionalArguments().first()
                         + QStringLiteral("'\n") + HelpText()};
    return Informational(arguments);
}
