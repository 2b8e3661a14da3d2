#pragma once

namespace Platform {

// The Windows version number (major, minor), as the port delays depend on it. Gives false, and
// leaves both numbers alone, on a system that is not Windows: no Windows version test passes there.
bool windowsVersion(int *major, int *minor);

}
