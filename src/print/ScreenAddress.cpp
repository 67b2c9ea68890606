#include "print/ScreenAddress.h"

#include "print/PrinterOptions.h"

#include <QStringList>
#include <algorithm>
#include <iterator>

namespace {

const QLatin1String kScheme("ekran:");

[[noreturn]] void Malformed(const QString& path, const QString& why) {
    RefusePrinter(QStringLiteral("Gecersiz ekran adresi: ") + path, why);
}

// The option words in one table, each with what it sets, all of them minutes from 1 to
// kMaxMinutes; an error names the bad one.
struct Option {
    QLatin1String word;
    int ScreenAddress::*minutes;
};

const Option kOptions[] = {
    {QLatin1String("sari"), &ScreenAddress::yellowMinutes},
    {QLatin1String("kirmizi"), &ScreenAddress::redMinutes},
};

void ParseOption(const QString& option, ScreenAddress& address) {
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    if (equals < 0)
        Malformed(address.path, QStringLiteral("secenegin degeri yok: '%1'").arg(option));
    const QString word = option.left(equals).toLower();
    const QString value = option.mid(equals + 1);
    const auto known =
        std::find_if(std::begin(kOptions), std::end(kOptions),
                     [&word](const Option& candidate) { return candidate.word == word; });
    if (known == std::end(kOptions))
        Malformed(address.path, QStringLiteral("bilinmeyen secenek '%1'").arg(option));
    bool ok = false;
    const int minutes = value.toInt(&ok);
    if (!ok || minutes < 1 || minutes > ScreenAddress::kMaxMinutes)
        Malformed(address.path, QStringLiteral("%1 1 ile %2 dakika arasinda olmali: '%3'")
                                    .arg(word)
                                    .arg(ScreenAddress::kMaxMinutes)
                                    .arg(value));
    address.*(known->minutes) = minutes;
}

} // namespace

bool ScreenAddress::IsScreenPath(const QString& path) {
    return path.startsWith(kScheme, Qt::CaseInsensitive);
}

ScreenAddress ScreenAddress::Parse(const QString& path) {
    if (!IsScreenPath(path))
        Malformed(path, QStringLiteral("ekran: ile baslamiyor"));
    ScreenAddress address;
    address.path = path;
    const QString rest = path.mid(kScheme.size());
    address.name = rest.section(QLatin1Char('?'), 0, 0).trimmed();
    const QString options = rest.section(QLatin1Char('?'), 1);
    for (const QString& option : options.split(QLatin1Char('&'), Qt::SkipEmptyParts))
        ParseOption(option, address);
    // The name is a segment of the screen's address on the status page.
    if (address.name.isEmpty() || address.name.contains(QLatin1Char('/')) ||
        address.name.contains(QLatin1Char('\\')))
        Malformed(path, QStringLiteral("ekran adi yok ya da '/' iceriyor"));
    if (address.redMinutes <= address.yellowMinutes)
        Malformed(path, QStringLiteral("kirmizi sari'dan sonra gelmeli"));
    return address;
}
