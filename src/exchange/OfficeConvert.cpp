#include "exchange/OfficeConvert.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace exchange {

QString OfficeProgram() {
    const QString given = qEnvironmentVariable("QUILLORA_SOFFICE");
    if (!given.isEmpty()) return given;
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty()) return found;
    }
    return {};
}

QString ConvertToDocx(const QString& path, const QTemporaryDir& scratch, QString* error, int limitMs) {
    const QString program = OfficeProgram();
    const QString kind = QFileInfo(path).suffix().toLower();
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        *error = QStringLiteral("读取 .%1 文件需要 LibreOffice：请在 Word 或 WPS 中把它另存为 .docx 再导入，"
                                "或安装 LibreOffice（sudo apt install libreoffice-writer）")
                     .arg(kind);
        return {};
    }
    // A copy under a plain name: LibreOffice never sees the user's file, and
    // a name it might take for an option cannot reach it.
    const QDir dir(scratch.path());
    const QString copy = dir.filePath(QStringLiteral("document.") + kind);
    if (!QFile::copy(path, copy)) {
        *error = QStringLiteral("无法读取文件：") + path;
        return {};
    }
    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    // A profile of its own, so a LibreOffice the user has open is left alone.
    office.start(program,
                 {QStringLiteral("-env:UserInstallation=") +
                      QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString(),
                  QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                  QStringLiteral("docx"), QStringLiteral("--outdir"), dir.path(), copy});
    if (!office.waitForStarted(10000)) {
        *error = QStringLiteral("无法启动 LibreOffice（%1）").arg(program);
        return {};
    }
    if (!office.waitForFinished(limitMs)) {
        office.kill();
        office.waitForFinished(5000);
        *error = QStringLiteral("LibreOffice 在 %1 秒内没有转换完这个文件，已停止").arg(limitMs / 1000);
        return {};
    }
    const QString docx = dir.filePath(QStringLiteral("document.docx"));
    if (office.exitStatus() != QProcess::NormalExit || !QFileInfo(docx).isFile()) {
        *error = QStringLiteral("LibreOffice 无法转换这个文件（它可能已损坏，或不是 .%1 文档）").arg(kind);
        return {};
    }
    return docx;
}

} // namespace exchange
