// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class MetadataEditorViewController;
class QFrame;
class QLabel;
class QScrollArea;
class QToolButton;

// Frames an editing form of its own in a scroll area, under a row of six
// section buttons (General, Date, Camera, GPS, IPTC, XMP) that scroll the
// form to their section and highlight it. Each owner (the main screen, the
// preview, the preset manager) makes a panel for itself and drives the form
// through metadataEditorVC.
class MetadataDetailsViewController : public QWidget
{
    Q_OBJECT
public:
    enum class Section { General, Date, Camera, GPS, IPTC, XMP };
    static constexpr int sectionCount = 6;

    explicit MetadataDetailsViewController(QWidget *parent = nullptr);
    ~MetadataDetailsViewController() override;

    // Highlights the section's box and scrolls the form to it.
    void selectSection(Section section);
    Section selectedSection() const { return m_selected; }

    void clickedGeneral() { selectSection(Section::General); }
    void clickedDate() { selectSection(Section::Date); }
    void clickedCamera() { selectSection(Section::Camera); }
    void clickedGPS() { selectSection(Section::GPS); }
    void clickedIPTC() { selectSection(Section::IPTC); }
    void clickedXMP() { selectSection(Section::XMP); }

    struct SectionOutlets
    {
        QPointer<QFrame> box;
        QPointer<QLabel> label;
        QPointer<QToolButton> button;
    };
    const SectionOutlets &section(Section which) const { return m_sections[std::size_t(which)]; }

    QPointer<QLabel> lblMetadata;
    QPointer<QScrollArea> scrollView;
    // The panel's own form; it lives as long as the panel.
    QPointer<MetadataEditorViewController> metadataEditorVC;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void setUpTexts();
    void scrollTo(int offset);

    std::array<SectionOutlets, sectionCount> m_sections;
    Section m_selected = Section::General;
    bool isFirstLoadViewWillAppear = false;
};
