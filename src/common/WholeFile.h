#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path with data as one step: the data goes to a
// temporary file beside it, which takes the file's place only when every
// byte was written, so a failure, a full disk or a killed program leaves
// the old file as it was. Returns the system's reason on failure, else an
// empty text.
QString ReplaceWholeFile(const QString& path, const QByteArray& data);
