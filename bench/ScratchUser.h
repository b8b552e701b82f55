#pragma once
// A per-user folder of its own for a benchmark, as a fresh user has: the XDG
// configuration, data and runtime folders point into it until it goes.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class ScratchUser {
  public:
    ScratchUser() {
        m_root =
            std::filesystem::temp_directory_path() / ("vantorel-bench-user-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_root / "runtime");
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            const char* old = std::getenv(name);
            m_saved.emplace_back(name, old ? std::string(old) : std::string());
        }
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (m_root / "runtime").c_str(), 1);
    }
    ~ScratchUser() {
        for (const auto& [name, value] : m_saved)
            value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

  private:
    std::filesystem::path m_root;
    std::vector<std::pair<std::string, std::string>> m_saved;
};
