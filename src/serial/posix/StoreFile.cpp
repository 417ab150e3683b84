#include "serial/posix/StoreFile.h"

#include "common/WholeFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

namespace fs = std::filesystem;

namespace {

// How long a change waits for another program that holds the lock, and
// how often it looks again.
constexpr auto LockWait = std::chrono::seconds(5);
constexpr auto LockPoll = std::chrono::milliseconds(5);

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

TStoreFile::~TStoreFile()
{
    Unlock();
}

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
    const std::string lockName = path_.native() + ".lock";
    const int fd = open(lockName.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw EStoreError(lockName + " cannot be made");
    const auto deadline = std::chrono::steady_clock::now() + LockWait;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
            close(fd);
            throw EStoreError(path_.string() + " cannot be locked");
        }
        std::this_thread::sleep_for(LockPoll);
    }
    lockFd_ = fd;
}

void TStoreFile::Unlock()
{
    if (lockFd_ >= 0)
        close(std::exchange(lockFd_, -1));
}

void TStoreFile::Replace(const std::string& bytes)
{
    struct TUnlock {
        TStoreFile& File;
        ~TUnlock() { File.Unlock(); }
    } unlock{*this};
    const QString reason = ReplaceWholeFile(QtName(path_), QByteArray::fromStdString(bytes));
    if (!reason.isEmpty())
        throw EStoreError(Failure(path_, reason));
}
