// JV-Link is a Windows component: elsewhere none is ever installed.
#include "acquisition/JVLink.h"

namespace tervan {

bool SystemHasJVLink()
{
    return false;
}

std::unique_ptr<IJVLink> CreateInstalledJVLink()
{
    return nullptr;
}

} // namespace tervan
