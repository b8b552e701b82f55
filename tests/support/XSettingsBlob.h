#pragma once
// XSETTINGS property bytes as a settings manager writes them, for tests that
// read them or act as the desktop's settings manager.
#include <cstdint>
#include <string>
#include <vector>

// An XSETTINGS blob as a settings manager writes it, in either byte order.
class XSettingsBlob {
  public:
    explicit XSettingsBlob(bool msb) : m_msb(msb) {
        m_bytes = {uint8_t(msb ? 1 : 0), 0, 0, 0};
        Card32(7);  // serial
        Card32(0);  // count, set by Bytes()
    }
    XSettingsBlob& Integer(const std::string& name, int32_t value) {
        Head(0, name);
        Card32(uint32_t(value));
        ++m_count;
        return *this;
    }
    XSettingsBlob& String(const std::string& name, const std::string& value) {
        Head(1, name);
        Card32(uint32_t(value.size()));
        Padded(value);
        ++m_count;
        return *this;
    }
    XSettingsBlob& Colour(const std::string& name) {
        Head(2, name);
        for (uint16_t c : {0x1111, 0x2222, 0x3333, 0xFFFF}) Card16(c);
        ++m_count;
        return *this;
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out = m_bytes;
        const uint32_t n = m_count;
        for (int i = 0; i < 4; ++i) out[8 + size_t(i)] = uint8_t(m_msb ? n >> (24 - 8 * i) : n >> (8 * i));
        return out;
    }

  private:
    void Head(uint8_t type, const std::string& name) {
        m_bytes.push_back(type);
        m_bytes.push_back(0);
        Card16(uint16_t(name.size()));
        Padded(name);
        Card32(3);  // last change serial
    }
    void Padded(const std::string& text) {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        while (m_bytes.size() % 4) m_bytes.push_back(0);
    }
    void Card16(uint16_t v) {
        if (m_msb) m_bytes.insert(m_bytes.end(), {uint8_t(v >> 8), uint8_t(v)});
        else m_bytes.insert(m_bytes.end(), {uint8_t(v), uint8_t(v >> 8)});
    }
    void Card32(uint32_t v) {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(uint8_t(m_msb ? v >> (24 - 8 * i) : v >> (8 * i)));
    }

    bool m_msb;
    uint32_t m_count = 0;
    std::vector<uint8_t> m_bytes;
};
