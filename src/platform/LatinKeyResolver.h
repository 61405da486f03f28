#pragma once

#include <QChar>

// Tells which Latin letter or digit a key stands for on the user's keyboard, whatever layout
// is active: on a Russian layout the key that types "в" is the D key, on a French layout the
// key that types "&" is the 1 key. Keys are named by their XKB keycode, which is the native
// scan code of a key event on X11 and on Wayland.
class LatinKeyResolver
{
public:
    virtual ~LatinKeyResolver() = default;

    // A lower-case letter a to z or a digit; null when the key has neither (Tab, F1, ";").
    // Called on the GUI thread for key presses; returns at once.
    virtual QChar latinCharacter(quint32 keycode) = 0;
};
