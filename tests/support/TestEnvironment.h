// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace testsupport {

// Points HOME's XDG folders (config, cache, data, state) into a fresh
// temporary folder for the whole test program, before any Qt object reads
// them, so no test touches a real user's settings or files.
void isolateUserFolders();
QString isolatedRoot();

// The sample images in tests/data (read only: tests work on copies).
QString testDataDir();
bool hasTestData();
// Copies testdata/<relativePath> into dir and returns the copy's path.
QString copyTestFile(
    const QString &relativePath, const QTemporaryDir &dir, const QString &newName = QString());

// Makes a named pipe at path, which no process writes.
bool makePipe(const QString &path);
// Runs call on a thread of its own and answers whether it returned within
// a few seconds. A call still running then is taken to wait in the pipes:
// writers opened and closed on them, again and again, let it go before the
// answer.
bool returnsPromptly(const QStringList &pipes, const std::function<void()> &call);

} // namespace testsupport

// Fails a test whose sample images are missing: a test never passes by
// skipping what it was meant to check.
#define REQUIRE_TEST_DATA()                                                                                  \
    ASSERT_TRUE(testsupport::hasTestData())                                                                  \
        << "test data not found at " << qPrintable(testsupport::testDataDir())
