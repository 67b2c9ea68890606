#pragma once

#include "core/UserMessages.h"

// Modal message boxes, while a desktop shows the tray; without one the headless messages
// stand in, since a box nobody sees would hold the server until someone comes.
class DesktopMessages : public UserMessages {
public:
    explicit DesktopMessages(UserMessages& headless);

    void ShowMessage(const QString& text) override;
    bool AskQuestion(const QString& text) override;

private:
    UserMessages& m_headless;
};
