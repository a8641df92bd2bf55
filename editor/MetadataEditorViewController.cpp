// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/MetadataEditorViewController.h"

#include "common/Localization.h"
#include "controls/CustomTextView.h"
#include "controls/FieldStart.h"
#include "editor/DateTimeViewController.h"
#include "editor/EditLocationViewController.h"
#include "editor/FieldBox.h"
#include "editor/PopUpValues.h"
#include "engine/FileInfo.h"
#include "engine/FileInfoEvents.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const QString LeaveBlank = QStringLiteral("Leave Blank");

// Room for about three lines in the two text views.
constexpr int TextViewLines = 3;

QString text(const char *key)
{
    return localizedString(QLatin1String(key));
}

QString outletName(std::string_view name)
{
    return QLatin1String(name.data(), qsizetype(name.size()));
}

// A small button beside a field, showing only its icon.
QPushButton *makeIconButton(const char *iconName, QWidget *parent)
{
    auto *button = new QPushButton(platform::themeIcon(QLatin1String(iconName)), QString(), parent);
    button->setAutoDefault(false);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

} // namespace

MetadataEditorViewController::MetadataEditorViewController(QWidget *parent)
    : QWidget(parent)
    , m_locales(countryList())
    , m_fileInfo(std::make_shared<FileInfo>())
{
    connect(&FileInfoEvents::shared(), &FileInfoEvents::detailsArrived, this,
        &MetadataEditorViewController::detailsArrived);
}

MetadataEditorViewController::~MetadataEditorViewController()
{
    delete m_locationEditor.data();
}

DateTimeViewController *MetadataEditorViewController::sharedDateTime()
{
    if (!m_dateTime)
        m_dateTime.reset(platform::ScreenRegistry::make<DateTimeViewController>());
    return m_dateTime.get();
}

EditLocationViewController *MetadataEditorViewController::sharedLocationEditor()
{
    if (!m_locationEditor)
        m_locationEditor = platform::ScreenRegistry::make<EditLocationViewController>();
    return m_locationEditor;
}

void MetadataEditorViewController::showEvent(QShowEvent *event)
{
    loadView();
    QWidget::showEvent(event);
}

void MetadataEditorViewController::loadView()
{
    if (isViewLoaded())
        return;
    m_locales.prepend(CountryLocale { QString(), LeaveBlank });
    // The date screen exists before any date field is filled.
    m_datePopOver.setContent(sharedDateTime());
    buildLayout();
    setupPopUps();
    setUpTexts();
}

void MetadataEditorViewController::buildLayout()
{
    // One grid for every section, so the labels of all sections line up.
    // The owner scrolls the form: it is as tall as its sections.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 8, 12, 12);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);
    outer->addStretch(1);

    const auto addSpacing = [grid](int height) { grid->setRowMinimumHeight(grid->rowCount(), height); };
    for (const FormHeadingInfo &info : formHeadings) {
        auto *heading = new QLabel(this);
        heading->setObjectName(outletName(info.outlet));
        QFont font = heading->font();
        font.setBold(true);
        if (info.isGroup) {
            font.setPointSizeF(font.pointSizeF() * 1.2);
            if (info.heading != FormHeading::ExifDetails)
                addSpacing(18);
        } else {
            heading->setForegroundRole(QPalette::PlaceholderText);
            addSpacing(8);
        }
        heading->setFont(font);
        grid->addWidget(heading, grid->rowCount(), 0, 1, 2);
        m_headings[std::size_t(info.heading)] = heading;
        if (info.isGroup)
            continue;

        if (info.heading == FormHeading::GPS) {
            m_editLocationBox = new FieldBox(this);
            m_editLocationBox->setObjectName(QStringLiteral("boxEditLocationWithMap"));
            auto *row = new QHBoxLayout(m_editLocationBox);
            row->setContentsMargins(3, 3, 3, 3);
            m_editLocationButton = makeIconButton("mark-location", m_editLocationBox);
            m_editLocationButton->setObjectName(QStringLiteral("btnEditLocationWithMap"));
            m_editLocationLabel = new QLabel(m_editLocationBox);
            m_editLocationLabel->setObjectName(QStringLiteral("lblEditLocationWithMap"));
            row->addWidget(m_editLocationButton);
            row->addWidget(m_editLocationLabel, 1);
            connect(m_editLocationButton, &QPushButton::clicked, this,
                &MetadataEditorViewController::clickedEditLocationWithMap);
            grid->addWidget(m_editLocationBox, grid->rowCount(), 1);
        }

        for (const FormFieldInfo &field : formFields) {
            if (field.section != info.heading)
                continue;
            FieldOutlets &outlets = m_fields[std::size_t(field.field)];
            const int gridRow = grid->rowCount();
            outlets.label = new QLabel(this);
            outlets.label->setObjectName(formOutletName(field, FormOutlet::Label));
            outlets.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            outlets.box = new FieldBox(this);
            outlets.box->setObjectName(formOutletName(field, FormOutlet::Box));
            auto *boxRow = new QHBoxLayout(outlets.box);
            boxRow->setContentsMargins(3, 3, 3, 3);
            QWidget *control = makeControl(field, outlets.box);
            control->setObjectName(formOutletName(field, FormOutlet::Control));
            outlets.control = control;
            outlets.label->setBuddy(control);
            boxRow->addWidget(control, 1);
            if (field.control == FormControl::DateField) {
                outlets.button = makeIconButton("view-calendar", outlets.box);
                outlets.button->setObjectName(formOutletName(field, FormOutlet::Button));
                QPushButton *button = outlets.button;
                const MetadataField dateField = field.field;
                connect(button, &QPushButton::clicked, this,
                    [this, button, dateField] { showDatePopover(button, dateField); });
                boxRow->addWidget(button);
            }
            const Qt::Alignment labelAlignment
                = field.control == FormControl::TextView ? Qt::AlignTop | Qt::AlignRight : Qt::Alignment();
            grid->addWidget(outlets.label, gridRow, 0, labelAlignment);
            grid->addWidget(outlets.box, gridRow, 1);
            if (field.field == MetadataField::keywords) {
                m_keywordsHint = new QLabel(this);
                m_keywordsHint->setObjectName(QStringLiteral("lblEnterKeywordsCommaSeprated"));
                m_keywordsHint->setForegroundRole(QPalette::PlaceholderText);
                m_keywordsHint->setWordWrap(true);
                grid->addWidget(m_keywordsHint, grid->rowCount(), 1);
            }
        }
    }
}

