#include "print/EscPosAddress.h"

#include "core/Error.h"

#include <QStringList>

namespace {

const QLatin1String kScheme("escpos:");

[[noreturn]] void Malformed(const QString& path, const QString& why) {
    throw PrinterError(QStringLiteral("Gecersiz ESC/POS yazici adresi: ") + path +
                       QStringLiteral(" (") + why + QLatin1Char(')'));
}

int WholeNumber(const QString& text, int low, int high, const QString& path, const QString& what) {
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < low || number > high)
        Malformed(path, QStringLiteral("%1 %2 ile %3 arasinda olmali: '%4'")
                            .arg(what)
                            .arg(low)
                            .arg(high)
                            .arg(text));
    return number;
}

// "HOST", "HOST:PORT", "[IPv6]" or "[IPv6]:PORT".
void ParseAuthority(const QString& authority, EscPosAddress& address) {
    qsizetype portColon = -1;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            Malformed(address.path, QStringLiteral("']' eksik"));
        address.host = authority.mid(1, close - 1);
        if (close + 1 < authority.size()) {
            if (authority.at(close + 1) != QLatin1Char(':'))
                Malformed(address.path, QStringLiteral("']' sonrasi beklenmeyen metin"));
            portColon = close + 1;
        }
    } else {
        portColon = authority.indexOf(QLatin1Char(':'));
        address.host = portColon < 0 ? authority : authority.left(portColon);
    }
    if (address.host.isEmpty() || address.host.contains(QLatin1Char('/')) ||
        address.host.contains(QLatin1Char(' ')))
        Malformed(address.path, QStringLiteral("sunucu adi yok ya da gecersiz"));
    if (portColon >= 0)
        address.port = WholeNumber(authority.mid(portColon + 1), 1, 65535, address.path,
                                   QStringLiteral("port"));
}

void ParseOptions(const QString& query, EscPosAddress& address) {
    for (const QString& option : query.split(QLatin1Char('&'))) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        const QString key = option.left(equals).toLower();
        const QString value = option.mid(equals + 1);
        if (equals < 0)
            Malformed(address.path, QStringLiteral("secenegin degeri yok: '%1'").arg(option));
        else if (key == QLatin1String("dots"))
            address.dots = WholeNumber(value, 8, EscPosAddress::kMaxDots, address.path, key);
        else if (key == QLatin1String("baud"))
            address.baud = WholeNumber(value, 300, 4000000, address.path, key);
        else if (key == QLatin1String("status"))
            address.asksStatus = WholeNumber(value, 0, 1, address.path, key) == 1;
        else
            Malformed(address.path, QStringLiteral("bilinmeyen secenek '%1'").arg(option));
    }
}

} // namespace

bool EscPosAddress::IsEscPosPath(const QString& path) {
    return path.startsWith(kScheme, Qt::CaseInsensitive);
}

EscPosAddress EscPosAddress::Parse(const QString& path) {
    if (!IsEscPosPath(path))
        Malformed(path, QStringLiteral("escpos: ile baslamiyor"));
    EscPosAddress address;
    address.path = path;
    QString rest = path.mid(kScheme.size());
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    if (question >= 0) {
        ParseOptions(rest.mid(question + 1), address);
        rest.truncate(question);
    }
    if (rest.startsWith(QLatin1String("//"))) {
        ParseAuthority(rest.mid(2), address);
    } else {
        if (rest.trimmed().isEmpty())
            Malformed(path, QStringLiteral("aygit dosyasi yok"));
        address.device = rest;
    }
    return address;
}
