// A thin owner of an SQLite connection and its prepared statements: results are SQLite's
// codes, the text of the last error is kept for the message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vantrel::progress {

class SqliteStatement;

class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase() { Close(); }
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // `file` ":memory:" opens a private database in memory. Creates a missing file.
    int Open(const std::string& file);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // Runs statements without results.
    int Execute(std::string_view sql);
    std::string LastError() const;
    int ErrorCode() const;

    sqlite3* Handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
    std::string openError_;
};

class SqliteStatement {
  public:
    SqliteStatement(SqliteDatabase& db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // The result of preparing.
    int Status() const { return status_; }
    SqliteStatement& Bind(int index, int64_t value);
    // Binds a copy of `text`.
    SqliteStatement& BindText(int index, std::string_view text);
    // SQLITE_ROW with a row to read, SQLITE_DONE at the end, or an error.
    int Step();
    int Reset();
    int64_t Integer(int column) const;
    std::string Text(int column) const;

  private:
    sqlite3_stmt* statement_ = nullptr;
    int status_ = 0;
};

// True for the codes that mean the file is not a database or is damaged.
bool IsDamage(int sqliteCode);

}  // namespace vantrel::progress
