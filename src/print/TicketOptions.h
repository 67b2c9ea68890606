#pragma once

// What a printer's options ask of every ticket it prints (print/PrinterOptions.h reads them):
// a bell after the cut, and how the kitchen's lines are drawn. The ticket's markup says which
// lines are large and which stand out (print/TicketMarkup.h); without options every line is
// drawn as it always was.
struct TicketOptions {
    // The bell command: ESC B n t (most Epson-compatible printers), ESC ( A (Epson models with
    // a beeper), ESC GS BEL (Star mode) or a pulse on the drawer port (ESC p).
    enum class Bell { EscB, Epson, Star, Drawer };
    // How lines that stand out are drawn: as any other, white on black, or in the second colour
    // of a two-colour printer.
    enum class Emphasis { None, Reverse, Red };

    int rings = 0; // times the bell rings after each ticket; 0: never
    Bell bell = Bell::EscB;
    int scale = 1; // large lines are this many times taller and wider
    Emphasis emphasis = Emphasis::None;

    // The same on a device that prints one colour: red stands out reversed there.
    TicketOptions InOneColour() const {
        TicketOptions options = *this;
        if (options.emphasis == Emphasis::Red)
            options.emphasis = Emphasis::Reverse;
        return options;
    }
};
