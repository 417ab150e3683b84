#include "app/CommandLine.h"

#include "serial/ComTexts.h"

#include <limits>

namespace {

constexpr int UsageErrorStatus = 2;

// Latin-1 text as the 8-bit string the port sends; nothing when the text
// holds a character that has no 8-bit code.
std::optional<std::string> EightBit(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return std::nullopt;
    return text.toLatin1().toStdString();
}

// A rate is decimal digits only, 1 or more bits per second; a rate that a
// TBaudRate value names becomes that value.
bool ReadBaudRate(const QString& text, TStartOptions& options)
{
    bool digitsOnly = !text.isEmpty();
    for (const QChar c : text)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    bool fits = false;
    const qlonglong rate = text.toLongLong(&fits);
    if (!digitsOnly || !fits || rate < 1 || rate > std::numeric_limits<std::int32_t>::max())
        return false;
    options.BaudRate = brCustom;
    options.CustomBaudRate = static_cast<std::int32_t>(rate);
    for (std::size_t i = 0; i < BaudRateTexts.size(); ++i) {
        const auto named = static_cast<TBaudRate>(i);
        if (named != brCustom && BaudRateValue(named) == static_cast<std::uint32_t>(rate))
            options.BaudRate = named;
    }
    return true;
}

QString Quoted(const QString& text)
{
    return u'\'' + text + u'\'';
}

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
                     QStringLiteral("Shows the program's version and ends.")),
      portOption_(QStringLiteral("port"),
                  QStringLiteral("Uses the serial port NAME: a port-map name such as COM11, or a device path."),
                  QStringLiteral("NAME")),
      baudOption_(QStringLiteral("baud"),
                  QStringLiteral("Uses RATE bits per second, such as 115200 or any other positive rate."),
                  QStringLiteral("RATE")),
      exposureOption_(QStringLiteral("exposure"), QStringLiteral("Puts TEXT in the exposure field."),
                      QStringLiteral("TEXT")),
      startOption_(QStringLiteral("start"), QStringLiteral("Opens the port and sends the exposure at once.")),
      remoteOption_(QStringLiteral("remote"),
                    QStringLiteral("Serves SCPI remote control on [ADDRESS:]PORT (address 127.0.0.1 unless named; "
                                   "port 0 picks a free one)."),
                    QStringLiteral("[ADDRESS:]PORT")),
      headlessOption_(QStringLiteral("headless"),
                      QStringLiteral("Captures without a window: needs --port, --exposure, --frames and --output.")),
      framesOption_(QStringLiteral("frames"), QStringLiteral("With --headless: captures N frames."),
                    QStringLiteral("N")),
      outputOption_(QStringLiteral("output"),
                    QStringLiteral("With --headless: writes the frames to FILE as CSV, or JCAMP-DX when it ends in .jdx."),
                    QStringLiteral("FILE")),
      averageOption_(QStringLiteral("average"),
                     QStringLiteral("With --headless: writes the mean of the frames instead of each."))
{
    parser_.setApplicationDescription(
        QStringLiteral("Acquires and plots the spectra of a line-sensor spectrometer on a serial port."));
    for (const QCommandLineOption& option :
         {helpOption_, versionOption_, portOption_, baudOption_, exposureOption_, startOption_, remoteOption_,
          headlessOption_, framesOption_, outputOption_, averageOption_})
        parser_.addOption(option);
}

QString TCommandLine::VersionText()
{
    return QStringLiteral("mirelda " MIRELDA_VERSION);
}

TCommandLine::TExit TCommandLine::UsageError(const QString& message) const
{
    return TExit{UsageErrorStatus, {}, QStringLiteral("mirelda: ") + message + u'\n' + HelpText()};
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
        return UsageError(parser_.errorText());
    if (!parser_.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("unexpected argument ") + Quoted(parser_.positionalArguments().first()));
    if (const std::optional<TExit> exit = Informational(arguments))
        return exit;
    if (const std::optional<QString> error = ReadStartOptions())
        return UsageError(*error);
    return std::nullopt;
}

std::optional<QString> TCommandLine::ReadStartOptions()
{
    options_ = {};
    automation_ = {};
    if (parser_.isSet(portOption_)) {
        const QString name = parser_.value(portOption_);
        options_.Port = EightBit(name);
        if (name.isEmpty() || !options_.Port)
            return QStringLiteral("--port takes a port name such as COM11 or /dev/ttyUSB0, not ") + Quoted(name);
    }
    if (parser_.isSet(baudOption_) && !ReadBaudRate(parser_.value(baudOption_), options_))
        return QStringLiteral("--baud takes a rate in bits per second such as 115200, not ")
               + Quoted(parser_.value(baudOption_));
    if (parser_.isSet(exposureOption_)) {
        const QString text = parser_.value(exposureOption_);
        options_.Exposure = EightBit(text);
        if (!options_.Exposure)
            return QStringLiteral("--exposure takes 8-bit (Latin-1) text, not ") + Quoted(text);
    }
    options_.Start = parser_.isSet(startOption_);
    if (parser_.isSet(remoteOption_)) {
        automation_.Remote = ParseRemoteAddress(parser_.value(remoteOption_));
        if (!automation_.Remote)
            return QStringLiteral("--remote takes [ADDRESS:]PORT such as 5025 or 127.0.0.1:5025, not ")
                   + Quoted(parser_.value(remoteOption_));
    }
    return ReadCaptureOptions();
}

std::optional<QString> TCommandLine::ReadCaptureOptions()
{
    automation_.Headless = parser_.isSet(headlessOption_);
    if (!automation_.Headless) {
        for (const QCommandLineOption& option : {framesOption_, outputOption_, averageOption_})
            if (parser_.isSet(option))
                return QStringLiteral("--%1 goes with --headless").arg(option.names().first());
        return std::nullopt;
    }
    for (const QCommandLineOption& option : {portOption_, exposureOption_, framesOption_, outputOption_})
        if (!parser_.isSet(option))
            return QStringLiteral("--headless needs --%1").arg(option.names().first());
    if (options_.Start)
        return QStringLiteral("--headless starts by itself; leave out --start");
    bool number = false;
    const QString frames = parser_.value(framesOption_);
    automation_.Frames = frames.toInt(&number);
    if (!number || automation_.Frames < 1 || frames.startsWith(u'+'))
        return QStringLiteral("--frames takes a whole number of frames, 1 or more, not ") + Quoted(frames);
    automation_.Output = parser_.value(outputOption_);
    if (automation_.Output.isEmpty())
        return QStringLiteral("--output takes a file name");
    automation_.AverageFrames = parser_.isSet(averageOption_);
    return std::nullopt;
}
