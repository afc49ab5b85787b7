#pragma once

// Tells Qt's accessibility what the program's own widgets are: roles, names, states and
// actions that it cannot know of drawn controls. Before any of them is made.
void installAccessibility();
