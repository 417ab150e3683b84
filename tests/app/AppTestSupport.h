#pragma once

#include "support/TemporaryStores.h"

#include <QString>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The port map and the stored settings private to one test.
using TTemporaryConfigHome = TTemporaryStores;

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

private:
    std::vector<std::pair<QString, QString>> shown;
};

// Runs the event loop until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(20));

class QPushButton;
class TXYGraph;

// Clicks the button with the mouse and runs the click's handler.
void ClickButton(QPushButton* button);

// The y values of the graph's first curve, in point order.
std::vector<double> CurveY(const TXYGraph& graph);
