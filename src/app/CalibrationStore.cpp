#include "app/CalibrationStore.h"

#include "serial/posix/Registry.h"
#include "serial/posix/StoreError.h"
#include "spectrum/CalibrationText.h"
#include "spectrum/SpectrumErrors.h"

namespace CalibrationStore {

namespace {

void OpenKey(TRegistry& registry)
{
    registry.SetRootKey(rkCurrentUser);
    if (!registry.OpenKey(KeyPath))
        throw EStoreError("Cannot open the calibration store");
}

} // namespace

std::optional<TWavelengthCalibration> Load(const std::string& port)
{
    TRegistry registry;
    OpenKey(registry);
    const std::string text = registry.ReadString(port);
    if (text.empty())
        return std::nullopt;
    try {
        return ParseCalibrationStored(text);
    } catch (const ESpectrum& error) {
        throw ESpectrum("The wavelength calibration kept for " + port + " is damaged and was not used: "
                        + error.what());
    }
}

void Save(const std::string& port, const std::optional<TWavelengthCalibration>& calibration)
{
    TRegistry registry;
    OpenKey(registry);
    registry.WriteString(port, calibration ? CalibrationStoredText(*calibration) : std::string());
    registry.CloseKey();
}

} // namespace CalibrationStore
