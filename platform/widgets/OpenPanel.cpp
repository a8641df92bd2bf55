// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/OpenPanel.h"

#include "platform/MainQueue.h"
#include "platform/Settings.h"
#include "platform/widgets/FileIcon.h"
#include "platform/widgets/ThemeIcon.h"
#include "platform/widgets/Window.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace platform {

namespace {

OpenPanel::Responder &responder()
{
    static OpenPanel::Responder r;
    return r;
}

const QString PackageExtension = QStringLiteral("photoslibrary");

// The folders the user chose from, most recent first.
const QString RecentFoldersKey = QStringLiteral("openPanelRecentFolders");
constexpr qsizetype RecentFolderCount = 5;

// Mounted file systems a person would open: the root, removable media and
// what is mounted by hand; not the system's own mounts.
bool isUserVolume(const QStorageInfo &volume)
{
    const QString root = volume.rootPath();
    return volume.isValid() && volume.isReady()
        && (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/"))
            || root.startsWith(QLatin1String("/mnt/")));
}

// What is left once the view shows no more: the file dialog's own buttons
// and list grow or shrink, the accessory stays below them.
void addBelow(QFileDialog *dialog, QWidget *widget)
{
    if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
        grid->addWidget(widget, grid->rowCount(), 0, 1, grid->columnCount());
    else if (dialog->layout())
        dialog->layout()->addWidget(widget);
}

} // namespace

// Greys the entries the panel does not enable.
class OpenPanel::EntryFilter : public QSortFilterProxyModel
{
public:
    explicit EntryFilter(OpenPanel *panel)
        : QSortFilterProxyModel(panel)
        , m_panel(panel)
    { }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
        const auto *model = static_cast<QFileSystemModel *>(sourceModel());
        if (!m_panel->isEntryEnabled(QUrl::fromLocalFile(model->filePath(mapToSource(index)))))
            flags &= ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        return flags;
    }

protected:
    // Folders first, then by name, ignoring case.
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const auto *model = static_cast<QFileSystemModel *>(sourceModel());
        const bool leftFolder = model->isDir(left);
        if (leftFolder != model->isDir(right))
            return leftFolder;
        return model->fileName(left).compare(model->fileName(right), Qt::CaseInsensitive) < 0;
    }

private:
    OpenPanel *m_panel;
};

OpenPanel::OpenPanel(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Open"));
    resize(860, 520);

    m_icons = std::make_unique<FileIcon::Provider>();
    m_model = new QFileSystemModel(this);
    m_model->setIconProvider(m_icons.get());
    m_model->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    m_model->setReadOnly(false);
    m_filter = new EntryFilter(this);
    m_filter->setSourceModel(m_model);

    m_messageLabel = new QLabel(this);
    m_messageLabel->setWordWrap(true);
    m_messageLabel->hide();

    m_up = new QToolButton(this);
    m_up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    m_up->setToolTip(tr("Enclosing folder"));
    connect(m_up, &QToolButton::clicked, this, [this] { showFolder(QFileInfo(m_folder).absolutePath()); });
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("path"));
    connect(m_path, &QLineEdit::returnPressed, this, &OpenPanel::openTypedPath);
    // Enter in the path field opens what was typed; the dialog's default
    // button would choose the folder shown before it.
    m_path->installEventFilter(this);
    connect(m_path, &QLineEdit::textEdited, this, &OpenPanel::clearProblem);
    connect(m_path, &QLineEdit::textChanged, this, &OpenPanel::updateDefaultButton);
    m_pathMark = m_path->addAction(themeIcon(QStringLiteral("dialog-warning")), QLineEdit::TrailingPosition);
    m_pathMark->setVisible(false);
    // A typed path that cannot be had is marked in the field and said
    // right under it.
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("pathProblem"));
    m_problem->setWordWrap(true);
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problem->hide();
    m_newFolder = new QPushButton(tr("New Folder"), this);
    m_newFolder->hide();
    connect(m_newFolder, &QPushButton::clicked, this, &OpenPanel::clickedNewFolder);

    m_places = new QListWidget(this);
    m_places->setObjectName(QStringLiteral("places"));
    m_places->setFrameShape(QFrame::NoFrame);
    m_places->setIconSize(QSize(20, 20));
    m_places->setMinimumWidth(150);
    m_places->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_places->setTextElideMode(Qt::ElideMiddle);
    connect(m_places, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const QString path = item->data(Qt::UserRole).toString();
        if (!path.isEmpty() && QFileInfo(path).isDir())
            showFolder(path);
    });

    m_list = new QTreeView(this);
    m_list->setModel(m_filter);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(0, Qt::AscendingOrder);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(m_list, &QTreeView::activated, this, &OpenPanel::activated);
    connect(
        m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &OpenPanel::selectionChanged);

    auto *cancel = new QPushButton(tr("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, [this] { endPanel(Cancel); });
    m_default = new QPushButton(tr("Open"), this);
    m_default->setObjectName(QStringLiteral("defaultButton"));
    m_default->setDefault(true);
    connect(m_default, &QPushButton::clicked, this, &OpenPanel::clickedDefaultButton);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_up);
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_newFolder);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(m_default);
    m_accessorySlot = new QVBoxLayout;

    auto *browser = new QSplitter(Qt::Horizontal, this);
    browser->setChildrenCollapsible(false);
    browser->addWidget(m_places);
    browser->addWidget(m_list);
    browser->setStretchFactor(1, 1);
    browser->setSizes({ 170, 690 });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_messageLabel);
    layout->addLayout(pathRow);
    layout->addWidget(m_problem);
    layout->addWidget(browser, 1);
    layout->addLayout(m_accessorySlot);
    layout->addLayout(buttons);

    setAllowsMultipleSelection(false);
    setDirectoryUrl(QUrl::fromLocalFile(QDir::homePath()));
}

