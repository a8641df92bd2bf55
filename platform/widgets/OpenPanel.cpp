// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/OpenPanel.h"

#include "platform/MainQueue.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
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
    resize(720, 480);

    m_model = new QFileSystemModel(this);
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
    connect(m_path, &QLineEdit::returnPressed, this, [this] {
        const QFileInfo typed(m_path->text());
        if (typed.isDir() && opensAsFolder(typed.absoluteFilePath()))
            showFolder(typed.absoluteFilePath());
        else if (typed.exists() && isChoosable(QUrl::fromLocalFile(typed.absoluteFilePath())))
            finishWith({ typed.absoluteFilePath() });
    });
    m_newFolder = new QPushButton(tr("New Folder"), this);
    m_newFolder->hide();
    connect(m_newFolder, &QPushButton::clicked, this, &OpenPanel::clickedNewFolder);

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

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_messageLabel);
    layout->addLayout(pathRow);
    layout->addWidget(m_list, 1);
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
    m_up->setEnabled(m_folder != QDir::rootPath());
    // The model starts watching the disk only once the panel is shown.
    if (!m_shown)
        return;
    const QModelIndex root = m_model->setRootPath(m_folder);
    m_list->setRootIndex(m_filter->mapFromSource(root));
    m_list->clearSelection();
    selectionChanged();
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
    endPanel(OK);
}

void OpenPanel::endPanel(int response)
{
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
    if (window && window->window() != parentWidget())
        setParent(window->window(), windowFlags());
    setWindowModality(Qt::WindowModal);
    m_shown = true;
    showFolder(m_folder);
    connect(this, &QDialog::finished, this, [this, completion = std::move(completion)](int response) {
        completion(response);
        deleteLater();
    });
    open();
}

OpenPanel::Responder OpenPanel::setResponder(Responder r)
{
    Responder previous = std::move(responder());
    responder() = std::move(r);
    return previous;
}

} // namespace platform
