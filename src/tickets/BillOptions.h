#pragma once

#include <QString>

// The switches of Velmora.ini that shape bills and slips, and the exchange-rate line; all
// fixed at start-up.
struct BillOptions {
    bool customerFlag = false;   // "Çıktıda cari adı ve bakiyesini yaz"
    bool tableInfoFlag = true;   // "Çıktıda adisyon masa bilgilerini yaz"
    bool printRatesFlag = false; // "Hesap fislerinde doviz kurlarini yaz"
    QString exchangeRateLine;
};
