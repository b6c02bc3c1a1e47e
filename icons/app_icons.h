// The window icons of the programs, in every size drawn by make_icons.sh.
#pragma once

#include <QIcon>

namespace icons {

// The game's icon: the reel of cards under the marker.
QIcon game();
// The list editor's icon: the game's with a pencil.
QIcon editor();

} // namespace icons
