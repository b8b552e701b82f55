#pragma once
// A real database file per test: a fresh per-user folder with its "db" folder,
// opened through the process-wide store, plus a second connection to inspect it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/DataStore.h"
#include "storage/SQLiteDB.h"

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantorel-store-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_userFolder = m_root.wstring() + L"/";
        std::filesystem::create_directory(m_root / "db");
        ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    }
    void TearDown() override {
        Store().CloseIfOpen();
        std::filesystem::remove_all(m_root);
    }

    static DataStore& Store() { return DataStore::Instance(); }
    std::string PathOf(const std::wstring& attr) const { return DatabasePathFor(m_userFolder, attr); }

    // The first column of every row of a query, run on a separate connection
    // to the file of "M1".
    std::vector<std::string> QueryAll(const char* sql) const {
        std::vector<std::string> rows;
        SQLiteDB db;
        SQLiteStatement statement;
        if (!db.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE) ||
            db.Prepare(statement, sql) != SQLITE_OK) {
            return {"<error>"};
        }
        while (statement.Step() == SQLITE_ROW) {
            const char* text = statement.ColumnText(0);
            rows.push_back(text != nullptr ? text : "<null>");
        }
        return rows;
    }
    std::string Query(const char* sql) const {
        const std::vector<std::string> rows = QueryAll(sql);
        return rows.empty() ? "<no row>" : rows.front();
    }
    void Exec(const char* sql) const {
        SQLiteDB db;
        ASSERT_TRUE(db.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE));
        ASSERT_EQ(db.Exec(sql), SQLITE_OK) << sql;
    }

    std::filesystem::path m_root;
    std::wstring m_userFolder;
};