OpenPanel::~OpenPanel() = default;

void OpenPanel::setAllowsMultipleSelection(bool on)
{
    m_allowsMultipleSelection = on;
    m_list->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void OpenPanel::setCanCreateDirectories(bool on)
{
    m_canCreateDirectories = on;
    m_newFolder->setVisible(on);
}

void OpenPanel::setAllowedFileTypes(const QStringList &extensions)
{
    m_allowedFileTypes.clear();
    for (const QString &extension : extensions)
        m_allowedFileTypes << extension.toLower();
    m_filter->invalidate();
}

void OpenPanel::setDirectoryUrl(const QUrl &folder)
{
    const QString path = folder.toLocalFile();
    showFolder(QFileInfo(path).isDir() ? path : QDir::homePath());
}

QUrl OpenPanel::directoryUrl() const
{
    return QUrl::fromLocalFile(m_folder);
}

void OpenPanel::setPrompt(const QString &title)
{
    m_prompt = title;
    m_default->setText(title.isEmpty() ? tr("Open") : title);
}

void OpenPanel::setMessage(const QString &text)
{
    m_message = text;
    m_messageLabel->setText(text);
    m_messageLabel->setVisible(!text.isEmpty());
}

void OpenPanel::setFolderMemoryKey(const QString &key)
{
    m_folderMemoryKey = key;
    const std::optional<QString> folder = Settings::text(key);
    if (folder && QFileInfo(*folder).isDir())
        setDirectoryUrl(QUrl::fromLocalFile(*folder));
}

bool OpenPanel::usesFolderDialog() const
{
    return m_canChooseDirectories && !m_canChooseFiles && !m_shouldEnable;
}

QStringList OpenPanel::recentFolders()
{
    QStringList folders;
    for (const QString &folder : Settings::textList(RecentFoldersKey).value_or(QStringList())) {
        if (QFileInfo(folder).isDir())
            folders << folder;
    }
    return folders;
}

QList<OpenPanel::Place> OpenPanel::places()
{
    using Kind = Place::Kind;
    QList<Place> places;
    const QString home = QDir::homePath();
    places.append({ Kind::Standard, tr("Home"), home, QStringLiteral("user-home") });
    const auto standard
        = [&](QStandardPaths::StandardLocation location, const QString &title, const char *icon) {
              const QString path = QStandardPaths::writableLocation(location);
              if (!path.isEmpty() && path != home && QFileInfo(path).isDir())
                  places.append({ Kind::Standard, title, path, QLatin1String(icon) });
          };
    standard(QStandardPaths::DesktopLocation, tr("Desktop"), "user-desktop");
    standard(QStandardPaths::PicturesLocation, tr("Pictures"), "folder-pictures");
    places.append({ Kind::Volume, tr("File System"), QDir::rootPath(), QStringLiteral("drive-harddisk") });
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!isUserVolume(volume))
            continue;
        // Unlabelled volumes go by their mount point's last name.
        const QString name = volume.displayName().isEmpty() || volume.displayName() == volume.rootPath()
            ? QFileInfo(volume.rootPath()).fileName()
            : volume.displayName();
        places.append({ Kind::Volume, name, volume.rootPath(), QStringLiteral("drive-removable-media") });
    }
    for (const QString &folder : recentFolders())
        places.append({ Kind::Recent, QFileInfo(folder).fileName(), folder, QStringLiteral("folder") });
    return places;
}

