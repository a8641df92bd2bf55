// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Globals.h"

#include "engine/FileInfo.h"
#include "platform/Paths.h"

const QStringList &supportedExtensions()
{
    static const QStringList extensions { QStringLiteral("exv"), QStringLiteral("cr2"), QStringLiteral("tif"),
        QStringLiteral("tiff"), QStringLiteral("webp"), QStringLiteral("dng"), QStringLiteral("nef"),
        QStringLiteral("pef"), QStringLiteral("srw"), QStringLiteral("orf"), QStringLiteral("png"),
        QStringLiteral("pgf"), QStringLiteral("psd"), QStringLiteral("jp2"), QStringLiteral("jpeg"),
        QStringLiteral("jpg"), QStringLiteral("mos"), QStringLiteral("fff"), QStringLiteral("nrw"),
        QStringLiteral("sr2"), QStringLiteral("srf") };
    return extensions;
}

const QStringList &defaultExclusionPaths()
{
    static const QStringList paths = [] {
        QStringList list { QStringLiteral("/usr"), QStringLiteral("/proc"), QStringLiteral("/sys"),
            QStringLiteral("/dev") };
        const QString home = platform::Paths::homeFolder();
        for (const char *suffix : { "/.local/share/Trash", "/.cache", "/.local", "/Dropbox" })
            list << home + QLatin1String(suffix);
        return list;
    }();
    return paths;
}

FileInfoList &allFiles()
{
    static FileInfoList files;
    return files;
}

FileInfoList &displayedFiles()
{
    static FileInfoList files;
    return files;
}

FileInfoList markedFiles(const FileInfoList &files)
{
    FileInfoList marked;
    for (const auto &file : files) {
        if (file && file->isMark)
            marked << file;
    }
    return marked;
}
