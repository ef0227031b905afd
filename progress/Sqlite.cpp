#include "progress/Sqlite.h"

#include <sqlite3.h>

namespace vantrel::progress {

int SqliteDatabase::Open(const std::string& file) {
    Close();
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int status = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
    if (status != SQLITE_OK) {
        openError_ = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
        Close();
        return status;
    }
    sqlite3_extended_result_codes(db_, 1);
    return SQLITE_OK;
}

void SqliteDatabase::Close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int SqliteDatabase::Execute(std::string_view sql) {
    const std::string text(sql);
    return sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
}

std::string SqliteDatabase::LastError() const {
    return db_ != nullptr ? sqlite3_errmsg(db_) : openError_;
}

int SqliteDatabase::ErrorCode() const {
    return db_ != nullptr ? sqlite3_extended_errcode(db_) : SQLITE_CANTOPEN;
}

SqliteStatement::SqliteStatement(SqliteDatabase& db, std::string_view sql) {
    status_ = sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &statement_,
                                 nullptr);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, std::string_view text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

int SqliteStatement::Step() {
    return status_ != SQLITE_OK ? status_ : sqlite3_step(statement_);
}

int SqliteStatement::Reset() {
    return sqlite3_reset(statement_);
}

int64_t SqliteStatement::Integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text == nullptr
               ? std::string()
               : std::string(text,
                             static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

bool IsDamage(int sqliteCode) {
    const int primary = sqliteCode & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace vantrel::progress
