#pragma once

#include <QString>

// The per-user base folders of the XDG base directory rules. A variable that holds a relative
// path is ignored, as the rules say, and the default is used in its place: a relative one would
// put the user's files wherever the program happened to be started.
namespace XdgFolders {

// $XDG_CONFIG_HOME, else ~/.config.
QString configHome();
// $XDG_CACHE_HOME, else ~/.cache.
QString cacheHome();
// $HOME when it is an absolute path, else the home folder of the user's account.
QString home();

} // namespace XdgFolders