void OpenPanel::fillPlaces()
{
    m_places->clear();
    std::optional<Place::Kind> section;
    for (const Place &place : places()) {
        if (place.kind != section) {
            section = place.kind;
            const QString heading = place.kind == Place::Kind::Standard ? tr("Places")
                : place.kind == Place::Kind::Volume                     ? tr("Devices")
                                                                        : tr("Recent");
            auto *header = new QListWidgetItem(heading, m_places);
            header->setFlags(Qt::ItemIsEnabled);
            QFont bold = header->font();
            bold.setBold(true);
            header->setFont(bold);
        }
        auto *item = new QListWidgetItem(
            QIcon::fromTheme(place.iconName, m_icons->icon(QFileInfo(place.path))), place.title, m_places);
        item->setData(Qt::UserRole, place.path);
        item->setToolTip(place.path);
    }
}

// Keeps the folder the user chose in (our dialog) or chose (the folder
// dialog) for the next panel of the same purpose, and among the recent ones.
void OpenPanel::rememberFolder(const QString &folder) const
{
    if (!m_folderMemoryKey.isEmpty())
        Settings::setText(m_folderMemoryKey, folder);
    QStringList recent = recentFolders();
    recent.removeAll(folder);
    recent.prepend(folder);
    Settings::setTextList(RecentFoldersKey, recent.mid(0, RecentFolderCount));
}

void OpenPanel::setShouldEnable(ShouldEnable shouldEnable)
{
    m_shouldEnable = std::move(shouldEnable);
    m_filter->invalidate();
}

void OpenPanel::setAccessoryWidget(QWidget *widget)
{
    if (m_accessory)
        m_accessory->deleteLater();
    m_accessory = widget;
    if (widget)
        m_accessorySlot->addWidget(widget);
}

bool OpenPanel::isPackage(const QString &path) const
{
    return QFileInfo(path).suffix().compare(PackageExtension, Qt::CaseInsensitive) == 0;
}

bool OpenPanel::opensAsFolder(const QString &path) const
{
    return QFileInfo(path).isDir() && (m_treatsPackagesAsDirectories || !isPackage(path));
}

bool OpenPanel::isEntryEnabled(const QUrl &url) const
{
    const QString path = url.toLocalFile();
    if (m_shouldEnable && !m_shouldEnable(url))
        return false;
    if (opensAsFolder(path))
        return true;
    return m_allowedFileTypes.isEmpty() || m_allowedFileTypes.contains(QFileInfo(path).suffix().toLower());
}

bool OpenPanel::isChoosable(const QUrl &url) const
{
    if (!isEntryEnabled(url))
        return false;
    return opensAsFolder(url.toLocalFile()) ? m_canChooseDirectories : m_canChooseFiles;
}

void OpenPanel::showFolder(const QString &path)
{
    m_folder = QDir::cleanPath(path);
    m_path->setText(m_folder);
    clearProblem();
    m_up->setEnabled(m_folder != QDir::rootPath());
    // The model starts watching the disk only once the panel is shown.
    if (!m_shown)
        return;
    const QModelIndex root = m_model->setRootPath(m_folder);
    m_list->setRootIndex(m_filter->mapFromSource(root));
    m_list->clearSelection();
    selectionChanged();
}

// The path the field names, as a shell reads it: "~" is the home folder,
// a relative path starts in the folder shown, a file URL is its path. An
// empty field names the folder shown.
QString OpenPanel::typedPath() const
{
    QString text = m_path->text();
    if (text.startsWith(QLatin1String("file://")))
        text = QUrl(text).toLocalFile();
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        text = QDir::homePath() + text.mid(1);
    if (text.isEmpty())
        return m_folder;
    return QDir::cleanPath(QDir(m_folder).absoluteFilePath(text));
}

bool OpenPanel::isFolderShown(const QString &path) const
{
    if (path == m_folder)
        return true;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(m_folder).canonicalFilePath();
}

void OpenPanel::openTypedPath()
{
    const QString typed = typedPath();
    if (isFolderShown(typed))
        showFolder(m_folder);
    else
        actOnTypedPath(typed, true);
}

