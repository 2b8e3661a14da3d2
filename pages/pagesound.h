#pragma once

#include <QString>

#include <functional>

// The sounds table pages play (the key panel's SOUND_FILES). A path is resolved below the working
// directory in any letter case and handed to the player, which plays it without waiting; the
// system's player is silent where the file is missing or no sound server runs. Tests put in a
// player of their own to record what each action plays.
namespace PageSound {

using Player = std::function<void(const QString &resolvedPath)>;

// Plays the file at path; an empty path plays nothing.
void play(const QString &path);

// Replaces the player; an empty one brings back the system's. Returns the one it replaced.
Player setPlayer(Player player);

}
