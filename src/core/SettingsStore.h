#pragma once

#include "core/SettingsKeys.h"

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <QVariant>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

// The per-user typed key-value store, kept as one JSON file. Values keep their
// type across restarts (a Boolean, a number, a string, binary data), so a value
// of the wrong type reads as the caller's default. Every write replaces the file
// atomically before it returns (a value changed many times a second may instead be
// saved later, beside the GUI thread), and a write that fails on the way (a full disk)
// leaves the old file as it was. A store that cannot be written keeps working in
// memory and says why in saveProblem(). An unreadable file reads as empty and is
// moved aside at start, never overwritten; setAside() names where it went until the
// user has seen it. The folders it makes and the files it writes are the user's alone
// (0700 and 0600).
//
// A change made to the file by hand while the program runs is read, not overwritten: the
// folder is watched, and every save first looks whether the file is still the one the
// program last wrote or read. If not, it is read again and merged key by key: a key whose
// value in the file changed takes the file's value, unless the program changed that key
// after the file was changed (its modification time). Keys the file did not change keep
// the program's values. A file that does not parse is an edit in progress and is left
// alone until it does; only when the program must save meanwhile is it moved aside like an
// unreadable file at start, so that neither the user's text nor the program's change is lost.
class SettingsStore : public QObject
{
    Q_OBJECT

public:
    // Loads <directory>/settings.json. The only changes it makes are to move an unreadable
    // file aside and to remove the store's own temporary files that a killed process left
    // behind.
    explicit SettingsStore(const QString &directory, QObject *parent = nullptr);
    // Saves what is unsaved.
    ~SettingsStore() override;

    // When a write reaches the file: before it returns, or at a later save (saveInBackground(),
    // flush(), or any write saved now), for a value that changes many times a second.
    enum class Save { Now, Later };

    // How long the folder must be quiet before a change in it is looked at: an editor's save
    // is several steps.
    static constexpr int kSettleMilliseconds = 200;

    // A file larger than this is not read but set aside like an unreadable one. Five notes
    // of the longest length take at most about 4 MiB (every character escaped in the notes'
    // JSON, then base64), so this leaves room while a start still reads and parses the
    // whole file in a fraction of a second.
    static constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;

    // $XDG_CONFIG_HOME/orvanta, or ~/.config/orvanta.
    static QString defaultDirectory();

    QString directory() const { return m_directory; }
    QString filePath() const;

    bool boolValue(const QString &key, bool defaultValue) const;
    double doubleValue(const QString &key, double defaultValue) const;
    QString stringValue(const QString &key, const QString &defaultValue) const;
    std::optional<QByteArray> dataValue(const QString &key) const;
    // The stored value whatever its type: bool, double, QString or QByteArray; invalid when absent.
    QVariant rawValue(const QString &key) const;
    // The stored value as bytes, whatever its shape, for keeping a copy: binary data as it
    // is, a string as its UTF-8 text, anything else as its JSON; nothing when absent.
    std::optional<QByteArray> storedBytes(const QString &key) const;

    void setBool(const QString &key, bool value);
    void setDouble(const QString &key, double value, Save when = Save::Now);
    void setString(const QString &key, const QString &value);
    void setData(const QString &key, const QByteArray &value);

    bool value(const SettingKey<bool> &key) const { return boolValue(QLatin1String(key.name), key.defaultValue); }
    double value(const SettingKey<double> &key) const { return doubleValue(QLatin1String(key.name), key.defaultValue); }
    QString value(const SettingKey<const char *> &key) const
    {
        return stringValue(QLatin1String(key.name), QLatin1String(key.defaultValue));
    }
    void setValue(const SettingKey<bool> &key, bool value) { setBool(QLatin1String(key.name), value); }
    void setValue(const SettingKey<double> &key, double value, Save when = Save::Now)
    {
        setDouble(QLatin1String(key.name), value, when);
    }
    void setValue(const SettingKey<const char *> &key, const QString &value)
    {
        setString(QLatin1String(key.name), value);
    }

    // Calls slot() after every write of the binary data under name (Keys::notes).
    template<typename Receiver, typename Slot>
    QMetaObject::Connection watch(const char *name, Receiver *receiver, Slot slot) const
    {
        return connect(this, &SettingsStore::written, receiver, [name, receiver, slot](const QString &key) {
            if (key == QLatin1String(name))
                std::invoke(slot, receiver);
        });
    }

