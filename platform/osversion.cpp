#include "osversion.h"

#include <QOperatingSystemVersion>

namespace Platform {

bool windowsVersion(int *major, int *minor)
{
    const QOperatingSystemVersion current = QOperatingSystemVersion::current();
    if (current.type() != QOperatingSystemVersion::Windows)
        return false;
    *major = current.majorVersion();
    *minor = current.minorVersion();
    return true;
}

}
