#pragma once

#include <QString>

// Where a kitchen screen is reached, from a printer path ("Yol"): "ekran:NAME", followed by
// options in any order, "?sari=8&kirmizi=15": the minutes after which a card turns yellow, then
// red. Every screen page opened for NAME shows the tickets of that path. The scheme, the option
// names and NAME ignore letter case, like every printer path.
struct ScreenAddress {
    static constexpr int kDefaultYellowMinutes = 8;
    static constexpr int kDefaultRedMinutes = 15;
    static constexpr int kMaxMinutes = 240;

    // Whether the path is meant for a kitchen screen, well-formed or not.
    static bool IsScreenPath(const QString& path);
    // Throws PrinterError naming what is wrong with a malformed path.
    static ScreenAddress Parse(const QString& path);

    QString path; // as written, for messages
    QString name;
    int yellowMinutes = kDefaultYellowMinutes;
    int redMinutes = kDefaultRedMinutes;
};
