#include "editor/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace kivo::editor {
namespace {

// The key is a file, the subkey an INI section, the values its entries.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString path) : path_(std::move(path)) {}

    bool keyExists() const override { return QFileInfo(path_).isFile(); }

    bool createKey() override {
        if (keyExists())
            return true;
        if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
            return false;
        QFile file(path_);
        return file.open(QIODevice::WriteOnly) && keyExists();
    }

    QString readValue(const QString& name) const override {
        if (!keyExists())
            return {};
        QSettings settings(path_, QSettings::IniFormat);
        return settings.value(subkeyEntry(name)).toString();
    }

    bool writeValue(const QString& name, const QString& value) override {
        if (!keyExists())
            return false;
        QSettings settings(path_, QSettings::IniFormat);
        settings.setValue(subkeyEntry(name), value);
        settings.sync();
        return settings.status() == QSettings::NoError;
    }

private:
    static QString subkeyEntry(const QString& name) {
        return QString::fromLatin1(kSettingsSubkey) + QLatin1Char('/') + name;
    }

    QString path_;
};

}  // namespace

std::unique_ptr<SettingsStore> makeUserSettingsStore(const QString& location) {
    QString path = location;
    if (path.isEmpty()) {
        const QString key = QString::fromLatin1(kSettingsKey).replace(QLatin1Char('\\'), QLatin1Char('/'));
        path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QLatin1Char('/') + key + QStringLiteral(".ini");
    }
    return std::make_unique<IniSettingsStore>(path);
}

}  // namespace kivo::editor
