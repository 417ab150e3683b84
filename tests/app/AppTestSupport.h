#pragma once

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A private port map for one test: XDG_CONFIG_HOME points into a temporary
// directory for as long as the object lives.
class TTemporaryConfigHome {
public:
    TTemporaryConfigHome();
    ~TTemporaryConfigHome();
    TTemporaryConfigHome(const TTemporaryConfigHome&) = delete;
    TTemporaryConfigHome& operator=(const TTemporaryConfigHome&) = delete;

private:
    QTemporaryDir directory;
    bool hadValue = false;
    std::string savedValue;
};

// Collects what the application's error handler shows, instead of message
// boxes; also sets the program's title.
class TShownErrors {
public:
    TShownErrors();
    ~TShownErrors();
    TShownErrors(const TShownErrors&) = delete;
    TShownErrors& operator=(const TShownErrors&) = delete;

    // (title, message) pairs in the order shown.
    const std::vector<std::pair<QString, QString>>& Shown() const { return shown; }
    // The informative text under each message, empty where there was none.
    const std::vector<QString>& Advice() const { return advice; }

private:
    std::vector<std::pair<QString, QString>> shown;
    std::vector<QString> advice;
};

// Runs the event loop until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(20));

class QPushButton;
class TXYGraph;

// Clicks the button with the mouse and runs the click's handler.
void ClickButton(QPushButton* button);

// The y values of the graph's first curve, in point order.
std::vector<double> CurveY(const TXYGraph& graph);
