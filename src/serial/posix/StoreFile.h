#pragma once

#include "serial/posix/StoreError.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// One file of a settings store. The file is only ever replaced whole, by a
// rename, so reading needs no lock and always sees a complete file. Changing
// it is a read-modify-write under the file's lock, ended by one atomic
// replace. The lock is the kernel's, on an empty lock file beside the store
// (its name with ".lock" added, never removed): it goes with the process
// holding it, so a program that dies, however it dies, leaves no lock behind.
class TStoreFile {
public:
    // With makeDirectory, a missing directory is created for a change.
    TStoreFile(std::filesystem::path path, bool makeDirectory);
    ~TStoreFile();
    TStoreFile(const TStoreFile&) = delete;
    TStoreFile& operator=(const TStoreFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // A settings file is a few kilobytes; anything near this is not one.
    static constexpr std::int64_t MaxBytes = 4 * 1024 * 1024;

    // The file's bytes; a missing file reads as empty. Throws EStoreError
    // for what is not a regular file and for a file above MaxBytes.
    std::string Read() const;

    // Takes the lock, waiting a few seconds for another program holding it;
    // refuses a file that the process may not replace.
    void Lock();
    bool Locked() const { return lockFd_ >= 0; }
    void Unlock();
    // Replaces the file's bytes at once and releases the lock, also when
    // the replace fails.
    void Replace(const std::string& bytes);

    // Whether the process may replace the file: it is writable or missing,
    // in a directory the process may write.
    static bool MayReplace(const std::filesystem::path& path);

private:
    std::filesystem::path path_;
    bool makeDirectory_;
    int lockFd_ = -1;
};

// A store file's content as a document of one format (Document::Parse(bytes)
// gives the document, or nothing for bytes it cannot keep; Bytes() gives
// them back). It is read at first use; the first change takes the lock and
// reads the file afresh, so that what others stored meanwhile is kept;
// Commit writes all changes in one replace and releases the lock. A file that
// cannot be parsed is neither read nor ever written.
template <typename Document>
class TStoredDocument {
public:
    TStoredDocument(std::filesystem::path path, bool makeDirectory) : file_(std::move(path), makeDirectory) {}

    const std::filesystem::path& Path() const { return file_.Path(); }

    const Document& Read()
    {
        if (!document_)
            document_ = Load();
        return *document_;
    }

    template <typename Edit>
    void Change(Edit edit)
    {
        if (!file_.Locked()) {
            file_.Lock();
            try {
                document_ = Load();
            } catch (...) {
                file_.Unlock();
                throw;
            }
        }
        edit(*document_);
        changed_ = true;
    }

    void Commit()
    {
        if (!changed_) {
            file_.Unlock();
            return;
        }
        changed_ = false;
        file_.Replace(document_->Bytes());
    }

private:
    Document Load()
    {
        const std::string bytes = file_.Read();
        std::optional<Document> document = Document::Parse(bytes);
        if (!document)
            throw EStoreError(file_.Path().string() + " cannot be parsed and is left as it is: "
                              + Document::Refusal(bytes));
        return std::move(*document);
    }

    TStoreFile file_;
    std::optional<Document> document_;
    bool changed_ = false;
};
