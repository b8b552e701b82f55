#pragma once
// A throw-away home for tests: a fresh folder under the temporary folder, with
// XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR pointing into it, so that
// no test touches the real user's ~/.config or ~/.local. Everything is put
// back and removed at the end.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

class ScratchHome : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantorel-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        std::filesystem::create_directories(m_root / "runtime");
        SetEnv("XDG_CONFIG_HOME", (m_root / "config").string());
        SetEnv("XDG_DATA_HOME", (m_root / "data").string());
        SetEnv("XDG_RUNTIME_DIR", (m_root / "runtime").string());
        SetEnv("HOME", (m_root / "home").string());
    }

    void TearDown() override {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    // Sets (or with nullopt removes) a variable until the end of the test.
    void SetEnv(const std::string& name, std::optional<std::string> value) {
        if (!m_saved.count(name)) {
            const char* old = getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

    const std::filesystem::path& Root() const { return m_root; }

  private:
    std::filesystem::path m_root;
    std::map<std::string, std::optional<std::string>> m_saved;
};
