#pragma once

#include <QByteArray>
#include <QString>

// The kitchen screen's page, made for a 1280x800 TV and a 10-inch tablet: the cards with their
// items, running timers and age colours, the open items counted, a tone made in the page for
// each new card. It draws what its event stream sends and confirms what it drew; the cooks'
// taps are POSTs that carry the screen's key, or the session's token when it has no key.
namespace ScreenPage {

QString Html(const QString& name, const QByteArray& key, const QByteArray& token);
QByteArray Script();

} // namespace ScreenPage
