#pragma once

#include <QString>

namespace Platform {

// Plays a wave file without waiting for its end. Where the file is missing or no sound server
// runs for this user, plays nothing and says nothing (the sound library would warn on every
// attempt to reach a server that is not there).
void playSound(const QString &path);

// Whether a sound server this user's programs can reach is running.
bool soundServerRunning();

}
