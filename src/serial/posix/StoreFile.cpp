#include "serial/posix/StoreFile.h"

#include "common/WholeFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

EStoreError SystemFailure(const fs::path& path, int error)
{
    return EStoreError(path.string() + ": " + std::generic_category().message(error));
}

EStoreError TooLarge(const fs::path& path)
{
    return EStoreError(path.string() + " is larger than " + std::to_string(TStoreFile::MaxBytes / (1024 * 1024))
                       + " MB, too large for a settings file");
}

} // namespace

TStoreFile::TStoreFile(fs::path path, bool makeDirectory) : path_(std::move(path)), makeDirectory_(makeDirectory) {}

TStoreFile::~TStoreFile()
{
    Unlock();
}

std::string TStoreFile::Read() const
{
    // Without blocking, and only a regular file: a FIFO or a device put in
    // the store's place must not hang the program or fill its memory.
    const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        throw SystemFailure(path_, errno);
    }
    struct TClose {
        int Fd;
        ~TClose() { close(Fd); }
    } closing{fd};
    struct stat status {};
    if (fstat(fd, &status) != 0)
        throw SystemFailure(path_, errno);
    if (!S_ISREG(status.st_mode))
        throw EStoreError(path_.string() + " is not a regular file");
    if (status.st_size > MaxBytes)
        throw TooLarge(path_);
    std::string bytes;
    char block[64 * 1024];
    for (;;) {
        const ssize_t count = read(fd, block, sizeof block);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw SystemFailure(path_, errno);
        if (count == 0)
            return bytes;
        // The file may grow while it is read.
        if (std::ssize(bytes) + count > MaxBytes)
            throw TooLarge(path_);
        bytes.append(block, std::size_t(count));
    }
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
