// libFuzzer: the settings store's reader, on any settings.json, and every kind of read.
#include "core/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QTemporaryDir folder;
    {
        // A new file each time: ext4 writes a truncated file back to disk when it is closed.
        QFile file(folder.filePath(QStringLiteral("settings.json")));
        file.remove();
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    const SettingsStore store(folder.path());
    // An input that cannot be read is moved aside at start: removed again, so that the folder
    // stays as small as the first run found it.
    if (!store.setAside().isEmpty() && !QFile::remove(folder.filePath(store.setAside())))
        std::abort();
    for (const char *key : {"h24", "cardWidth", "theme", "notes", "startOpen", ""}) {
        const QString name = QLatin1String(key);
        store.boolValue(name, false);
        store.doubleValue(name, 0);
        store.stringValue(name, QString());
        store.rawValue(name);
        // Binary data is always also readable as stored bytes, unchanged.
        const auto binary = store.dataValue(name);
        if (binary && store.storedBytes(name) != binary)
            std::abort();
    }
    return 0;
}
