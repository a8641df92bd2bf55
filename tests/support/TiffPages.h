// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

// A document of several pages, as a scanner writes it with libtiff, for the
// tests of what a write or a clear keeps of every page.
namespace testsupport {

// One page a colour, each in strips, compressed, turned as it stands.
bool writePages(const QString &path, const QList<QColor> &colours);

// Each page's pixels, as libtiff decodes them.
QList<QByteArray> pagesOf(const QString &path);

} // namespace testsupport
