#pragma once

#include <QWidget>

class PrintServer;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;

// The one window: hidden from the start, reached through the tray menu, offering to hide
// again or to shut the server down. Every way of closing asks first.
//
// The window's operations and where they live:
//   FormCreate      PrintServer::FormCreate, the start-up sequence (app/StartupSequence.h)
//   FormCloseQuery  PrintServer::FormCloseQuery, asked by closeEvent and SessionEndQuery
//   FormClose       PrintServer::FormClose, run by PrintServer::Close once nothing is running
//   Button1Click    Button1Click: hides the window
//   Button2Click    Button2 closes the window: closeEvent
//   Kapat1Click     the tray menu's Kapat1 closes the window: closeEvent
//   Goster1Click    Goster1Click: shows the window
//   Yenidene1       the tray menu's retry of set-aside jobs: PrintServer::RetrySetAsideJobs
//   Durum1          the tray menu's status page, opened in the default browser
//   Sertifika1      the tray menu's fingerprint of the page's certificate, with HTTPS; the
//                   window shows it below its buttons
//   TTimer          PrintServer::TTimer, which runs QueuePoller::TTimer
class TFMain : public QWidget {
    Q_OBJECT
public:
    // The tray icon is made only where a desktop can show one.
    TFMain(PrintServer& server, bool withTray);
    ~TFMain() override;

    void Button1Click();
    void Goster1Click();
    void Durum1Click();
    void Sertifika1Click();
    // The desktop session is about to end (log-off, shut-down): true lets it end. Without a
    // chance to ask, the server closes cleanly, since the session ends anyway.
    bool SessionEndQuery(bool interactionAllowed);
    // A notice from the tray that does not wait for an answer.
    void ShowNotice(const QString& text);
    // The tray's tooltip and icon follow the server's status.
    void ShowStatus();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createButtons();
    void createTray();
    void centreOnScreen();

    PrintServer& m_server;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QSystemTrayIcon* Tray = nullptr;
    QMenu* Popup = nullptr;
    QAction* Goster1 = nullptr;
    QAction* Yenidene1 = nullptr;
    QAction* Durum1 = nullptr;
    QAction* Sertifika1 = nullptr;
    QAction* Kapat1 = nullptr;
    QLabel* Sertifika = nullptr;
};
