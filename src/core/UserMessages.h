#pragma once

#include <QString>

// What the server says to the operator. The desktop shows modal boxes; headless runs and
// tests supply their own implementation.
class UserMessages {
public:
    virtual ~UserMessages() = default;

    // An OK box titled "Velmora".
    virtual void ShowMessage(const QString& text) = 0;
    // A Yes/No box titled "Soru"; true exactly when Yes was chosen.
    virtual bool AskQuestion(const QString& text) = 0;
};
