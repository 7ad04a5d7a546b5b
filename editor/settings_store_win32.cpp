#include "editor/settings_store.h"

#include <windows.h>

#include <string>

namespace kivo::editor {
namespace {

std::wstring wide(const char* text) { return QString::fromLatin1(text).toStdWString(); }

class RegistrySettingsStore final : public SettingsStore {
public:
    bool keyExists() const override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(kSettingsKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    bool createKey() override {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(kSettingsKey).c_str(), 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return keyExists();
    }

    QString readValue(const QString& name) const override {
        const std::wstring subkey = wide(kSettingsKey) + L"\\" + wide(kSettingsSubkey);
        const std::wstring value = name.toStdWString();
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr,
                         nullptr, &size) != ERROR_SUCCESS || size == 0)
            return {};
        std::wstring buffer(size / sizeof(wchar_t), L'\0');
        if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr,
                         buffer.data(), &size) != ERROR_SUCCESS)
            return {};
        buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
        return QString::fromStdWString(buffer);
    }

    bool writeValue(const QString& name, const QString& value) override {
        HKEY key = nullptr;
        const std::wstring subkey = wide(kSettingsKey) + L"\\" + wide(kSettingsSubkey);
        if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return false;
        const std::wstring data = value.toStdWString();
        const std::wstring valueName = name.toStdWString();
        const LONG result = RegSetValueExW(key, valueName.c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(data.c_str()),
                                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }
};

}  // namespace

std::unique_ptr<SettingsStore> makeUserSettingsStore(const QString&) {
    return std::make_unique<RegistrySettingsStore>();
}

}  // namespace kivo::editor
