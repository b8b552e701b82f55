#pragma once
// The program's one application id. The desktop matches everything the program
// shows it by this name: the desktop entry (com.vantorel.mouse.desktop), the
// notifications' "desktop-entry" hint, the tray item's id, the autostart entry's
// file name, the AppStream component and the installed icon.
inline constexpr char kApplicationId[] = "com.vantorel.mouse";
