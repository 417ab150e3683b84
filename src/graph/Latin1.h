#pragma once

#include <QString>

#include <string>

// The graph's texts are 8-bit, in Latin-1; they become the toolkit's
// strings only where they are drawn or shown in a control.
inline QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.c_str(), qsizetype(text.size()));
}
