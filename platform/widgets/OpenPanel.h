// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeView;
class QVBoxLayout;

namespace platform {

// Picks files and folders: our own dialog over the file system model (the
// stock file dialog cannot offer files and folders at once, nor take a
// package folder for a file). Runs as a sheet and answers OK (1) or Cancel
// (0) with the chosen URLs in the panel's order. Tests answer it through
// the responder seam; nothing is shown then. GUI thread only.
class OpenPanel : public QDialog
{
    Q_OBJECT
public:
    static constexpr int OK = 1;
    static constexpr int Cancel = 0;

    explicit OpenPanel(QWidget *parent = nullptr);
    ~OpenPanel() override;

    void setCanChooseFiles(bool on) { m_canChooseFiles = on; }
    bool canChooseFiles() const { return m_canChooseFiles; }
    void setCanChooseDirectories(bool on) { m_canChooseDirectories = on; }
    bool canChooseDirectories() const { return m_canChooseDirectories; }
    void setAllowsMultipleSelection(bool on);
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setCanCreateDirectories(bool on);
    bool canCreateDirectories() const { return m_canCreateDirectories; }
    // Chosen symbolic links come back as the paths they point to.
    void setResolvesAliases(bool on) { m_resolvesAliases = on; }
    bool resolvesAliases() const { return m_resolvesAliases; }
    // Off: a package folder ("*.photoslibrary") is listed and chosen like
    // a file, never opened.
    void setTreatsPackagesAsDirectories(bool on) { m_treatsPackagesAsDirectories = on; }
    bool treatsPackagesAsDirectories() const { return m_treatsPackagesAsDirectories; }
    // File extensions without the dot, in any case; empty allows every file.
    void setAllowedFileTypes(const QStringList &extensions);
    QStringList allowedFileTypes() const { return m_allowedFileTypes; }
    // The folder the panel opens in; its default is the home folder.
    void setDirectoryUrl(const QUrl &folder);
    QUrl directoryUrl() const;
    // The default button's title.
    void setPrompt(const QString &title);
    QString prompt() const { return m_prompt; }
    void setMessage(const QString &text);
    QString message() const { return m_message; }
    // Entries it answers false for are greyed: neither opened nor chosen.
    using ShouldEnable = std::function<bool(const QUrl &)>;
    void setShouldEnable(ShouldEnable shouldEnable);
    bool hasShouldEnable() const { return bool(m_shouldEnable); }
    // Shown below the list; the panel owns it. Its controls may end the
    // panel with their own response through endPanel().
    void setAccessoryWidget(QWidget *widget);
    QWidget *accessoryWidget() const { return m_accessory; }

    // Whether an entry can be clicked at all (folders to open them), and
    // whether it can be chosen.
    bool isEntryEnabled(const QUrl &url) const;
    bool isChoosable(const QUrl &url) const;

    // Window-modal; returns at once and calls completion on the GUI thread
    // with the response. The panel deletes itself once completion has run.
    void beginSheet(QWidget *window, std::function<void(int response)> completion);
    void endPanel(int response);
    // What the user chose (empty unless the panel ended with OK).
    QList<QUrl> urls() const { return m_urls; }

    struct Answer
    {
        int response = Cancel;
        QList<QUrl> urls;
    };
    using Responder = std::function<Answer(const OpenPanel &)>;
    // Returns the previous responder; an empty one restores real panels.
    static Responder setResponder(Responder responder);

protected:
    void done(int response) override;

private:
    class EntryFilter;

    bool isPackage(const QString &path) const;
    bool opensAsFolder(const QString &path) const;
    void showFolder(const QString &path);
    void activated(const QModelIndex &index);
    void clickedDefaultButton();
    void clickedNewFolder();
    void selectionChanged();
    QStringList selectedPaths() const;
    void finishWith(const QStringList &paths);
    QUrl chosenUrl(const QString &path) const;

    bool m_canChooseFiles = true;
    bool m_canChooseDirectories = false;
    bool m_allowsMultipleSelection = false;
    bool m_canCreateDirectories = false;
    bool m_resolvesAliases = true;
    bool m_treatsPackagesAsDirectories = false;
    QStringList m_allowedFileTypes;
    QString m_prompt;
    QString m_message;
    ShouldEnable m_shouldEnable;
    QString m_folder;
    QList<QUrl> m_urls;
    bool m_shown = false;

    QFileSystemModel *m_model = nullptr;
    EntryFilter *m_filter = nullptr;
    QTreeView *m_list = nullptr;
    QLabel *m_messageLabel = nullptr;
    QLineEdit *m_path = nullptr;
    QToolButton *m_up = nullptr;
    QPushButton *m_newFolder = nullptr;
    QPushButton *m_default = nullptr;
    QVBoxLayout *m_accessorySlot = nullptr;
    QPointer<QWidget> m_accessory;
};

} // namespace platform
