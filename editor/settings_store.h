#pragma once
#include <QString>
#include <memory>

namespace kivo::editor {

/// The per-user store of the editor's settings: one key with one subkey of string values.
/// Windows keeps it in the registry; other systems in a file of the same names.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// Opens the key without creating it; false when it does not exist.
    virtual bool keyExists() const = 0;

    /// Creates the key when missing; false when it still cannot be opened.
    virtual bool createKey() = 0;

    /// A string value of the subkey; empty when the key, subkey or value is missing.
    virtual QString readValue(const QString& name) const = 0;

    /// Writes a string value into the subkey, creating the subkey when missing.
    virtual bool writeValue(const QString& name, const QString& value) = 0;
};

/// Names the settings are kept under.
inline constexpr char kSettingsKey[] = "Software\\KIVO Voraraz Udide";
inline constexpr char kSettingsSubkey[] = "PARAMETRY";
inline constexpr char kInterpreterPathValue[] = "KIVO_PATH";
inline constexpr char kGenerateRawValue[] = "GENERUJ_RAW";
inline constexpr char kViewerPathValue[] = "TRACELENS";
inline constexpr char kViewRawValue[] = "VIEW";

/// The current user's store. On POSIX systems location overrides the file that holds the key
/// (by default "Software/KIVO Voraraz Udide.ini" in the user's configuration directory).
std::unique_ptr<SettingsStore> makeUserSettingsStore(const QString& location = {});

}  // namespace kivo::editor
