#include "app/gui/MainWindow.h"

#include "app/PrintServer.h"
#include "app/gui/ProgramIcon.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>

#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

namespace {

QFont buttonFont() {
    QFont font(QStringLiteral("Tahoma"), 10);
    font.setBold(true);
    return font;
}

} // namespace

TFMain::TFMain(PrintServer& server, bool withTray)
    : m_server(server) {
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(ProgramIcon());
    // A tool window keeps off the taskbar; the hints leave the close box alone.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(305, 210);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(233, 238, 245));
    setPalette(background);
    setAutoFillBackground(true);

    createButtons();
    if (withTray)
        createTray();
    centreOnScreen();

#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        const bool interaction = manager.allowsInteraction();
        if (!SessionEndQuery(interaction))
            manager.cancel();
        if (interaction)
            manager.release();
    });
#endif
}

TFMain::~TFMain() {
    m_server.status().setListener({});
}

void TFMain::createButtons() {
    Button1 = new QPushButton(QStringLiteral("Simge durumuna kucult"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(16, 51, 265, 49);
    Button1->setFont(buttonFont());
    connect(Button1, &QPushButton::clicked, this, &TFMain::Button1Click);

    Button2 = new QPushButton(QStringLiteral("Kapat"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(56, 112, 177, 41);
    Button2->setFont(buttonFont());
    connect(Button2, &QPushButton::clicked, this, &QWidget::close);

    Sertifika = new QLabel(this);
    Sertifika->setObjectName(QStringLiteral("Sertifika"));
    Sertifika->setGeometry(8, 158, 289, 48);
    Sertifika->setWordWrap(true);
    Sertifika->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Sertifika->hide();
}

void TFMain::createTray() {
    Popup = new QMenu(this);
    Popup->setObjectName(QStringLiteral("Popup"));
    Goster1 = Popup->addAction(QStringLiteral("Goster"), this, &TFMain::Goster1Click);
    Goster1->setObjectName(QStringLiteral("Goster1"));
    Yenidene1 = Popup->addAction(QStringLiteral("Bekleyen isleri yeniden dene"), &m_server,
                                 &PrintServer::RetrySetAsideJobs);
    Yenidene1->setObjectName(QStringLiteral("Yenidene1"));
    Durum1 = Popup->addAction(QStringLiteral("Durum sayfasi"), this, &TFMain::Durum1Click);
    Durum1->setObjectName(QStringLiteral("Durum1"));
    Sertifika1 =
        Popup->addAction(QStringLiteral("Sertifika parmak izi"), this, &TFMain::Sertifika1Click);
    Sertifika1->setObjectName(QStringLiteral("Sertifika1"));
    Sertifika1->setVisible(false);
    // The page starts after the window is made: the entry follows it when the menu opens.
    connect(Popup, &QMenu::aboutToShow, this,
            [this] { Sertifika1->setVisible(!m_server.statusPageFingerprint().isEmpty()); });
    Popup->addSeparator();
    Kapat1 = Popup->addAction(QStringLiteral("Kapat"), this, &QWidget::close);
    Kapat1->setObjectName(QStringLiteral("Kapat1"));

    // The menu opens on the context activation alone; left and double clicks do nothing.
    Tray = new QSystemTrayIcon(ProgramIcon(), this);
    Tray->setObjectName(QStringLiteral("Tray"));
    Tray->setToolTip(QStringLiteral("Velmora"));
    Tray->setContextMenu(Popup);
    Tray->show();
    m_server.status().setListener([this] { ShowStatus(); });
}

void TFMain::centreOnScreen() {
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

void TFMain::Button1Click() {
    hide();
}

void TFMain::Goster1Click() {
    show();
    raise();
    activateWindow();
}

void TFMain::Durum1Click() {
    const QString url = m_server.statusPageUrl();
    if (url.isEmpty())
        ShowNotice(m_server.statusPageProblem());
    else
        QDesktopServices::openUrl(QUrl(url));
}

void TFMain::Sertifika1Click() {
    if (Tray) {
        Tray->showMessage(QStringLiteral("Durum sayfasi sertifikasi (SHA-256)"),
                          m_server.statusPageFingerprint(), QSystemTrayIcon::Information);
    }
}

bool TFMain::SessionEndQuery(bool interactionAllowed) {
    if (m_server.isClosed())
        return true;
    if (interactionAllowed && !m_server.FormCloseQuery())
        return false;
    m_server.Close();
    return true;
}

void TFMain::ShowNotice(const QString& text) {
    if (Tray)
        Tray->showMessage(QStringLiteral("Velmora"), text, QSystemTrayIcon::Warning);
}

void TFMain::ShowStatus() {
    if (!Tray)
        return;
    const ServerStatus& status = m_server.status();
    Tray->setToolTip(status.Summary());
    Tray->setIcon(ProgramIcon(!status.failingPrinters().isEmpty()));
}

void TFMain::showEvent(QShowEvent* event) {
    const QString fingerprint = m_server.statusPageFingerprint();
    Sertifika->setText(QStringLiteral("Durum sayfasi sertifikasi (SHA-256):\n") + fingerprint);
    Sertifika->setVisible(!fingerprint.isEmpty());
    QWidget::showEvent(event);
}

void TFMain::closeEvent(QCloseEvent* event) {
    // The window goes with the process alone: a confirmed close ends the event loop.
    if (m_server.isClosed()) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_server.FormCloseQuery())
        m_server.Close();
}
