// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG 2000 pictures, decoded with OpenJPEG: Qt has no reader for them and
// few of them carry a preview. Safe on any thread.
namespace platform::Jpeg2000 {

// Whether the file's first bytes are those of a JPEG 2000 file (a JP2 box
// structure or a bare codestream).
bool isJpeg2000(const QByteArray &head);

// The picture in the file at path (a path the C library can open), read
// at the smallest of its stored resolutions whose longer side still covers
// maxSide (0: the whole picture, within a few hundred million pixels); a
// null image when it does not decode. OpenJPEG's messages go to the
// libraries' log.
QImage decode(const QByteArray &path, int maxSide);

// The OpenJPEG library's version, as it reports it.
QString libraryVersion();

} // namespace platform::Jpeg2000
