#include "support/TemporaryStores.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr uid_t Nobody = 65534;
constexpr auto Everyone = fs::perms::all;

} // namespace

TTemporaryStores::TTemporaryStores()
{
    const fs::path root = Directory();
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                              | fs::perms::others_read | fs::perms::others_exec);
    const std::pair<const char*, fs::path> places[] = {{"XDG_CONFIG_HOME", root / "config"},
                                                       {"MIRELDA_MACHINE_CONFIG_DIR", root / "machine"}};
    for (const auto& [variable, place] : places) {
        const char* old = std::getenv(variable);
        saved_.emplace_back(variable, old ? std::optional<std::string>(old) : std::nullopt);
        fs::create_directory(place);
        fs::permissions(place, Everyone);
        setenv(variable, place.c_str(), 1);
    }
}

TTemporaryStores::~TTemporaryStores()
{
    for (const auto& [variable, value] : saved_) {
        if (value)
            setenv(variable, value->c_str(), 1);
        else
            unsetenv(variable);
    }
}

std::string FileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void MakeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TUnprivileged::TUnprivileged()
{
    if (geteuid() != 0)
        return;
    if (setegid(Nobody) != 0 || seteuid(Nobody) != 0)
        throw std::runtime_error("cannot act as nobody");
    switched_ = true;
}

TUnprivileged::~TUnprivileged()
{
    if (switched_ && (seteuid(0) != 0 || setegid(0) != 0))
        std::abort();
}
