#include "support/ExternalTool.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

namespace {

QStringList FileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

// The package names in a control field, without their version constraints.
QStringList PackageNames(const QString& field) {
    QStringList names;
    for (const QString& entry : field.split(QLatin1Char(',')))
        names << entry.section(QLatin1Char('('), 0, 0).trimmed();
    return names;
}

// The Debian package of this build tree, built and unpacked as dpkg would lay it out.
class DebianPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ToolRun pack =
            RunTool(QStringLiteral(VELMORA_CPACK),
                    {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                     QStringLiteral(VELMORA_BINARY_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                     work.filePath(QStringLiteral("out"))},
                    120000);
        ASSERT_EQ(pack.exitCode, 0) << pack.output.toStdString() << pack.errors.toStdString();
        const QStringList packages = QDir(work.filePath(QStringLiteral("out")))
                                         .entryList({QStringLiteral("velmora_*.deb")}, QDir::Files);
        ASSERT_EQ(packages.size(), 1) << pack.output.toStdString();
        package = work.filePath(QStringLiteral("out/") + packages.first());

        // The files as dpkg would lay them out, and the control area beside them.
        for (const auto& [option, folder] : {std::pair{"-x", "root"}, std::pair{"-e", "control"}}) {
            const ToolRun unpack =
                RunTool(QStringLiteral("dpkg-deb"),
                        {QLatin1String(option), package, work.filePath(QLatin1String(folder))});
            ASSERT_EQ(unpack.exitCode, 0) << unpack.errors.toStdString();
        }
    }

    QString field(const QString& name) const {
        return RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), package, name})
            .output.trimmed();
    }
    QString root(const QString& path) const {
        return work.filePath(QStringLiteral("root/") + path);
    }

    QTemporaryDir work;
    QString package;
};

TEST_F(DebianPackageTest, HoldsTheServerWithItsDesktopEntryUnitAndServiceAccount) {
    // The server, and the tools a technician uses beside it on the restaurant's machine.
    for (const char* name : {"velmora", "velmora-preview", "velmora-terminal"}) {
        const QFileInfo executable(root(QStringLiteral("opt/velmora/") + QLatin1String(name)));
        EXPECT_TRUE(executable.isFile() && executable.isExecutable()) << name;
    }

    // Both ways of starting it name the installed executable; only the group that may run it
    // (TryExec) starts it at log-in. The restaurant's files are apart from the program.
    const QStringList desktop =
        FileLines(root(QStringLiteral("etc/xdg/autostart/velmora.desktop")));
    for (const char* line : {"Exec=/opt/velmora/velmora", "TryExec=/opt/velmora/velmora"})
        EXPECT_TRUE(desktop.contains(QLatin1String(line))) << line;
    EXPECT_TRUE(FileLines(root(QStringLiteral("opt/velmora/Kurulum.ini")))
                    .contains(QStringLiteral("Veri klasoru=/var/lib/velmora")));
    const QStringList unit = FileLines(root(QStringLiteral("lib/systemd/system/velmora.service")));
    EXPECT_TRUE(unit.contains(QStringLiteral("ExecStart=/opt/velmora/velmora")));
    EXPECT_TRUE(unit.contains(QStringLiteral("WorkingDirectory=/var/lib/velmora")));
    EXPECT_TRUE(unit.contains(QStringLiteral("Restart=on-failure")));
    EXPECT_TRUE(unit.contains(QStringLiteral("SupplementaryGroups=lp"))); // USB printers

    // The database drivers are plugins, which no library dependency brings in; the postinst
    // needs adduser.
    const QStringList depends = PackageNames(field(QStringLiteral("Depends")));
    for (const char* name : {"libqt6sql6-sqlite", "libqt6sql6-odbc", "adduser"})
        EXPECT_TRUE(depends.contains(QLatin1String(name))) << name;
    EXPECT_EQ(field(QStringLiteral("Package")), QStringLiteral("velmora"));

    // The preinst closes a running copy of an older version, the postinst creates the service
    // account and the data folder, the prerm stops and disables the service, the postrm
    // forgets the program's permissions.
    for (const char* name : {"preinst", "postinst", "prerm", "postrm"}) {
        const QFileInfo script(work.filePath(QStringLiteral("control/") + QLatin1String(name)));
        EXPECT_TRUE(script.isExecutable()) << name;
        EXPECT_EQ(RunTool(QStringLiteral("sh"), {QStringLiteral("-n"), script.filePath()}).exitCode,
                  0)
            << name;
    }
}

} // namespace
