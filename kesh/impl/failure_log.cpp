#include "kesh/failure_log.h"

#include "kesh/error.h"
#include "kesh/logger.h"
#include "kesh/string.h"

#include <windows.h>

namespace kesh {

void logError(const char* call, unsigned long code, const char* subject, const char* file, int line)
{
    const DWORD lastError = GetLastError();
    if (isLogLevelEnabled(LogLevelError)) {
        String message(call);
        message.append(" failed");
        if (subject) message.append(" (").append(subject).append(')');
        if (code == 0) {
            message.append('.');
        } else {
            message.append(String::format(": error %lu (0x%08lx): ", code, code).c_str());
            message.append(systemText(code).trimRight().c_str());
        }
        getLogger().write("[ERR ]", file, line, message.c_str());
    }
    SetLastError(lastError);
}

void logLastError(const char* call, const char* subject, const char* file, int line)
{
    logError(call, GetLastError(), subject, file, line);
}

}  // namespace kesh
