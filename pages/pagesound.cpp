#include "pagesound.h"

#include "datapaths.h"
#include "sound.h"

namespace PageSound {

namespace {

Player &currentPlayer()
{
    static Player player;
    return player;
}

}

void play(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString resolved = Platform::resolveDataPath(path);
    if (const Player &player = currentPlayer())
        player(resolved);
    else
        Platform::playSound(resolved);
}

Player setPlayer(Player player)
{
    Player previous = std::move(currentPlayer());
    currentPlayer() = std::move(player);
    return previous;
}

}