// Return opens a typed folder; the default button chooses it where folders
// can be chosen, as it would a selected one.
void OpenPanel::actOnTypedPath(const QString &path, bool opensFolders)
{
    const QUrl url = QUrl::fromLocalFile(path);
    const QFileInfo typed(path);
    if (!typed.exists())
        tellProblem(tr("%1 does not exist.").arg(QDir::toNativeSeparators(path)));
    else if (opensAsFolder(path) && isEntryEnabled(url) && (opensFolders || !isChoosable(url)))
        showTypedFolder(path);
    else if (isChoosable(url))
        finishWith({ path });
    else
        tellProblem(tr("%1 cannot be chosen here.").arg(QDir::toNativeSeparators(path)));
}

// The field keeps the keyboard, so that the next name can be typed at once.
void OpenPanel::showTypedFolder(const QString &path)
{
    showFolder(path);
    m_path->setFocus(Qt::OtherFocusReason);
    m_path->selectAll();
}

void OpenPanel::tellProblem(const QString &text)
{
    m_problem->setText(text);
    m_problem->show();
    m_pathMark->setVisible(true);
    m_path->setFocus(Qt::OtherFocusReason);
}

void OpenPanel::clearProblem()
{
    m_problem->hide();
    m_pathMark->setVisible(false);
}