int MetadataEditorViewController::headingOffset(FormHeading which) const
{
    const QLabel *shown = heading(which);
    return shown ? shown->mapTo(this, QPoint(0, 0)).y() : 0;
}

QWidget *MetadataEditorViewController::makeControl(const FormFieldInfo &row, QWidget *parent)
{
    switch (row.control) {
    case FormControl::TextView: {
        auto *view = new CustomTextView(parent);
        view->setTabChangesFocus(true);
        const QMargins margins = view->contentsMargins();
        view->setFixedHeight(view->fontMetrics().lineSpacing() * TextViewLines + margins.top()
            + margins.bottom() + 2 * int(view->document()->documentMargin()));
        connect(view, &QPlainTextEdit::textChanged, this, [this, view] {
            if (!m_writingTextView)
                textDidChange(view);
        });
        return view;
    }
    case FormControl::PopUp:
    case FormControl::CountryPopUp: {
        auto *popUp = new QComboBox(parent);
        popUp->setMaxVisibleItems(20);
        popUp->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        popUp->setMinimumContentsLength(12);
        const MetadataField field = row.field;
        const bool isGpsReference = field == MetadataField::gpsLatitudeRef
            || field == MetadataField::gpsLongitudeRef || field == MetadataField::gpsAltitudeRef;
        connect(popUp, &QComboBox::activated, this, [this, popUp, field, isGpsReference] {
            if (isGpsReference)
                clickedGpsReference(field);
            else
                clickedPopUp(popUp);
        });
        return popUp;
    }
    case FormControl::DateField: {
        // The date rule decides the value; the popover writes its summary.
        auto *field = new QLineEdit(parent);
        field->setReadOnly(true);
        showValueFromStart(field);
        return field;
    }
    case FormControl::TextField:
    case FormControl::IntegerField:
    case FormControl::DecimalField:
    case FormControl::GpsField:
        break;
    }
    auto *field = new QLineEdit(parent);
    showValueFromStart(field);
    connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
    return field;
}

void MetadataEditorViewController::setupPopUps()
{
    for (const FormFieldInfo &row : formFields) {
        QComboBox *box = popUp(row.field);
        if (!box)
            continue;
        box->clear();
        if (row.control == FormControl::CountryPopUp) {
            QStringList names;
            names.reserve(m_locales.size());
            for (const CountryLocale &entry : m_locales)
                names << entry.countryName;
            box->addItems(names);
        } else {
            box->addItems(popUpValues(row.field)->titles());
        }
    }
}

