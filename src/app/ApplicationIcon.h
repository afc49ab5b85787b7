#pragma once

#include <QIcon>

// The program's icon for the windows that show one (the preferences window and the
// start-up failure dialog); the card is off the taskbar and carries none.
QIcon applicationIcon();
