#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Points HOME's XDG folders (config, cache, data, state) into a fresh
// temporary folder for the whole test program, before any Qt object reads
// them, so no test touches a real user's settings or files.
void isolateUserFolders();
QString isolatedRoot();

// The shared test images (read only: tests work on copies).
QString testDataDir();
bool hasTestData();
// Copies testdata/<relativePath> into dir and returns the copy's path.
QString copyTestFile(const QString &relativePath, const QTemporaryDir &dir,
                     const QString &newName = QString());

} // namespace testsupport

// Skips a test when the shared test data is not beside the project.
#define REQUIRE_TEST_DATA()                                                                    \
    do {                                                                                       \
        if (!testsupport::hasTestData())                                                       \
            GTEST_SKIP() << "shared test data not found at " << qPrintable(testsupport::testDataDir()); \
    } while (0)