bool OpenPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_path && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openTypedPath();
            return true;
        }
    }
    // Where a click outside the completion list only closes it (X11), a
    // click on one of the panel's buttons, Add above all, still reaches it.
    if (m_path->completer() && watched == m_path->completer()->popup()
        && event->type() == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        auto *button = qobject_cast<QAbstractButton *>(QApplication::widgetAt(at));
        if (button && isAncestorOf(button) && button->isEnabled()) {
            m_path->completer()->popup()->hide();
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OpenPanel::activated(const QModelIndex &index)
{
    const QString path = m_model->filePath(m_filter->mapToSource(index));
    if (opensAsFolder(path))
        showFolder(path);
    else if (isChoosable(QUrl::fromLocalFile(path)))
        finishWith({ path });
}

QStringList OpenPanel::selectedPaths() const
{
    QStringList paths;
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    for (const QModelIndex &row : rows)
        paths << m_model->filePath(m_filter->mapToSource(row));
    return paths;
}

void OpenPanel::selectionChanged()
{
    // Picking in the list puts the field back on the folder, so that the
    // entries picked are what the default button chooses.
    if (m_list->hasFocus() && m_list->selectionModel()->hasSelection() && !isFolderShown(typedPath())) {
        m_path->setText(m_folder);
        clearProblem();
    }
    updateDefaultButton();
}

void OpenPanel::updateDefaultButton()
{
    // Whatever else the field names, the button acts on it, or says why not.
    if (!isFolderShown(typedPath())) {
        m_default->setEnabled(true);
        return;
    }
    const QStringList paths = selectedPaths();
    if (paths.isEmpty()) {
        m_default->setEnabled(m_canChooseDirectories && isChoosable(directoryUrl()));
        return;
    }
    // One folder that cannot be chosen is opened by the default button.
    if (paths.size() == 1 && opensAsFolder(paths.first())
        && isEntryEnabled(QUrl::fromLocalFile(paths.first()))) {
        m_default->setEnabled(true);
        return;
    }
    m_default->setEnabled(std::all_of(paths.cbegin(), paths.cend(),
        [this](const QString &path) { return isChoosable(QUrl::fromLocalFile(path)); }));
}

void OpenPanel::clickedDefaultButton()
{
    const QString typed = typedPath();
    if (!isFolderShown(typed)) {
        actOnTypedPath(typed, false);
        return;
    }
    const QStringList paths = selectedPaths();
    if (paths.isEmpty()) {
        // Nothing selected chooses the folder shown, where folders can be chosen.
        if (m_canChooseDirectories && isChoosable(directoryUrl()))
            finishWith({ m_folder });
        return;
    }
    if (paths.size() == 1 && !isChoosable(QUrl::fromLocalFile(paths.first()))) {
        if (opensAsFolder(paths.first()))
            showFolder(paths.first());
        return;
    }
    for (const QString &path : paths) {
        if (!isChoosable(QUrl::fromLocalFile(path)))
            return;
    }
    finishWith(paths);
}

void OpenPanel::clickedNewFolder()
{
    const QModelIndex root = m_model->index(m_folder);
    QString name = tr("untitled folder");
    for (int n = 2; QFileInfo::exists(QDir(m_folder).filePath(name)); ++n)
        name = tr("untitled folder %1").arg(n);
    const QModelIndex made = m_model->mkdir(root, name);
    if (!made.isValid())
        return;
    const QModelIndex shown = m_filter->mapFromSource(made);
    m_list->setCurrentIndex(shown);
    m_list->edit(shown);
}

QUrl OpenPanel::chosenUrl(const QString &path) const
{
    const QFileInfo info(path);
    if (m_resolvesAliases && info.isSymLink() && !info.canonicalFilePath().isEmpty())
        return QUrl::fromLocalFile(info.canonicalFilePath());
    return QUrl::fromLocalFile(info.absoluteFilePath());
}

void OpenPanel::finishWith(const QStringList &paths)
{
    m_urls.clear();
    for (const QString &path : paths)
        m_urls << chosenUrl(path);
    rememberFolder(m_folder);
    endPanel(OK);
}

void OpenPanel::endPanel(int response)
{
    // The folder dialog's end ends the panel (see beginFolderDialog).
    if (m_folderDialog) {
        QDialog *dialog = m_folderDialog;
        if (response == OK)
            dialog->accept();
        else
            dialog->reject();
        return;
    }
    done(response);
}

void OpenPanel::done(int response)
{
    if (response != OK)
        m_urls.clear();
    QDialog::done(response);
}

void OpenPanel::beginSheet(QWidget *window, std::function<void(int)> completion)
{
    if (responder()) {
        const Answer answer = responder()(*this);
        m_urls = answer.response == OK ? answer.urls : QList<QUrl>();
        MainQueue::post(this, [this, response = answer.response, completion = std::move(completion)] {
            completion(response);
            deleteLater();
        });
        return;
    }
    if (usesFolderDialog()) {
        beginFolderDialog(window, std::move(completion));
        return;
    }
    if (window && window->window() != parentWidget())
        setParent(window->window(), windowFlags());
    if (parentWidget())
        Window::centreOver(this, parentWidget());
    setWindowModality(Qt::WindowModal);
    m_shown = true;
    fillPlaces();
    showFolder(m_folder);
    // Typed paths complete to the folders on disk.
    auto *folders = new QFileSystemModel(m_path);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders->setRootPath(QString());
    m_path->setCompleter(new QCompleter(folders, m_path));
    m_path->completer()->popup()->installEventFilter(this);
    connect(this, &QDialog::finished, this, [this, completion = std::move(completion)](int response) {
        completion(response);
        deleteLater();
    });
    open();
    // Typing a path is the quickest way anywhere.
    m_path->setFocus(Qt::OtherFocusReason);
    m_path->selectAll();
}

void OpenPanel::beginFolderDialog(QWidget *window, std::function<void(int)> completion)
{
    auto *dialog = new QFileDialog(window ? window->window() : parentWidget(), windowTitle(), m_folder);
    m_folderDialog = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setOption(QFileDialog::DontResolveSymlinks, !m_resolvesAliases);
    dialog->setOption(QFileDialog::ReadOnly, !m_canCreateDirectories);
    if (!m_prompt.isEmpty())
        dialog->setLabelText(QFileDialog::Accept, m_prompt);
    if (m_accessory) {
        // Only Qt's own dialog has room for the accessory.
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        m_accessory->setParent(nullptr);
        addBelow(dialog, m_accessory);
    }
    // Where the dialog is Qt's, it lists our places and shows our icons.
    QList<QUrl> sidebar;
    for (const Place &place : places())
        sidebar << QUrl::fromLocalFile(place.path);
    dialog->setSidebarUrls(sidebar);
    dialog->setIconProvider(m_icons.get());
    // Where the dialog is Qt's: as large as ours, with room for the places.
    dialog->resize(size());
    if (auto *split = dialog->findChild<QSplitter *>())
        split->setSizes({ 170, width() - 170 });
    if (dialog->parentWidget())
        Window::centreOver(dialog, dialog->parentWidget());
    dialog->setWindowModality(Qt::WindowModal);
    connect(this, &QDialog::finished, this, [this, completion = std::move(completion)](int response) {
        completion(response);
        deleteLater();
    });
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        m_urls.clear();
        if (result == QDialog::Accepted) {
            for (const QUrl &url : dialog->selectedUrls())
                m_urls << chosenUrl(url.toLocalFile());
        }
        if (!m_urls.isEmpty())
            rememberFolder(m_urls.first().toLocalFile());
        done(m_urls.isEmpty() ? Cancel : OK);
    });
    dialog->open();
}

OpenPanel::Responder OpenPanel::setResponder(Responder r)
{
    Responder previous = std::move(responder());
    responder() = std::move(r);
    return previous;
}

} // namespace platform
