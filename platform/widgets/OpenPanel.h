// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class QAction;
class QFileDialog;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeView;
class QVBoxLayout;

namespace platform {

namespace FileIcon {
class Provider;
}

// Picks files and folders. A choice of folders only is the desktop's own
// folder dialog (QFileDialog: the desktop's through its portal or platform
// theme where there is one, Qt's otherwise); a choice that mixes files and
// folders, or takes a package folder for a file, is our own dialog over the
// file system model, which the stock dialog cannot be. Ours gives what the
// desktop's gives: places (home, desktop, pictures, mounted volumes, recent
// folders), the desktop's file icons, the focus in its path field and,
// when asked, the last folder it showed. In ours, the default button acts
// on what the path field names whenever that is not the folder shown: it
// chooses it, opens it where it is a folder that cannot be chosen, or says
// under the field that it does not exist; the entries selected in the list
// count only while the field shows the folder. Either runs as a sheet and
// answers OK (1) or Cancel (0) with the chosen URLs in the panel's order;
// the window title names its purpose. Tests answer it through the
// responder seam; nothing is shown then. GUI thread only.
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
    // panel with their own response through endPanel(). The desktop's own
    // dialogs have no room for it: a folder dialog with an accessory is
    // Qt's.
    void setAccessoryWidget(QWidget *widget);
    QWidget *accessoryWidget() const { return m_accessory; }
    // The settings key under which the panel keeps the folder it showed
    // when the user chose; it opens there again next time.
    void setFolderMemoryKey(const QString &key);
    QString folderMemoryKey() const { return m_folderMemoryKey; }

    // Whether the panel is the desktop's folder dialog rather than ours.
    bool usesFolderDialog() const;

    // The places both dialogs list beside the files, in order.
    struct Place
    {
        enum class Kind { Standard, Volume, Recent };
        Kind kind;
        QString title;
        QString path;
        QString iconName;
    };
    static QList<Place> places();
    // The folders chosen from most recently, kept across runs.
    static QStringList recentFolders();

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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class EntryFilter;

    void beginFolderDialog(QWidget *window, std::function<void(int)> completion);
    void fillPlaces();
    void rememberFolder(const QString &folder) const;
    bool isPackage(const QString &path) const;
    bool opensAsFolder(const QString &path) const;
    void showFolder(const QString &path);
    void activated(const QModelIndex &index);
    QString typedPath() const;
    bool isFolderShown(const QString &path) const;
    void openTypedPath();
    void actOnTypedPath(const QString &path, bool opensFolders);
    void showTypedFolder(const QString &path);
    void tellProblem(const QString &text);
    void clearProblem();
    void clickedDefaultButton();
    void clickedNewFolder();
    void selectionChanged();
    void updateDefaultButton();
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
    QString m_folderMemoryKey;
    QList<QUrl> m_urls;
    bool m_shown = false;

    std::unique_ptr<FileIcon::Provider> m_icons;
    QFileSystemModel *m_model = nullptr;
    EntryFilter *m_filter = nullptr;
    QTreeView *m_list = nullptr;
    QLabel *m_messageLabel = nullptr;
    QLineEdit *m_path = nullptr;
    QAction *m_pathMark = nullptr;
    QLabel *m_problem = nullptr;
    QToolButton *m_up = nullptr;
    QPushButton *m_newFolder = nullptr;
    QPushButton *m_default = nullptr;
    QVBoxLayout *m_accessorySlot = nullptr;
    QPointer<QWidget> m_accessory;
    QListWidget *m_places = nullptr;
    QPointer<QFileDialog> m_folderDialog;
};

} // namespace platform
