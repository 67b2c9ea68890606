#include "preview/PngExport.h"

#include "core/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace PngExport {

QString FindRenderer() {
    return QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
}

QString RenderPng(const QString& renderer, const QString& pdfPath) {
    const QFileInfo pdf(pdfPath);
    const QString base = pdf.dir().filePath(pdf.completeBaseName());
    QProcess process;
    process.start(renderer, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("203"),
                             QStringLiteral("-singlefile"), pdfPath, base});
    const bool finished = process.waitForFinished(30000);
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        const QString reason = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        throw Error(QStringLiteral("PNG cizilemedi: ") + pdfPath + QStringLiteral(" (") +
                    (reason.isEmpty() ? process.errorString() : reason) + QLatin1Char(')'));
    }
    return base + QStringLiteral(".png");
}

} // namespace PngExport
