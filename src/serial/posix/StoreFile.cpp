#include "serial/posix/StoreFile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace {

// How long a change waits for another program that holds the lock, and
// how often it looks again.
constexpr qint64 LockWaitMs = 5000;
constexpr auto LockPoll = std::chrono::milliseconds(5);
// A lock file stays empty only when its maker died right after creating it:
// a live owner writes its process id at once.
constexpr qint64 AbandonedLockMs = 1000;

QString QtName(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::string Failure(const fs::path& path, const QString& reason)
{
    return path.string() + ": " + reason.toLocal8Bit().toStdString();
}

} // namespace

TStoreFile::TStoreFile(fs::path path, bool makeDirectory) : path_(std::move(path)), makeDirectory_(makeDirectory) {}

TStoreFile::~TStoreFile() = default;

std::string TStoreFile::Read() const
{
    QFile file(QtName(path_));
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists())
            return {};
        throw EStoreError(Failure(path_, file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EStoreError(Failure(path_, file.errorString()));
    return bytes.toStdString();
}

bool TStoreFile::MayReplace(const fs::path& path)
{
    // The replacement and the lock file are made in the directory, so it
    // must be writable; a read-only file is respected as well.
    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (euidaccess(directory.c_str(), W_OK | X_OK) != 0)
        return false;
    return euidaccess(path.c_str(), W_OK) == 0 || errno == ENOENT;
}

void TStoreFile::Lock()
{
    if (makeDirectory_ && path_.has_parent_path()) {
        std::error_code ignored;
        fs::create_directories(path_.parent_path(), ignored);
    }
    if (!MayReplace(path_))
        throw EStoreError(path_.string() + " may not be written");
    const QString lockName = QtName(path_) + QStringLiteral(".lock");
    auto lock = std::make_unique<QLockFile>(lockName);
    QElapsedTimer waited;
    waited.start();
    // A lock whose owner has died is taken over at once; an empty one, made
    // by a program that died making it, once it is clearly abandoned.
    while (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError || waited.elapsed() > LockWaitMs)
            throw EStoreError(path_.string() + " cannot be locked");
        const QFileInfo existing(lockName);
        if (existing.exists() && existing.size() == 0
            && existing.lastModified().msecsTo(QDateTime::currentDateTime()) > AbandonedLockMs)
            lock->removeStaleLockFile();
        std::this_thread::sleep_for(LockPoll);
    }
    lock_ = std::move(lock);
}

void TStoreFile::Unlock()
{
    lock_.reset();
}

void TStoreFile::Replace(const std::string& bytes)
{
    const std::unique_ptr<QLockFile> lock = std::move(lock_);
    QSaveFile file(QtName(path_));
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), size) != size || !file.commit())
        throw EStoreError(Failure(path_, file.errorString()));
}
