#include "app/PrintServer.h"
#include "app/gui/MainWindow.h"
#include "log/DiagnosticLog.h"
#include "support/RecordingMessages.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&server, &PrintServer::closed, [this] { ++closedSignals; });
    }

    template <typename T> T* child(const char* name) {
        T* found = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir dir;
    RecordingMessages messages;
    DiagnosticLog log{dir.filePath(QStringLiteral("velmora.log"))};
    PrintServer server{dir.path(), log, messages};
    TFMain window{server, true};
    int closedSignals = 0;
};

void ExpectButton(QPushButton* button, const QString& text, const QRect& geometry) {
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), text);
    EXPECT_EQ(button->geometry(), geometry);
    EXPECT_EQ(button->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(button->font().pointSize(), 10);
    EXPECT_TRUE(button->font().bold());
}

TEST_F(MainWindowTest, LayoutIsTheDesignedOne) {
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(window.minimumSize(), QSize(305, 210));
    EXPECT_EQ(window.maximumSize(), QSize(305, 210));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(window.font().pointSize(), 8);

    const QRect screen = window.screen()->availableGeometry();
    EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 1);

    ExpectButton(child<QPushButton>("Button1"), QStringLiteral("Simge durumuna kucult"),
                 QRect(16, 51, 265, 49));
    ExpectButton(child<QPushButton>("Button2"), QStringLiteral("Kapat"), QRect(56, 112, 177, 41));

    // What is painted, not only what is set: the background outside the buttons.
    const QImage picture = window.grab().toImage();
    EXPECT_EQ(picture.size(), QSize(305, 210));
    EXPECT_EQ(picture.pixelColor(4, 4), QColor(233, 238, 245));
    EXPECT_EQ(picture.pixelColor(300, 200), QColor(233, 238, 245));
}

TEST_F(MainWindowTest, TrayCarriesTheIconHintAndMenu) {
    auto* tray = child<QSystemTrayIcon>("Tray");
    auto* popup = child<QMenu>("Popup");
    ASSERT_TRUE(tray && popup);
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Velmora"));
    EXPECT_TRUE(tray->icon().availableSizes().contains(QSize(16, 16)));
    EXPECT_FALSE(tray->icon().pixmap(16, 16).toImage().isNull());
    EXPECT_EQ(tray->contextMenu(), popup);

    const QList<QAction*> items = popup->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Goster"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Bekleyen isleri yeniden dene"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("Durum sayfasi"));
    EXPECT_EQ(items[3]->text(), QStringLiteral("Sertifika parmak izi"));
    EXPECT_FALSE(items[3]->isVisible()); // no page over HTTPS
    EXPECT_TRUE(items[4]->isSeparator());
    EXPECT_EQ(items[5]->text(), QStringLiteral("Kapat"));

    // It says what waits and what fails, and its light turns red while a printer fails.
    const QImage working = tray->icon().pixmap(16, 16).toImage();
    server.status().QueueRead(3, 1);
    server.status().PrinterFailed(QStringLiteral("Mutfak"), QStringLiteral("Kagit bitti: x"));
    EXPECT_EQ(tray->toolTip(), "Velmora\nBekleyen is: 3, atlanan is: 1\nMutfak -- Kagit bitti: x");
    EXPECT_NE(tray->icon().pixmap(16, 16).toImage(), working);
    server.status().PrinterBack(QStringLiteral("MUTFAK"));
    EXPECT_EQ(tray->icon().pixmap(16, 16).toImage(), working);
}

TEST_F(MainWindowTest, MenuShowsAndButtonHidesWhileClicksOnTheIconDoNothing) {
    auto* tray = child<QSystemTrayIcon>("Tray");
    ASSERT_NE(tray, nullptr);
    emit tray->activated(QSystemTrayIcon::Trigger);
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(window.isVisible());

    child<QAction>("Goster1")->trigger();
    EXPECT_TRUE(window.isVisible());
    child<QPushButton>("Button1")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(messages.entries().isEmpty());
    EXPECT_FALSE(server.isClosed());
}

enum class CloseRequest { Button, TrayMenuWhileHidden, CloseBox, SessionEnd };

std::string CloseRequestName(const ::testing::TestParamInfo<CloseRequest>& request) {
    const char* names[] = {"Button", "TrayMenuWhileHidden", "CloseBox", "SessionEnd"};
    return names[static_cast<int>(request.param)];
}

class CloseRequestTest : public MainWindowTest, public ::testing::WithParamInterface<CloseRequest> {
protected:
    void request() {
        switch (GetParam()) {
        case CloseRequest::Button:
            child<QPushButton>("Button2")->click();
            break;
        case CloseRequest::TrayMenuWhileHidden:
            child<QAction>("Kapat1")->trigger();
            break;
        case CloseRequest::CloseBox:
            ASSERT_NE(window.windowHandle(), nullptr);
            window.windowHandle()->close();
            break;
        case CloseRequest::SessionEnd:
            sessionMayEnd.append(window.SessionEndQuery(true));
            break;
        }
    }

    QList<bool> sessionMayEnd;
};

TEST_P(CloseRequestTest, AsksAndClosesOnlyOnYes) {
    const bool shown = GetParam() != CloseRequest::TrayMenuWhileHidden;
    if (shown)
        window.Goster1Click();

    messages.queueAnswer(false);
    request();
    ASSERT_EQ(messages.questions(), QStringList{PrintServer::CloseQuestion});
    EXPECT_FALSE(server.isClosed());
    EXPECT_EQ(window.isVisible(), shown);

    messages.queueAnswer(true);
    request();
    EXPECT_EQ(messages.questions().size(), 2);
    EXPECT_TRUE(server.isClosed());
    EXPECT_EQ(closedSignals, 1);
    if (GetParam() == CloseRequest::SessionEnd) {
        EXPECT_EQ(sessionMayEnd, (QList<bool>{false, true}));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, CloseRequestTest,
                         ::testing::Values(CloseRequest::Button, CloseRequest::TrayMenuWhileHidden,
                                           CloseRequest::CloseBox, CloseRequest::SessionEnd),
                         CloseRequestName);

TEST_F(MainWindowTest, SessionEndWithoutAChanceToAskClosesCleanly) {
    EXPECT_TRUE(window.SessionEndQuery(false));
    EXPECT_TRUE(messages.entries().isEmpty());
    EXPECT_TRUE(server.isClosed());
}

} // namespace
