#include "common/WholeFile.h"

#include <QSaveFile>

QString ReplaceWholeFile(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    // Unbuffered, so a write the system cuts short shows in its count: a
    // buffered one is flushed by commit(), which then does not notice a
    // failure and puts the truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    // A short write is followed by another, which fails with the reason.
    for (qsizetype written = 0; written < data.size();) {
        const qint64 count = file.write(data.constData() + written, data.size() - written);
        if (count <= 0)
            return file.errorString();
        written += count;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
