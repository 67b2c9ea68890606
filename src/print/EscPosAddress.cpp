#include "print/EscPosAddress.h"

namespace {

const QLatin1String kScheme("escpos:");

QString Printer(const QString& path) {
    return QStringLiteral("Gecersiz ESC/POS yazici adresi: ") + path;
}

[[noreturn]] void Malformed(const QString& path, const QString& why) {
    RefusePrinter(Printer(path), why);
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
    if (portColon < 0)
        return;
    const QString port = authority.mid(portColon + 1);
    bool ok = false;
    address.port = port.toInt(&ok);
    if (!ok || address.port < 1 || address.port > 65535)
        Malformed(address.path, QStringLiteral("port 1 ile 65535 arasinda olmali: '%1'").arg(port));
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
        const PrinterOptions options = PrinterOptions::Parse(
            rest.mid(question + 1), PrinterOptions::Kind::EscPos, Printer(path));
        address.dots = options.dots;
        address.baud = options.baud;
        address.asksStatus = options.asksStatus;
        address.ticket = options.ticket;
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
