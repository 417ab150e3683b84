#include "app/SettingsErrorAdvice.h"

#include "serial/ComErrors.h"

std::string SettingsErrorAdvice(const std::exception& error)
{
    const auto* failure = dynamic_cast<const EComSettings*>(&error);
    if (!failure)
        return {};
    std::string advice;
    if (!failure->Reason().empty())
        advice += failure->Reason() + ".\n";
    if (!failure->Location().empty())
        advice += "The settings are kept in " + failure->Location() + ".\n";
    if (failure->FailureCode() == ComErrorCode(CE_LoadFailed))
        return advice + "Correct or remove that file, then press \"Load\" again; \"Store\" writes it anew.";
    return advice + "Make sure you may write that file and its folder, then press \"Store\" again.";
}
