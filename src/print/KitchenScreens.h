#pragma once

#include "print/ScreenAddress.h"
#include "print/Ticket.h"

#include <QString>

// The kitchen screens that "ekran:" paths show tickets on (print/ScreenAddress.h): a screen is a
// printer whose ticket counts as delivered once a screen of its name said it drew it. Whoever
// serves the screens implements it; printing knows nothing more of them.
class KitchenScreens {
public:
    // The reason of every ticket that no screen took.
    static inline const QString kNotConnected = QStringLiteral("Ekran bagli degil");
    // How long a screen has to confirm that it drew a ticket.
    static constexpr int kDeliveryMs = 5000;

    virtual ~KitchenScreens() = default;

    // Shows the ticket on every screen of the address's name and returns once one of them drew
    // it. Throws PrinterError, the ticket shown nowhere, when none is connected or none drew it
    // within kDeliveryMs.
    virtual void Show(const ScreenAddress& address, const Ticket& ticket) = 0;
    // Why no screen of that name can take a ticket now, or the empty text.
    virtual QString Check(const ScreenAddress& address) = 0;
};
