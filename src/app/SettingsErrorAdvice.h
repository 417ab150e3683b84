#pragma once

#include <exception>
#include <string>

// What a failed "Store" or "Load" of the port's settings means: why it
// failed, where the settings are kept and what to do. Empty for every other
// failure. The text is 8-bit; lines are separated by LF.
std::string SettingsErrorAdvice(const std::exception& error);
