// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

struct sqlite3;

// A read-only SQLite connection to one database file, closed with the
// object. Never creates the file.
class SqliteReader
{
public:
    explicit SqliteReader(const QString &path);
    ~SqliteReader();
    SqliteReader(const SqliteReader &) = delete;
    SqliteReader &operator=(const SqliteReader &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    bool hasTable(const QString &name) const;

    // Runs a query and hands over the first `columns` columns of each row
    // as texts, a NULL as the empty text. False when the query cannot be
    // prepared (no row is handed over then) or stepping fails midway.
    bool forEachRow(
        const char *sql, int columns, const std::function<void(const QStringList &)> &onRow) const;

private:
    sqlite3 *m_db = nullptr;
};
