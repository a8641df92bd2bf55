// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutWindow.h"

#include "platform/Jpeg2000.h"
#include "platform/widgets/ThemeIcon.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QtGlobal>

#include <exiv2/exiv2.hpp>
#include <sqlite3.h>
#include <unicode/uversion.h>

AboutWindow::AboutWindow(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About Calvorn"));

    auto *icon = new QLabel(this);
    icon->setPixmap(platform::applicationIcon().pixmap(96, 96));
    icon->setAlignment(Qt::AlignCenter);
    auto *name = new QLabel(QStringLiteral("<h2>Calvorn</h2>"), this);
    name->setAlignment(Qt::AlignCenter);
    lblVersion = new QLabel(tr("Version %1").arg(QStringLiteral(CALVORN_VERSION)), this);
    lblVersion->setAlignment(Qt::AlignCenter);
    auto *summary = new QLabel(tr("Edits the metadata of many photographs at a time."), this);
    summary->setAlignment(Qt::AlignCenter);

    lblLicence = new QLabel(tr("Free software under the GNU General Public License, version 3 or any later "
                               "version (GPL-3.0-or-later). It comes with absolutely no warranty. "
                               "<a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">Read the licence</a>"),
        this);
    lblLicence->setWordWrap(true);
    lblLicence->setAlignment(Qt::AlignCenter);
    lblLicence->setOpenExternalLinks(true);

    QString rows;
    for (const auto &[library, version] : libraries())
        rows += QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>")
                    .arg(library.toHtmlEscaped(), version.toHtmlEscaped());
    lblLibraries = new QLabel(tr("Built on:") + QStringLiteral("<table>%1</table>").arg(rows), this);
    lblLibraries->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(icon);
    layout->addWidget(name);
    layout->addWidget(lblVersion);
    layout->addWidget(summary);
    layout->addSpacing(6);
    layout->addWidget(lblLicence);
    layout->addSpacing(6);
    layout->addWidget(lblLibraries, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QList<QPair<QString, QString>> AboutWindow::libraries()
{
    UVersionInfo icu;
    u_getVersion(icu);
    char icuText[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(icu, icuText);
    return {
        { QStringLiteral("Qt"), QString::fromLatin1(qVersion()) },
        { QStringLiteral("Exiv2"), QString::fromStdString(Exiv2::versionString()) },
        { QStringLiteral("SQLite"), QString::fromLatin1(sqlite3_libversion()) },
        { QStringLiteral("ICU"), QString::fromLatin1(icuText) },
        { QStringLiteral("OpenJPEG"), platform::Jpeg2000::libraryVersion() },
    };
}
