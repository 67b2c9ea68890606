#pragma once

#include "core/RegionalSettings.h"
#include "print/Ticket.h"

#include <gtest/gtest.h>

// Tickets written compactly in tests: lines separated by "|", and "~" for the decimal
// separator of the current regional settings.
inline Ticket Lines(const char* text) {
    return QString::fromUtf8(text)
        .replace(QLatin1Char('~'), RegionalSettings::current().decimalSeparator)
        .split(QLatin1Char('|'));
}

// The lines stand one after another somewhere in the ticket.
inline ::testing::AssertionResult HasLines(const Ticket& ticket, const Ticket& lines) {
    for (qsizetype i = 0; i + lines.size() <= ticket.size(); ++i) {
        if (ticket.mid(i, lines.size()) == lines)
            return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << lines.join(QLatin1Char('|')).toStdString() << " not in "
                                         << ticket.join(QLatin1Char('|')).toStdString();
}

// Line by line, so a difference names its line number.
inline void ExpectTicket(const Ticket& actual, const Ticket& expected) {
    for (qsizetype i = 0; i < qMin(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual.at(i).toStdString(), expected.at(i).toStdString()) << "line " << i + 1;
    EXPECT_EQ(actual.size(), expected.size()) << actual.join(QLatin1Char('|')).toStdString();
}