void MetadataEditorViewController::setUpTexts()
{
    const QLatin1Char colon(':');
    for (const FormFieldInfo &row : formFields)
        label(row.field)->setText(text(row.labelKey) + colon);
    m_keywordsHint->setText(text(keywordsHintLabelKey) + colon);
    for (const FormHeadingInfo &info : formHeadings) {
        QString shown = text(info.labelKey);
        if (!info.isGroup)
            shown = shown.toUpper();
        else if (info.heading != FormHeading::ExifDetails)
            shown += colon;
        m_headings[std::size_t(info.heading)]->setText(shown);
    }
    m_editLocationLabel->setText(text(editLocationLabelKey));
    m_editLocationButton->setAccessibleName(m_editLocationLabel->text());
    m_editLocationButton->setToolTip(m_editLocationLabel->text());
    for (const DateRuleInfo &rule : dateRules) {
        QPushButton *button = dateButton(rule.field);
        button->setToolTip(text("QX_ID_29"));
        button->setAccessibleName(label(rule.field)->text() + QLatin1Char(' ') + text("QX_ID_29"));
    }
}

QLabel *MetadataEditorViewController::label(MetadataField field) const
{
    return m_fields[std::size_t(field)].label;
}

FieldBox *MetadataEditorViewController::box(MetadataField field) const
{
    return m_fields[std::size_t(field)].box;
}

QWidget *MetadataEditorViewController::control(MetadataField field) const
{
    return m_fields[std::size_t(field)].control;
}

QLineEdit *MetadataEditorViewController::textField(MetadataField field) const
{
    return isTextField(formField(field).control) ? static_cast<QLineEdit *>(control(field)) : nullptr;
}

CustomTextView *MetadataEditorViewController::textView(MetadataField field) const
{
    return formField(field).control == FormControl::TextView ? static_cast<CustomTextView *>(control(field))
                                                             : nullptr;
}

QComboBox *MetadataEditorViewController::popUp(MetadataField field) const
{
    return isPopUp(formField(field).control) ? static_cast<QComboBox *>(control(field)) : nullptr;
}

QPushButton *MetadataEditorViewController::dateButton(MetadataField field) const
{
    return m_fields[std::size_t(field)].button;
}

QLabel *MetadataEditorViewController::heading(FormHeading which) const
{
    return m_headings[std::size_t(which)];
}

QLabel *MetadataEditorViewController::lblEnterKeywordsCommaSeprated() const
{
    return m_keywordsHint;
}

QLabel *MetadataEditorViewController::lblEditLocationWithMap() const
{
    return m_editLocationLabel;
}

QPushButton *MetadataEditorViewController::btnEditLocationWithMap() const
{
    return m_editLocationButton;
}

void MetadataEditorViewController::setFileInfo(std::shared_ptr<FileInfo> fileInfo)
{
    m_waiting.reset();
    m_fileInfo = std::move(fileInfo);
}

std::optional<MetadataField> MetadataEditorViewController::fieldOfControl(const QObject *sender) const
{
    if (!sender)
        return std::nullopt;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].control == sender)
            return MetadataField(i);
    }
    return std::nullopt;
}

void MetadataEditorViewController::clickedPopUp(QComboBox *sender)
{
    if (m_isEditableUI)
        fieldChanged(sender);
}

void MetadataEditorViewController::showDatePopover(QPushButton *button, MetadataField dateField)
{
    if (!m_isEditableUI || !button)
        return;
    m_datePopOver.close();
    m_datePopOver.show(button, platform::Popover::RightEdge);
    DateTimeViewController *editor = sharedDateTime();
    editor->textFieldEditor = textField(dateField);
    editor->metadataEditorVC = this;
    // The record's own rule object, so the popover's changes are the form's.
    const std::optional<DateRule> rule = dateRuleOf(dateField);
    std::shared_ptr<DateTime> shown;
    if (rule && m_fileInfo && m_fileInfo->metadata)
        shown = m_fileInfo->metadata->dateTime(*rule);
    editor->showDateTime(shown ? shown : std::make_shared<DateTime>());
}

void MetadataEditorViewController::clickedEditLocationWithMap()
{
    if (!m_isEditableUI)
        return;
    EditLocationViewController *editor = sharedLocationEditor();
    platform::Presenter::presentAsModalWindow(this, editor);
    editor->txtFieldLatitudeTarget = txtFieldGPSLatitude();
    editor->popUpLatitudeRefTarget = popUpGPSLatitudeRef();
    editor->txtFieldLongitudeTarget = txtFieldGPSLongitude();
    editor->popUpLongitudeRefTarget = popUpGPSLongitudeRef();
    editor->metadataEditorVC = this;
    if (m_fileInfo)
        editor->configure(m_fileInfo);
}
