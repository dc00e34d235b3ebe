// How the program names itself to the desktop.
#pragma once

namespace bitonix {

// Sets the application name "Bitonix" (taskbar text and the name the desktop
// groups the windows under, with the desktop file "bitonix" and the program's
// icon). No display name is set: the platform would append it to every window
// caption ("Bitonix v1.0.0 — Bitonix"), and the captions are the windows' own.
// Needs the QApplication.
void SetApplicationIdentity();

} // namespace bitonix