    // Calls slot after every write of key: a member of receiver or a function, given the value
    // as it now reads when it takes one (watch(Keys::cardWidth, this, &WidgetView::applyWidth)).
    // The connection ends with the receiver. Key names are compared here and nowhere else.
    template<typename T, typename Receiver, typename Slot>
    QMetaObject::Connection watch(const SettingKey<T> &key, Receiver *receiver, Slot slot) const
    {
        const auto notify = [this, key, receiver, slot](const QString &name) {
            if (name != QLatin1String(key.name))
                return;
            if constexpr (std::is_member_function_pointer_v<Slot>) {
                if constexpr (std::is_invocable_v<Slot, Receiver *, decltype(value(key))>)
                    std::invoke(slot, receiver, value(key));
                else
                    std::invoke(slot, receiver);
            } else if constexpr (std::is_invocable_v<Slot, decltype(value(key))>) {
                slot(value(key));
            } else {
                slot();
            }
        };
        return connect(this, &SettingsStore::written, receiver, notify);
    }

    // Writes bytes that could not be read to a new file beside the settings, named
    // <stem>-<time stamp><suffix>, never replacing an existing file, and names it in
    // setAside(). Returns false when it could not be written.
    bool writeBackup(const QString &stem, const QString &suffix, const QByteArray &bytes);

    // The name (without folder) of the last file that unreadable data was kept in, until the
    // user dismisses it; empty otherwise.
    QString setAside() const { return m_setAside; }
    void dismissSetAside();

    // Writes what is unsaved to the file on a thread of its own. Writes saved now wait for it,
    // so a newer file is never replaced by an older one.
    void saveInBackground();
    // Writes what is unsaved and waits until every write has reached the file: before the
    // program ends.
    void flush();

    // Reads the file again if someone else changed it, merges it and announces every key that
    // changed; a file that does not parse is left for later. The folder's watcher calls it once
    // the folder has been quiet for kSettleMilliseconds.
    void readOutsideChanges();

    // Why the last write did not reach the disk, for the user; empty when it did (or before
    // the first write).
    QString saveProblem() const { return m_saveProblem; }

signals:
    // Emitted after every write of key, also when the value did not change, and for every
    // key a change made to the file from outside gave a new value. Whoever shows a setting
    // watches its key instead.
    void written(const QString &key);
    // saveProblem() changed: saving began to fail, failed for another reason, or works again.
    void saveProblemChanged();
    void setAsideChanged();

private:
    // What identifies one version of the file on disk.
    struct Stamp
    {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        bool operator==(const Stamp &) const = default;
    };
    static Stamp stampOf(const QString &path);

    void load();
    // Merges a file changed from outside into the values and returns the keys that took the
    // file's value; nothing when the file changed but cannot be read. No write may be under way.
    std::optional<QStringList> takeOutsideChanges();
    void announce(const QStringList &keys);
    void recordOwnWrite(const QJsonObject &values);
    void watchFolder();
    void write(const QString &key, const QJsonValue &value, Save when = Save::Now);
    void save();
    // Makes the folder and sets an unreadable file aside: what must precede a replace.
    QString prepareFile();
    QString moveUnreadableAside();
    void setSaveProblem(const QString &problem);
    void setSetAside(const QString &path);

    QString m_directory;
    QJsonObject m_values;
    // When the program last changed each key, in milliseconds since the epoch.
    QHash<QString, qint64> m_changedAt;
    // The file as the program last wrote or read it; a writer thread updates it too.
    QMutex m_diskLock;
    QJsonObject m_onDisk;
    Stamp m_stamp;
    // A background write found the file changed from outside and left the save to the GUI thread.
    std::atomic<bool> m_bounced = false;
    // Made when the event loop runs: it opens a watch of the system's at once.
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    QTimer m_settle;
    bool m_unreadableOnDisk = false;
    bool m_unsaved = false;
    QString m_saveProblem;
    QString m_setAside;
    // One writer beside the GUI thread, and the number of the newest save begun: a
    // background write that is no longer the newest is dropped.
    QThreadPool m_writer;
    std::atomic<quint64> m_generation = 0;
};
