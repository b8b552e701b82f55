#pragma once
// A per-process folder under $TMPDIR with a "db" folder, for benchmarks that
// run against a real database file; removed with the store closed at the end.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "storage/DataStore.h"

class BenchFolder {
  public:
    BenchFolder() {
        m_root = std::filesystem::temp_directory_path() / ("vantorel-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_root / "db");
    }
    ~BenchFolder() {
        DataStore::Instance().CloseIfOpen();
        std::filesystem::remove_all(m_root);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    // Opens a new, empty database file.
    DataStore& OpenFresh() {
        DataStore& store = DataStore::Instance();
        store.CloseIfOpen();
        for (const char* name : {"bench_data1.db", "bench_data1.db-wal", "bench_data1.db-shm"})
            std::filesystem::remove(m_root / "db" / name);
        store.OpenForDevice(m_root.wstring() + L"/", L"bench");
        return store;
    }
    // A file in the folder, as the program's wide paths are.
    std::wstring File(const std::string& name) const { return (m_root / name).wstring(); }

  private:
    std::filesystem::path m_root;
};
