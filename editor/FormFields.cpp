// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FormFields.h"

#include "common/Localization.h"
#include "engine/MetadataTag.h"

#include <algorithm>

namespace {

QString labelText(const FormFieldInfo &row)
{
    return localizedString(row.labelKey);
}

// The family of a key as a user knows it.
QString familyOf(std::string_view key)
{
    if (key.starts_with("Exif."))
        return QStringLiteral("Exif");
    if (key.starts_with("Iptc."))
        return QStringLiteral("IPTC");
    if (key.starts_with("Xmp.photoshop."))
        return QStringLiteral("Photoshop");
    return QStringLiteral("XMP");
}

QString qualified(const QString &name, const QString &family)
{
    return QStringLiteral("%1 (%2)").arg(name, family);
}

} // namespace

QString formFieldName(MetadataField field)
{
    const FormFieldInfo &row = formField(field);
    const QString name = labelText(row);
    const bool shared = std::any_of(formFields.begin(), formFields.end(),
        [&](const FormFieldInfo &other) { return other.field != field && labelText(other) == name; });
    return shared ? qualified(name, familyOf(fieldInfo(field).key)) : name;
}

std::optional<QString> formNameOfKey(const QString &key)
{
    const QByteArray bytes = key.toLatin1();
    const std::string_view wanted(bytes.constData(), std::size_t(bytes.size()));
    const auto found = std::find(metadataTagKeys.begin(), metadataTagKeys.end(), wanted);
    if (found == metadataTagKeys.end())
        return std::nullopt;
    const auto tag = MetadataTag(found - metadataTagKeys.begin());
    if (const std::optional<MetadataField> field = fieldOfTag(tag))
        return formFieldName(*field);
    return qualified(labelText(formField(MetadataField::creationDate)), familyOf(wanted));
}

QString formOutletName(const FormFieldInfo &row, FormOutlet outlet)
{
    const char *prefix = "lbl";
    switch (outlet) {
    case FormOutlet::Label:
        prefix = "lbl";
        break;
    case FormOutlet::Box:
        prefix = "box";
        break;
    case FormOutlet::Button:
        prefix = "btn";
        break;
    case FormOutlet::Control:
        prefix = row.control == FormControl::TextView ? "txtView"
            : isPopUp(row.control)                    ? "popUp"
                                                      : "txtField";
        break;
    }
    return QLatin1String(prefix) + QLatin1String(row.stem.data(), qsizetype(row.stem.size()));
}
