// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/DateTime.h"
#include "support/PinnedDates.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>

#include <memory>

// Batch tests compute dates in a fixed zone and locale.
class BatchTest : public PinnedDates
{
public:
    // A date rule set up by the caller.
    template <class Setup> static std::shared_ptr<DateTime> rule(Setup setup)
    {
        auto r = std::make_shared<DateTime>();
        setup(*r);
        return r;
    }

    static QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A new file name in folder holding bytes; its path.
    static QString writeFile(const QString &folder, const QString &name, const QByteArray &bytes)
    {
        QFile file(QDir(folder).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
};
