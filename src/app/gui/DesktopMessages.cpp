#include "app/gui/DesktopMessages.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <utility>

namespace {

int showBox(const QString& title, const QString& text, QMessageBox::StandardButtons buttons) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::NoIcon, title, shown, buttons);
    // The buttons speak the operator's language even where Qt has no Turkish translation.
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Ok, "Tamam"}, {QMessageBox::Yes, "Evet"}, {QMessageBox::No, "Hayır"}};
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* shownButton = box.button(button))
            shownButton->setText(QString::fromUtf8(caption));
    }
    return box.exec();
}

} // namespace

DesktopMessages::DesktopMessages(UserMessages& headless)
    : m_headless(headless) {}

void DesktopMessages::ShowMessage(const QString& text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return m_headless.ShowMessage(text);
    showBox(QStringLiteral("Velmora"), text, QMessageBox::Ok);
}

bool DesktopMessages::AskQuestion(const QString& text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return m_headless.AskQuestion(text);
    return showBox(QStringLiteral("Soru"), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}
