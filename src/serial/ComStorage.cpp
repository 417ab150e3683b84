#include "serial/ComPort.h"

#include "serial/ComErrors.h"
#include "serial/ComTexts.h"
#include "serial/TextCase.h"
#include "serial/posix/IniFile.h"
#include "serial/posix/Registry.h"

// Storing the port's settings in the registry or in an INI file, and
// reading them back.

namespace {

// One stored key: a setting in its text form, or an integer setting.
struct TStoredKey {
    TStoredProp Group;
    const char* Name;
    std::string (*Text)(const TCustomComPort&) = nullptr;
    void (*SetText)(TCustomComPort&, std::string_view) = nullptr;
    std::int32_t (*Integer)(const TCustomComPort&) = nullptr;
    void (*SetInteger)(TCustomComPort&, std::int32_t) = nullptr;
    // Stored only with BaudRate brCustom; a missing INI entry gives 9600.
    bool CustomRateOnly = false;
};

using TPort = TCustomComPort;

// Written and read in this order: by group, then within a group. The
// flow-control preset of spBasic comes before the details of spFlowControl,
// so that the details have the last word when both are stored.
const TStoredKey StoredKeys[] = {
    {spBasic, "Port", [](const TPort& p) { return p.Port(); },
     [](TPort& p, std::string_view t) { p.SetPort(std::string(t)); }},
    {spBasic, "BaudRate", [](const TPort& p) { return BaudRateToText(p.BaudRate()); },
     [](TPort& p, std::string_view t) { p.SetBaudRate(TextToBaudRate(t)); }},
    {.Group = spBasic, .Name = "CustomBaudRate", .Integer = [](const TPort& p) { return p.CustomBaudRate(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.SetCustomBaudRate(v); }, .CustomRateOnly = true},
    {spBasic, "StopBits", [](const TPort& p) { return StopBitsToText(p.StopBits()); },
     [](TPort& p, std::string_view t) { p.SetStopBits(TextToStopBits(t)); }},
    {spBasic, "DataBits", [](const TPort& p) { return DataBitsToText(p.DataBits()); },
     [](TPort& p, std::string_view t) { p.SetDataBits(TextToDataBits(t)); }},
    {spBasic, "Parity", [](const TPort& p) { return ParityToText(p.Parity().Bits()); },
     [](TPort& p, std::string_view t) { p.Parity().SetBits(TextToParity(t)); }},
    {spBasic, "FlowControl", [](const TPort& p) { return FlowControlToText(p.FlowControl().FlowControl()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetFlowControl(TextToFlowControl(t)); }},

    {spOthers, "EventChar", [](const TPort& p) { return CharToText(p.EventChar()); },
     [](TPort& p, std::string_view t) { p.SetEventChar(TextToChar(t)); }},
    {spOthers, "DiscardNull", [](const TPort& p) { return BoolToText(p.DiscardNull()); },
     [](TPort& p, std::string_view t) { p.SetDiscardNull(TextToBool(t)); }},

    {spParity, "Parity.Check", [](const TPort& p) { return BoolToText(p.Parity().Check()); },
     [](TPort& p, std::string_view t) { p.Parity().SetCheck(TextToBool(t)); }},
    {spParity, "Parity.Replace", [](const TPort& p) { return BoolToText(p.Parity().Replace()); },
     [](TPort& p, std::string_view t) { p.Parity().SetReplace(TextToBool(t)); }},
    {spParity, "Parity.ReplaceChar", [](const TPort& p) { return CharToText(p.Parity().ReplaceChar()); },
     [](TPort& p, std::string_view t) { p.Parity().SetReplaceChar(TextToChar(t)); }},

    {.Group = spBuffer, .Name = "Buffer.OutputSize", .Integer = [](const TPort& p) { return p.Buffer().OutputSize(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.Buffer().SetOutputSize(v); }},
    {.Group = spBuffer, .Name = "Buffer.InputSize", .Integer = [](const TPort& p) { return p.Buffer().InputSize(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.Buffer().SetInputSize(v); }},

    {.Group = spTimeouts, .Name = "Timeouts.ReadInterval",
     .Integer = [](const TPort& p) { return p.Timeouts().ReadInterval(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.Timeouts().SetReadInterval(v); }},
    {.Group = spTimeouts, .Name = "Timeouts.ReadTotalConstant",
     .Integer = [](const TPort& p) { return p.Timeouts().ReadTotalConstant(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.Timeouts().SetReadTotalConstant(v); }},
    {.Group = spTimeouts, .Name = "Timeouts.ReadTotalMultiplier",
     .Integer = [](const TPort& p) { return p.Timeouts().ReadTotalMultiplier(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.Timeouts().SetReadTotalMultiplier(v); }},
    {.Group = spTimeouts, .Name = "Timeouts.WriteTotalConstant",
     .Integer = [](const TPort& p) { return p.Timeouts().WriteTotalConstant(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.Timeouts().SetWriteTotalConstant(v); }},
    {.Group = spTimeouts, .Name = "Timeouts.WriteTotalMultiplier",
     .Integer = [](const TPort& p) { return p.Timeouts().WriteTotalMultiplier(); },
     .SetInteger = [](TPort& p, std::int32_t v) { p.Timeouts().SetWriteTotalMultiplier(v); }},

    {spFlowControl, "FlowControl.ControlRTS", [](const TPort& p) { return RtsControlToText(p.FlowControl().ControlRTS()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetControlRTS(TextToRtsControl(t)); }},
    {spFlowControl, "FlowControl.ControlDTR", [](const TPort& p) { return DtrControlToText(p.FlowControl().ControlDTR()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetControlDTR(TextToDtrControl(t)); }},
    {spFlowControl, "FlowControl.DSRSensitivity", [](const TPort& p) { return BoolToText(p.FlowControl().DSRSensitivity()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetDSRSensitivity(TextToBool(t)); }},
    {spFlowControl, "FlowControl.OutCTSFlow", [](const TPort& p) { return BoolToText(p.FlowControl().OutCTSFlow()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetOutCTSFlow(TextToBool(t)); }},
    {spFlowControl, "FlowControl.OutDSRFlow", [](const TPort& p) { return BoolToText(p.FlowControl().OutDSRFlow()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetOutDSRFlow(TextToBool(t)); }},
    {spFlowControl, "FlowControl.TxContinueOnXoff",
     [](const TPort& p) { return BoolToText(p.FlowControl().TxContinueOnXoff()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetTxContinueOnXoff(TextToBool(t)); }},
    {spFlowControl, "FlowControl.XonXoffIn", [](const TPort& p) { return BoolToText(p.FlowControl().XonXoffIn()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetXonXoffIn(TextToBool(t)); }},
    {spFlowControl, "FlowControl.XonXoffOut", [](const TPort& p) { return BoolToText(p.FlowControl().XonXoffOut()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetXonXoffOut(TextToBool(t)); }},
    {spFlowControl, "FlowControl.XoffChar", [](const TPort& p) { return CharToText(p.FlowControl().XoffChar()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetXoffChar(TextToChar(t)); }},
    {spFlowControl, "FlowControl.XonChar", [](const TPort& p) { return CharToText(p.FlowControl().XonChar()); },
     [](TPort& p, std::string_view t) { p.FlowControl().SetXonChar(TextToChar(t)); }},
};

constexpr std::int32_t DefaultCustomBaudRate = 9600;

// Calls visit for each key of the groups the port stores, in table order.
// Whether CustomBaudRate takes part is decided when its turn comes, so a
// restore goes by the baud rate it has just read.
template <typename Visit>
void ForEachStoredKey(const TCustomComPort& port, Visit visit)
{
    for (const TStoredKey& key : StoredKeys) {
        if (!port.StoredProps().Contains(key.Group))
            continue;
        if (key.CustomRateOnly && port.BaudRate() != brCustom)
            continue;
        visit(key);
    }
}

std::string RegistryLocation(const TRegistry& registry)
{
    return registry.FileName().string() + ", key " + RootKeyName(registry.RootKey()) + "\\" + registry.KeyPath();
}

std::string IniLocation(const TIniFile& ini, const std::string& section)
{
    return ini.FileName().string() + ", section [" + section + "]";
}

// Ends a store's session also when the work failed: what was written
// before the failure stays written.
template <typename Work, typename Close>
void Closing(Work work, Close close)
{
    try {
        work();
    } catch (...) {
        close();
        throw;
    }
    close();
}

} // namespace

void TCustomComPort::SaveSettings(TSettingsStorage kind, const std::string& path)
{
    std::string location;
    try {
        if (kind == ssRegistry) {
            TRegistry registry;
            OpenSettingsKey(registry, path, name_);
            location = RegistryLocation(registry);
            Closing([&] { SaveToRegistry(registry); }, [&] { registry.CloseKey(); });
        } else {
            TIniFile ini(path);
            location = IniLocation(ini, name_);
            Closing([&] { SaveToIniFile(ini); }, [&] { ini.UpdateFile(); });
        }
    } catch (...) {
        ReportSettingsFailure(CE_StoreFailed, location);
    }
}

void TCustomComPort::RestoreSettings(TSettingsStorage kind, const std::string& path)
{
    settingsNotUnderstood_.clear();
    std::string location;
    try {
        BeginSettingsChange();
        Closing(
            [&] {
                if (kind == ssRegistry) {
                    TRegistry registry;
                    OpenSettingsKey(registry, path, name_);
                    location = RegistryLocation(registry);
                    RestoreFromRegistry(registry);
                } else {
                    TIniFile ini(path);
                    location = IniLocation(ini, name_);
                    RestoreFromIniFile(ini);
                }
            },
            [this] { EndSettingsChange(); });
    } catch (...) {
        ReportSettingsFailure(CE_LoadFailed, location);
    }
}

void TCustomComPort::ReportSettingsFailure(TComExceptions kind, const std::string& location)
{
    if (OnException) {
        ReportPortError(kind, 0);
        return;
    }
    std::string reason;
    try {
        throw;
    } catch (const std::exception& error) {
        reason = error.what();
    } catch (...) {
    }
    throw EComSettings(kind, location, reason);
}

void TCustomComPort::CheckStoredText(const char* name, std::string_view stored, const std::string& taken)
{
    // A missing registry value reads as empty and takes the fallback
    // silently; a character may also be written by its code ("#101").
    if (stored.empty() || SameText(taken, stored))
        return;
    if (stored.starts_with('#') && TextToChar(stored) != 0 && taken == CharToText(TextToChar(stored)))
        return;
    settingsNotUnderstood_.push_back(std::string(name) + " \"" + std::string(stored) + "\" (" + taken + " used)");
}

void TCustomComPort::OpenSettingsKey(TRegistry& registry, const std::string& path, const std::string& name)
{
    const std::size_t backslash = path.find('\\');
    if (backslash == std::string::npos)
        return;
    const std::string root = UpperCase(std::string_view(path).substr(0, backslash));
    if (root == "HKEY_LOCAL_MACHINE")
        registry.SetRootKey(rkLocalMachine);
    else if (root == "HKEY_CURRENT_USER")
        registry.SetRootKey(rkCurrentUser);
    std::string key = path.substr(backslash + 1);
    if (key.empty() || key.back() != '\\')
        key += '\\';
    // Nothing after the backslash leaves "\name": the key right under the root.
    registry.OpenKey(key + name);
}

void TCustomComPort::SaveToRegistry(TRegistry& registry)
{
    ForEachStoredKey(*this, [&](const TStoredKey& key) {
        if (key.Text)
            registry.WriteString(key.Name, key.Text(*this));
        else
            registry.WriteInteger(key.Name, key.Integer(*this));
    });
}

void TCustomComPort::SaveToIniFile(TIniFile& ini)
{
    ForEachStoredKey(*this, [&](const TStoredKey& key) {
        if (key.Text)
            ini.WriteString(name_, key.Name, key.Text(*this));
        else
            ini.WriteInteger(name_, key.Name, key.Integer(*this));
    });
}

void TCustomComPort::RestoreFromRegistry(TRegistry& registry)
{
    // No defaults: a missing text converts to its fallback, a missing
    // integer fails.
    ForEachStoredKey(*this, [&](const TStoredKey& key) {
        if (key.Text) {
            const std::string stored = registry.ReadString(key.Name);
            key.SetText(*this, stored);
            CheckStoredText(key.Name, stored, key.Text(*this));
        } else {
            key.SetInteger(*this, registry.ReadInteger(key.Name));
        }
    });
}

void TCustomComPort::RestoreFromIniFile(TIniFile& ini)
{
    // A missing entry leaves its setting as it is.
    ForEachStoredKey(*this, [&](const TStoredKey& key) {
        if (key.Text) {
            const std::string stored = ini.ReadString(name_, key.Name, key.Text(*this));
            key.SetText(*this, stored);
            CheckStoredText(key.Name, stored, key.Text(*this));
            return;
        }
        const std::int32_t current = key.CustomRateOnly ? DefaultCustomBaudRate : key.Integer(*this);
        key.SetInteger(*this, ini.ReadInteger(name_, key.Name, current));
    });
}
