#pragma once

#include <QAnyStringView>
#include <QDate>
#include <QHash>
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcSettings)

/// The per-user settings: text values addressed by section and key, compared
/// without regard to case and stored in the key table's spelling.
///
/// Reads come from memory, so they are cheap enough for the once-a-second
/// scheduler. Every save is written through to the file and synced at once;
/// the file is replaced atomically, so it is never left half-written, and a
/// save waits at most a second for another writer. A file that cannot be
/// read or parsed never stops the program: it starts from defaults, and saves
/// write nothing while it stays unreadable; a broken file is kept aside
/// before it is first rewritten (a later one beside it, none ever replaced),
/// and anything at the path that is not a regular file is never opened and
/// never replaced. A save that cannot write every byte leaves the file as it
/// was.
///
/// The keys of the Settings section belong to the feature models
/// (AlarmSettings, ChimeSettings, ShutdownSettings, OptionSettings): they
/// alone read and write them; one confirmed change is one save() of all its
/// values, one atomic replacement of the file.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    /// The store's file; "" means the per-user default location.
    explicit SettingsStore(const QString &filePath = QString());
    ~SettingsStore() override;

    /// $XDG_CONFIG_HOME/Zirvel/Zirvel.conf
    static QString defaultFilePath();
    QString filePath() const { return m_path; }

    /// The stored text, or "" when the key was never saved or holds a value
    /// that is not valid for its kind.
    QString get(const QString &section, const QString &key) const;
    /// As above, with the text of the given default instead of "".
    QString get(const QString &section, const QString &key, const QString &defaultValue) const;
    QString get(const QString &section, const QString &key, int defaultValue) const;

    /// Stores the text; true when it is on disk. A value that could not be
    /// written stays in effect for the rest of the session.
    bool save(const QString &section, const QString &key, const QString &value);

    /// One value of section Settings (a key of the key table).
    struct Change {
        QAnyStringView key;
        QString value;
    };
    /// Stores the values together: the file is replaced once, holding all of
    /// them or (on failure) none; they stay in effect either way.
    bool save(const QList<Change> &changes);

    /// Counts the changes made through this store: equal revisions mean
    /// every value reads the same (nothing else changes them while it runs).
    quint64 revision() const { return m_revision; }

    /// Why changes are not kept, naming the file and the reason, for the
    /// user: the latest problem found; "" while all is well, and again once
    /// a save is on disk.
    QString problem() const { return m_problem; }
    /// Called with problem() when a problem is found, once for each new
    /// reason: the same one again is not told again until a save succeeds.
    /// Called at once when a problem was found before (at start).
    void setProblemHandler(std::function<void(const QString &)> handler);
    /// While held, a problem found is kept in problem() but not handed to
    /// the handler: the caller tells the user itself (on a terminal).
    void holdProblems(bool hold) { m_holdProblems = hold; }

    // Section Settings, where every key of the key table lives (Keys::...).

    /// The stored text of a key, or `defaultValue` when it was never saved
    /// or holds a value that is not valid for its kind.
    QString text(QAnyStringView key, const QString &defaultValue = QString()) const;
    /// Stores the text of a key, as save(section, key, value) does.
    bool save(QAnyStringView key, const QString &value);
    /// A flag as an integer (default when missing or broken).
    int flag(QAnyStringView key, int defaultValue = 0) const;
    /// Stores a flag ("0", "1").
    bool setFlag(QAnyStringView key, int value);
    /// A time; nothing when empty, missing or broken.
    std::optional<QTime> time(QAnyStringView key) const;
    /// A date (yyyy-MM-dd); nothing when empty, missing or broken.
    std::optional<QDate> date(QAnyStringView key) const;

signals:
    /// Values were saved (whether or not they reached the disk): their
    /// names as "settings/key", in lower case.
    void changed(const QStringList &names);

private:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    void load();
    bool saveEntries(const QList<Entry> &entries);
    bool write(const QList<Entry> &entries, QString *reason);
    void noteProblem(const QString &message, const QString &reason);
    static QString lookupName(const QString &section, const QString &key);
    std::optional<QString> lookup(const QString &section, const QString &key) const;

    QString m_path;
    QHash<QString, Entry> m_values;
    quint64 m_revision = 0;
    QString m_problem;
    QString m_problemReason;
    std::function<void(const QString &)> m_problemHandler;
    bool m_holdProblems = false;
};
