#pragma once

// Per-frame snapshot of mouse buttons 0..6 and key codes 0..255 with edge
// flags. Codes above 255 (Escape, Tab, the shift keys ...) are not tracked:
// the application asks the platform for those directly.
struct InputState {
    static constexpr int buttonCount = 7;
    static constexpr int keyCount = 256;

    bool mouseDown[buttonCount] = {};
    bool mousePressed[buttonCount] = {};
    bool mouseReleased[buttonCount] = {};
    bool keyDown[keyCount] = {};
    bool keyPressed[keyCount] = {};
    bool keyReleased[keyCount] = {};
};
