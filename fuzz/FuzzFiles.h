#pragma once
// The fuzz input as a file, for readers that open a path: one file per name in
// a scratch folder that lives as long as the process.
#include "FuzzSupport.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

inline const QString& WriteScratchFile(const std::uint8_t* data, std::size_t size, const char* name) {
    static const QTemporaryDir dir;
    static QString path;
    path = dir.filePath(QString::fromLatin1(name));
    QFile out(path);
    FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write %s", qPrintable(path));
    out.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path;
}
