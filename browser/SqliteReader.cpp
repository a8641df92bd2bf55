// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/SqliteReader.h"

#include <QFile>

#include <sqlite3.h>

namespace {

struct Statement
{
    sqlite3_stmt *handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

} // namespace

SqliteReader::SqliteReader(const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        // A handle is returned even on failure and must be closed.
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

SqliteReader::~SqliteReader()
{
    sqlite3_close(m_db);
}

bool SqliteReader::hasTable(const QString &name) const
{
    Statement statement;
    if (!m_db
        || sqlite3_prepare_v2(m_db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1", -1,
               &statement.handle, nullptr)
            != SQLITE_OK)
        return false;
    const QByteArray text = name.toUtf8();
    sqlite3_bind_text(statement.handle, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    return sqlite3_step(statement.handle) == SQLITE_ROW;
}

bool SqliteReader::forEachRow(
    const char *sql, int columns, const std::function<void(const QStringList &)> &onRow) const
{
    Statement statement;
    if (!m_db || sqlite3_prepare_v2(m_db, sql, -1, &statement.handle, nullptr) != SQLITE_OK)
        return false;
    const int available = std::min(columns, sqlite3_column_count(statement.handle));
    QStringList row;
    int result;
    while ((result = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        row.clear();
        for (int column = 0; column < columns; ++column) {
            const auto *text = column < available ? sqlite3_column_text(statement.handle, column) : nullptr;
            // Up to the first zero byte, as C text.
            row << (text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString());
        }
        onRow(row);
    }
    return result == SQLITE_DONE;
}
