#pragma once

// Wayland lets no window place itself or stay above the others, which the card
// needs. On a Wayland session with XWayland at hand the program therefore runs
// as an X11 client; a user's explicit QT_QPA_PLATFORM still wins. Must be
// called before the application object is made.
void preferXWayland();
