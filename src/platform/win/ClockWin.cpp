#include "platform/Clock.h"

#include <windows.h>

namespace tervan {

DateTime Now()
{
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

} // namespace tervan
