#include "support/TemporaryStores.h"

#include "serial/ComPort.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr uid_t Nobody = 65534;

} // namespace

TTemporaryStores::TTemporaryStores()
{
    const fs::path root = Directory();
    fs::permissions(root, fs::perms(0755));
    const std::pair<const char*, fs::path> places[] = {{"XDG_CONFIG_HOME", root / "config"},
                                                       {"MIRELDA_MACHINE_CONFIG_DIR", root / "machine"}};
    for (const auto& [variable, place] : places) {
        const char* old = std::getenv(variable);
        saved_.emplace_back(variable, old ? std::optional<std::string>(old) : std::nullopt);
        fs::create_directory(place);
        fs::permissions(place, fs::perms::all);
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

std::string Settings(const TCustomComPort& p)
{
    const TComFlowControl& f = p.FlowControl();
    const TComTimeouts& t = p.Timeouts();
    std::ostringstream s;
    s << p.Port() << " rate " << p.BaudRate() << '/' << p.CustomBaudRate() << " stop " << p.StopBits() << " data "
      << p.DataBits() << " parity " << p.Parity().Bits() << p.Parity().Check() << p.Parity().Replace()
      << int(p.Parity().ReplaceChar()) << " event " << int(p.EventChar()) << " null " << p.DiscardNull()
      << " buffer " << p.Buffer().InputSize() << '/' << p.Buffer().OutputSize() << " timeouts " << t.ReadInterval()
      << '/' << t.ReadTotalMultiplier() << '/' << t.ReadTotalConstant() << '/' << t.WriteTotalMultiplier() << '/'
      << t.WriteTotalConstant() << " flow " << f.OutCTSFlow() << f.OutDSRFlow() << f.ControlDTR() << f.ControlRTS()
      << f.XonXoffOut() << f.XonXoffIn() << f.DSRSensitivity() << f.TxContinueOnXoff() << ' ' << int(f.XonChar())
      << '/' << int(f.XoffChar());
    return s.str();
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
