#pragma once

#include <QString>

#include <functional>

class TComComboBox;
class TComSetupFrm;

// Runs act on the setup dialog once it runs modally, inside its own event
// loop. A dialog that act leaves open is cancelled, so a failed check never
// leaves a test waiting.
void WhenSetupShown(std::function<void(TComSetupFrm&)> act);

// Chooses the item showing text, as the operator does from the list.
void Choose(TComComboBox* selector, const QString& text);
