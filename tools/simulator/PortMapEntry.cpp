#include "simulator/PortMapEntry.h"

#include "serial/posix/PortMap.h"

#include <utility>

TPortMapEntry::TPortMapEntry(std::string name, std::filesystem::path devicePath)
    : name(std::move(name))
    , devicePath(std::move(devicePath))
{
    PortMap::Register(this->name, this->devicePath);
}

TPortMapEntry::~TPortMapEntry()
{
    if (PortMap::ResolveDevicePath(name) == devicePath)
        PortMap::Unregister(name);
}
