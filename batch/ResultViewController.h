// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/Result.h"
#include "common/PromotionalApp.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class QTreeWidget;

// The result page of the main window: the summary of the last batch (all
// files done; how many could not be changed or did not get everything
// asked; or stopped; how many were selected, edited, not changed and
// skipped, the time it took, where the results went, with a button that
// shows that folder), the list of the photos that could not be changed,
// with the reasons, and of those that did not get every value asked for,
// with what they lack and why, which the user can copy, and below it
// another application worth trying. Finish clears
// everything the user loaded and chose and goes back to the dashboard.
class ResultViewController : public QWidget
{
    Q_OBJECT
public:
    // Heights of the recommendation box, its icon and its download button
    // while an application is recommended.
    static constexpr int PromotionBoxHeight = 136;
    static constexpr int PromotionIconHeight = 111;
    static constexpr int PromotionButtonHeight = 80;
    // The status icon's side; the height of the list of photos that could
    // not be changed and the most its path column takes at first.
    static constexpr int ResultIconSize = 64;
    static constexpr int FailedPhotosListHeight = 180;
    static constexpr int FailedPhotoPathWidth = 360;

    explicit ResultViewController(QWidget *parent = nullptr);

    // The one result page, made on first use.
    static ResultViewController *shared();

    // Shows the stored result of the last batch; without one only the
    // window's minimise and maximise buttons go, so that the page is left
    // through Finish.
    void displayResult();
    // nothingToRecommend: the box collapses and hides; otherwise it shows
    // promotionalApp.
    void configurePromotion(bool nothingToRecommend);

    void clickedOpenFinder();
    // Puts the listed photos on the clipboard, one line each: the path, a
    // tab, then the reason, or all the photo lacks, "; " between.
    void clickedCopyFailedPhotos();
    void clickedFinish();
    void clickedRecommendedApp();
    // Brings back the window's buttons, empties both file lists and the
    // clean options, then lets the main screen clear its own choices.
    void returnToHome();

    std::optional<PromotionalApp> promotionalApp;

    QPointer<QFrame> boxParent;
    QPointer<QLabel> lblMetadataEditingProcessingSummary;
    QPointer<QFrame> boxResult;
    QPointer<QLabel> imageViewResult;
    QPointer<QLabel> lblBatchProcess;
    QPointer<QLabel> lblPhotosSaved;
    QPointer<QLabel> lblPhotosSelected;
    QPointer<QLabel> lblValuePhotosSelected;
    QPointer<QLabel> lblPhotosEdited;
    QPointer<QLabel> lblValuePhotosEdited;
    QPointer<QLabel> lblPhotosNotChanged;
    QPointer<QLabel> lblValuePhotosNotChanged;
    // Shown only when photos did not get everything asked.
    QPointer<QLabel> lblPhotosIncomplete;
    QPointer<QLabel> lblValuePhotosIncomplete;
    QPointer<QLabel> lblPhotosSkipped;
    QPointer<QLabel> lblValuePhotosSkipped;
    QPointer<QLabel> lblTimeElapsed;
    QPointer<QLabel> lblValueTimeElapsed;
    QPointer<QLabel> lblOutputFolder;
    QPointer<QLabel> lblValueOutputFolder;
    // Shown only when photos could not be changed or did not get everything
    // asked: one row per photo, its path and the reason, or one line for
    // each reason of what it lacks.
    QPointer<QFrame> boxFailedPhotos;
    QPointer<QTreeWidget> listFailedPhotos;
    QPointer<QPushButton> btnCopyFailedPhotos;
    QPointer<QPushButton> btnOpenFinder;
    QPointer<QPushButton> btnFinish;
    QPointer<QFrame> boxPromotion;
    QPointer<QLabel> imgViewPromotion;
    QPointer<QLabel> lblRecommendedApp;
    QPointer<QLabel> lblRecommendedAppName;
    QPointer<QLabel> lblRecommendedAppTitle;
    QPointer<QPushButton> btnDownloadRecommendedApp;

signals:
    // Finish was pressed: the main screen clears its editing form, selects
    // the first editing option and shows its details panel again.
    void returnedToHome();

protected:
    // Each appearance recommends the next application.
    void showEvent(QShowEvent *event) override;

private:
    void setUpTexts();
    void setTitleButtons(bool shown);
    void showListedPhotos(const Result &result);
};
