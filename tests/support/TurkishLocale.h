#pragma once

#include <QByteArray>
#include <QLocale>
#include <QtGlobal>
#include <clocale>
#include <gtest/gtest.h>

// Turkish regional settings for one scope, in the C library (where "i" does not upper-case
// to "I") and in Qt. A machine without the locale fails the test instead of passing under C.
class TurkishLocale {
public:
    TurkishLocale()
        : m_previous(std::setlocale(LC_ALL, nullptr)) {
#ifdef Q_OS_WIN
        const char* const name = "Turkish_Turkey.1254";
#else
        const char* const name = "tr_TR.UTF-8";
#endif
        EXPECT_NE(std::setlocale(LC_ALL, name), nullptr) << "run scripts/install-deps";
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    }
    ~TurkishLocale() {
        std::setlocale(LC_ALL, m_previous.constData());
        QLocale::setDefault(m_previousQt);
    }
    TurkishLocale(const TurkishLocale&) = delete;
    TurkishLocale& operator=(const TurkishLocale&) = delete;

private:
    QByteArray m_previous;
    QLocale m_previousQt;
};
