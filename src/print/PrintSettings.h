#pragma once

// How this machine prints, read once at start from Velmora.ini.
struct PrintSettings {
    int fontSize = 10; // points, ordinary lines
    int left = 0;      // "Sol": added to the x of centred lines, printer dots
    int right = 0;     // "Sag": kept free at the right edge, printer dots
    int top = 0;       // "Ust": y of the first line of a ticket, printer dots
    int bottom = 0;    // "Alt": read but has no effect
    bool dummy = false;
};
