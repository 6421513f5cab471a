#include "host/store/SqliteStoreFile.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include "host/store/FindKey.h"
#include "host/store/PropertyCodec.h"
#include "host/store/StoreHeader.h"
#include "host/store/StoreSchema.h"

namespace orlo::host {

namespace {

// Durability. Every write is one IMMEDIATE transaction with a rollback
// journal (journal_mode=DELETE) and synchronous=FULL: the journal holding the
// old pages is synced before the database is touched, and the database is
// synced before the journal is deleted, so a process killed (or a machine
// losing power) at any moment leaves either the old or the new state of every
// item; the next open rolls a hot journal back. A rollback journal rather than
// WAL because the store must be one self-contained file: WAL keeps committed
// saves in a "-wal" file beside it until a checkpoint (so copying or moving
// the store file alone would lose them) and needs shared memory, which
// network folders do not offer.
constexpr char kPragmas[] =
    "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF;"
    "PRAGMA cache_size=-16384; PRAGMA trusted_schema=OFF;";
constexpr int kBusyTimeoutMs = 5000;

constexpr char kSelectMeta[] = "SELECT value FROM meta WHERE key = ?1";
constexpr char kInsertMeta[] = "INSERT INTO meta(key, value) VALUES(?1, ?2)";
constexpr char kSelectFolder[] =
    "SELECT id, parent, name, kind, default_class FROM folders WHERE id = ?1";
constexpr char kSelectSubfolders[] =
    "SELECT id, parent, name, kind, default_class FROM folders WHERE parent = ?1 ORDER BY id";
constexpr char kInsertFolder[] =
    "INSERT INTO folders(parent, name, kind, default_class) VALUES(?1, ?2, ?3, ?4)";
constexpr char kSelectNameId[] = "SELECT id FROM names WHERE name = ?1";
constexpr char kSelectName[] = "SELECT name FROM names WHERE id = ?1";
constexpr char kInsertName[] = "INSERT INTO names(name) VALUES(?1)";
constexpr char kSelectItem[] = "SELECT folder, message_class FROM items WHERE id = ?1";
constexpr char kSelectItemIds[] = "SELECT id FROM items WHERE folder = ?1 ORDER BY id";
constexpr char kCountItems[] = "SELECT count(*) FROM items WHERE folder = ?1";
constexpr char kInsertItem[] = "INSERT INTO items(folder, message_class) VALUES(?1, ?2)";
constexpr char kDeleteItem[] = "DELETE FROM items WHERE id = ?1";
constexpr char kSelectProperties[] = "SELECT name, type, value FROM properties WHERE item = ?1";
constexpr char kSelectProperty[] =
    "SELECT type, value FROM properties WHERE item = ?1 AND name = ?2";
constexpr char kInsertProperty[] =
    "INSERT INTO properties(item, name, folder, type, value, find_key) "
    "VALUES(?1, ?2, ?3, ?4, ?5, ?6)";
constexpr char kDeleteProperties[] = "DELETE FROM properties WHERE item = ?1";
constexpr char kSelectColumn[] =
    "SELECT i.id, p.type, p.value FROM items i "
    "LEFT JOIN properties p ON p.item = i.id AND p.name = ?2 "
    "WHERE i.folder = ?1 ORDER BY i.id";
constexpr char kFind[] =
    "SELECT item, type, value FROM properties "
    "WHERE folder = ?1 AND name = ?2 AND find_key = ?3 ORDER BY item";
constexpr char kIntegrity[] = "PRAGMA integrity_check";
constexpr char kStrayProperties[] =
    "SELECT count(*) FROM properties p LEFT JOIN items i ON i.id = p.item "
    "WHERE i.id IS NULL OR i.folder != p.folder";

// The top folder's own kind and form: a plain mail folder.
const QString kTopFolderClass = QStringLiteral("IPM.Note");

// Resets a cached statement when the routine that ran it ends.
class StatementUse {
public:
    explicit StatementUse(SqliteStatement* stmt) : m_stmt(stmt) {}
    ~StatementUse() { m_stmt->reset(); }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    SqliteStatement* m_stmt;
};

FolderInfo readFolder(const SqliteStatement& s) {
    FolderInfo f;
    f.id = s.columnInt(0);
    f.parent = s.columnInt(1);
    f.name = s.columnText(2);
    f.kind = static_cast<FolderKind>(s.columnInt(3));
    f.defaultMessageClass = s.columnText(4);
    return f;
}

}  // namespace

Result<std::unique_ptr<StoreFile>> StoreFile::open(const QString& path) {
    return SqliteStoreFile::open(path);
}

Result<std::unique_ptr<StoreFile>> StoreFile::create(const QString& path,
                                                     const QString& topFolderName) {
    return SqliteStoreFile::create(path, topFolderName);
}

SqliteStoreFile::SqliteStoreFile(QString path, sqlite3* db) : m_path(std::move(path)), m_db(db) {}

SqliteStoreFile::~SqliteStoreFile() {
    m_statements.clear();
    sqlite3_close(m_db);
}

Result<std::unique_ptr<StoreFile>> SqliteStoreFile::open(const QString& path) {
    if (Status header = StoreHeader::check(path); !header) {
        return header.error();
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<SqliteStoreFile> store(new SqliteStoreFile(path, db));
    if (rc != SQLITE_OK) {
        return store->sqliteError(QStringLiteral("cannot be opened"));
    }
    if (Status s = store->configure(); !s) {
        return s.error();
    }
    if (Status s = store->readHeader(); !s) {
        return s.error();
    }
    return std::unique_ptr<StoreFile>(std::move(store));
}

Result<std::unique_ptr<StoreFile>> SqliteStoreFile::create(const QString& path,
                                                           const QString& topFolderName) {
    // Claim the name first: an existing file, even one made a moment ago by
    // someone else, is never overwritten.
    QFile claim(path);
    if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo::exists(path)) {
            return storeError(path, QStringLiteral("already exists."));
        }
        return storeError(path, QStringLiteral("cannot be created: %1").arg(claim.errorString()));
    }
    claim.close();

    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<SqliteStoreFile> store(new SqliteStoreFile(path, db));
    auto fail = [&](const Error& error) -> Result<std::unique_ptr<StoreFile>> {
        store.reset();
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        return error;
    };
    if (rc != SQLITE_OK) {
        return fail(store->sqliteError(QStringLiteral("cannot be created")));
    }
    if (Status s = store->configure(); !s) {
        return fail(s.error());
    }
    const QByteArray marks = QStringLiteral("PRAGMA application_id=%1; PRAGMA user_version=%2;")
                                 .arg(static_cast<qint32>(schema::kApplicationId))
                                 .arg(schema::kSchemaVersion)
                                 .toUtf8();
    Status made = store->transaction([&]() -> Status {
        if (Status s = store->exec(marks.constData()); !s) {
            return s;
        }
        if (Status s = store->exec(schema::kCreate); !s) {
            return s;
        }
        Result<SqliteStatement*> f = store->prepare(kInsertFolder);
        if (!f) {
            return f.error();
        }
        StatementUse use(*f);
        (*f)->bindInt(1, 0);
        (*f)->bindText(2, topFolderName);
        (*f)->bindInt(3, static_cast<int>(FolderKind::Mail));
        (*f)->bindText(4, kTopFolderClass);
        if ((*f)->step() != SQLITE_DONE) {
            return store->sqliteError(QStringLiteral("cannot be written"));
        }
        store->m_topFolder = sqlite3_last_insert_rowid(store->m_db);
        Result<SqliteStatement*> m = store->prepare(kInsertMeta);
        if (!m) {
            return m.error();
        }
        StatementUse useMeta(*m);
        const std::pair<const char*, QString> rows[] = {
            {schema::kMetaFormat, QString::fromLatin1(schema::kMetaFormatValue)},
            {schema::kMetaSchema, QString::number(schema::kSchemaVersion)},
            {schema::kMetaTopFolder, QString::number(store->m_topFolder)},
        };
        for (const auto& [key, value] : rows) {
            (*m)->reset();
            (*m)->bindText(1, QString::fromLatin1(key));
            (*m)->bindText(2, value);
            if ((*m)->step() != SQLITE_DONE) {
                return store->sqliteError(QStringLiteral("cannot be written"));
            }
        }
        return okStatus();
    });
    if (!made) {
        return fail(made.error());
    }
    return std::unique_ptr<StoreFile>(std::move(store));
}

Status SqliteStoreFile::configure() {
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    return exec(kPragmas);
}

Status SqliteStoreFile::readHeader() {
    Result<SqliteStatement*> s = prepare(kSelectMeta);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindText(1, QString::fromLatin1(schema::kMetaTopFolder));
    if ((*s)->step() != SQLITE_ROW) {
        return sqliteError(QStringLiteral("is damaged (no top folder)"));
    }
    m_topFolder = (*s)->columnInt(0);
    return okStatus();
}

Error SqliteStoreFile::sqliteError(const QString& doing) const {
    const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
    const QString message =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    const int primary = code & 0xff;
    const bool damaged = primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    return storeError(m_path, QStringLiteral("%1: %2 (SQLite %3).")
                                  .arg(damaged ? QStringLiteral("is damaged") : doing, message)
                                  .arg(code));
}

Result<SqliteStatement*> SqliteStoreFile::prepare(const char* sql) const {
    auto it = m_statements.find(sql);
    if (it != m_statements.end()) {
        return &it->second;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        return sqliteError(QStringLiteral("cannot be read"));
    }
    return &m_statements.emplace(sql, SqliteStatement(stmt)).first->second;
}

Status SqliteStoreFile::exec(const char* sql) const {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        return sqliteError(QStringLiteral("cannot be used"));
    }
    return okStatus();
}

Status SqliteStoreFile::transaction(const std::function<Status()>& body) {
    if (Status s = exec("BEGIN IMMEDIATE"); !s) {
        return s;
    }
    Status result = body();
    if (result) {
        result = exec("COMMIT");
    }
    if (!result) {
        if (!sqlite3_get_autocommit(m_db)) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        // Ids of names added in the rolled-back transaction are gone.
        m_nameIds.clear();
        m_names.clear();
    }
    return result;
}

Result<std::optional<std::int64_t>> SqliteStoreFile::nameId(const QString& name) const {
    if (auto it = m_nameIds.constFind(name); it != m_nameIds.cend()) {
        return std::optional<std::int64_t>(*it);
    }
    Result<SqliteStatement*> s = prepare(kSelectNameId);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindText(1, name);
    const int rc = (*s)->step();
    if (rc == SQLITE_DONE) {
        return std::optional<std::int64_t>();
    }
    if (rc != SQLITE_ROW) {
        return sqliteError(QStringLiteral("cannot be read"));
    }
    const std::int64_t id = (*s)->columnInt(0);
    m_nameIds.insert(name, id);
    m_names.insert(id, name);
    return std::optional<std::int64_t>(id);
}

Result<std::int64_t> SqliteStoreFile::nameIdForWrite(const QString& name) {
    Result<std::optional<std::int64_t>> known = nameId(name);
    if (!known) {
        return known.error();
    }
    if (*known) {
        return **known;
    }
    Result<SqliteStatement*> s = prepare(kInsertName);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindText(1, name);
    if ((*s)->step() != SQLITE_DONE) {
        return sqliteError(QStringLiteral("cannot be written"));
    }
    const std::int64_t id = sqlite3_last_insert_rowid(m_db);
    m_nameIds.insert(name, id);
    m_names.insert(id, name);
    return id;
}

Result<QString> SqliteStoreFile::nameOf(std::int64_t id) const {
    if (auto it = m_names.constFind(id); it != m_names.cend()) {
        return *it;
    }
    Result<SqliteStatement*> s = prepare(kSelectName);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindInt(1, id);
    if ((*s)->step() != SQLITE_ROW) {
        return sqliteError(QStringLiteral("is damaged (unknown property name %1)").arg(id));
    }
    const QString name = (*s)->columnText(0);
    m_nameIds.insert(name, id);
    m_names.insert(id, name);
    return name;
}

Result<FolderInfo> SqliteStoreFile::folder(FolderId id) const {
    Result<SqliteStatement*> s = prepare(kSelectFolder);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindInt(1, id);
    const int rc = (*s)->step();
    if (rc == SQLITE_ROW) {
        return readFolder(**s);
    }
    if (rc == SQLITE_DONE) {
        return storeError(m_path, QStringLiteral("has no folder %1.").arg(id));
    }
    return sqliteError(QStringLiteral("cannot be read"));
}

Status SqliteStoreFile::requireFolder(FolderId id) const {
    Result<FolderInfo> f = folder(id);
    return f ? okStatus() : Status(f.error());
}

std::vector<FolderInfo> SqliteStoreFile::subfolders(FolderId parent) const {
    m_lastError = {};
    std::vector<FolderInfo> out;
    Result<SqliteStatement*> s = prepare(kSelectSubfolders);
    if (!s) {
        m_lastError = s.error();
        return out;
    }
    StatementUse use(*s);
    (*s)->bindInt(1, parent);
    int rc = SQLITE_ROW;
    while ((rc = (*s)->step()) == SQLITE_ROW) {
        out.push_back(readFolder(**s));
    }
    if (rc != SQLITE_DONE) {
        m_lastError = sqliteError(QStringLiteral("cannot be read"));
        out.clear();
    }
    return out;
}

Result<FolderId> SqliteStoreFile::createFolder(FolderId parent, const QString& name,
                                               FolderKind kind,
                                               const QString& defaultMessageClass) {
    if (name.trimmed().isEmpty()) {
        return storeError(m_path, QStringLiteral("cannot hold a folder without a name."));
    }
    FolderId id = 0;
    Status done = transaction([&]() -> Status {
        if (Status s = requireFolder(parent); !s) {
            return s;
        }
        for (const FolderInfo& sibling : subfolders(parent)) {
            if (sibling.name.compare(name, Qt::CaseInsensitive) == 0) {
                return storeError(
                    m_path, QStringLiteral("already has a folder \"%1\" there.").arg(sibling.name));
            }
        }
        if (m_lastError.isError()) {
            return m_lastError;
        }
        Result<SqliteStatement*> s = prepare(kInsertFolder);
        if (!s) {
            return s.error();
        }
        StatementUse use(*s);
        (*s)->bindInt(1, parent);
        (*s)->bindText(2, name);
        (*s)->bindInt(3, static_cast<int>(kind));
        (*s)->bindText(4, defaultMessageClass);
        if ((*s)->step() != SQLITE_DONE) {
            return sqliteError(QStringLiteral("cannot be written"));
        }
        id = sqlite3_last_insert_rowid(m_db);
        return okStatus();
    });
    if (!done) {
        return done.error();
    }
    return id;
}

std::vector<ItemId> SqliteStoreFile::itemIds(FolderId folder) const {
    m_lastError = {};
    std::vector<ItemId> out;
    Result<SqliteStatement*> s = prepare(kSelectItemIds);
    if (!s) {
        m_lastError = s.error();
        return out;
    }
    StatementUse use(*s);
    (*s)->bindInt(1, folder);
    int rc = SQLITE_ROW;
    while ((rc = (*s)->step()) == SQLITE_ROW) {
        out.push_back((*s)->columnInt(0));
    }
    if (rc != SQLITE_DONE) {
        m_lastError = sqliteError(QStringLiteral("cannot be read"));
        out.clear();
    }
    return out;
}

std::int64_t SqliteStoreFile::itemCount(FolderId folder) const {
    m_lastError = {};
    Result<SqliteStatement*> s = prepare(kCountItems);
    if (!s) {
        m_lastError = s.error();
        return 0;
    }
    StatementUse use(*s);
    (*s)->bindInt(1, folder);
    if ((*s)->step() != SQLITE_ROW) {
        m_lastError = sqliteError(QStringLiteral("cannot be read"));
        return 0;
    }
    return (*s)->columnInt(0);
}

Result<FolderId> SqliteStoreFile::folderOfItem(ItemId id) const {
    Result<SqliteStatement*> s = prepare(kSelectItem);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindInt(1, id);
    const int rc = (*s)->step();
    if (rc == SQLITE_DONE) {
        return storeError(m_path, QStringLiteral("has no item %1.").arg(id));
    }
    if (rc != SQLITE_ROW) {
        return sqliteError(QStringLiteral("cannot be read"));
    }
    return (*s)->columnInt(0);
}

Result<ItemRecord> SqliteStoreFile::load(ItemId id, const std::optional<QStringList>& only) const {
    ItemRecord record;
    record.id = id;
    {
        Result<SqliteStatement*> s = prepare(kSelectItem);
        if (!s) {
            return s.error();
        }
        StatementUse use(*s);
        (*s)->bindInt(1, id);
        const int rc = (*s)->step();
        if (rc == SQLITE_DONE) {
            return storeError(m_path, QStringLiteral("has no item %1.").arg(id));
        }
        if (rc != SQLITE_ROW) {
            return sqliteError(QStringLiteral("cannot be read"));
        }
        record.folder = (*s)->columnInt(0);
        record.messageClass = (*s)->columnText(1);
    }
    if (only) {
        Result<SqliteStatement*> s = prepare(kSelectProperty);
        if (!s) {
            return s.error();
        }
        for (const QString& name : *only) {
            Result<std::optional<std::int64_t>> nid = nameId(name);
            if (!nid) {
                return nid.error();
            }
            if (!*nid) {
                continue;
            }
            StatementUse use(*s);
            (*s)->bindInt(1, id);
            (*s)->bindInt(2, **nid);
            const int rc = (*s)->step();
            if (rc == SQLITE_ROW) {
                record.properties[name] = PropertyCodec::read(**s, 0, 1);
            } else if (rc != SQLITE_DONE) {
                return sqliteError(QStringLiteral("cannot be read"));
            }
        }
        return record;
    }
    Result<SqliteStatement*> s = prepare(kSelectProperties);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindInt(1, id);
    int rc = SQLITE_ROW;
    while ((rc = (*s)->step()) == SQLITE_ROW) {
        Result<QString> name = nameOf((*s)->columnInt(0));
        if (!name) {
            return name.error();
        }
        record.properties.emplace(*name, PropertyCodec::read(**s, 1, 2));
    }
    if (rc != SQLITE_DONE) {
        return sqliteError(QStringLiteral("cannot be read"));
    }
    return record;
}

std::vector<std::pair<ItemId, Variant>> SqliteStoreFile::column(FolderId folder,
                                                                const QString& property) const {
    m_lastError = {};
    std::vector<std::pair<ItemId, Variant>> out;
    Result<std::optional<std::int64_t>> nid = nameId(property);
    if (!nid) {
        m_lastError = nid.error();
        return out;
    }
    Result<SqliteStatement*> s = prepare(kSelectColumn);
    if (!s) {
        m_lastError = s.error();
        return out;
    }
    StatementUse use(*s);
    (*s)->bindInt(1, folder);
    // A name never stored matches no row: every item gives Empty.
    (*s)->bindInt(2, nid->value_or(0));
    int rc = SQLITE_ROW;
    while ((rc = (*s)->step()) == SQLITE_ROW) {
        out.emplace_back((*s)->columnInt(0), PropertyCodec::read(**s, 1, 2));
    }
    if (rc != SQLITE_DONE) {
        m_lastError = sqliteError(QStringLiteral("cannot be read"));
        out.clear();
    }
    return out;
}

Status SqliteStoreFile::writeProperties(ItemId item, FolderId folder,
                                        const PropertyMap& properties) {
    Result<SqliteStatement*> s = prepare(kInsertProperty);
    if (!s) {
        return s.error();
    }
    for (const auto& [name, value] : properties) {
        Result<std::int64_t> nid = nameIdForWrite(name);
        if (!nid) {
            return nid.error();
        }
        StatementUse use(*s);
        (*s)->bindInt(1, item);
        (*s)->bindInt(2, *nid);
        (*s)->bindInt(3, folder);
        PropertyCodec::bind(**s, 4, 5, value);
        if (std::optional<FindKey> key = FindKey::of(value)) {
            (*s)->bindText(6, key->text);
        } else {
            (*s)->bindNull(6);
        }
        if ((*s)->step() != SQLITE_DONE) {
            return sqliteError(QStringLiteral("cannot be written"));
        }
    }
    return okStatus();
}

Result<ItemId> SqliteStoreFile::insertOne(FolderId folder, const QString& messageClass,
                                          const PropertyMap& properties) {
    Result<SqliteStatement*> s = prepare(kInsertItem);
    if (!s) {
        return s.error();
    }
    {
        StatementUse use(*s);
        (*s)->bindInt(1, folder);
        (*s)->bindText(2, messageClass);
        if ((*s)->step() != SQLITE_DONE) {
            return sqliteError(QStringLiteral("cannot be written"));
        }
    }
    const ItemId id = sqlite3_last_insert_rowid(m_db);
    if (Status w = writeProperties(id, folder, properties); !w) {
        return w.error();
    }
    return id;
}

Result<ItemId> SqliteStoreFile::insert(FolderId folder, const QString& messageClass,
                                       const PropertyMap& properties) {
    ItemId id = 0;
    Status done = transaction([&]() -> Status {
        if (Status s = requireFolder(folder); !s) {
            return s;
        }
        Result<ItemId> r = insertOne(folder, messageClass, properties);
        if (!r) {
            return r.error();
        }
        id = *r;
        return okStatus();
    });
    if (!done) {
        return done.error();
    }
    return id;
}

Result<std::vector<ItemId>> SqliteStoreFile::insertMany(FolderId folder,
                                                        const QString& messageClass,
                                                        const std::vector<PropertyMap>& items) {
    std::vector<ItemId> ids;
    ids.reserve(items.size());
    Status done = transaction([&]() -> Status {
        if (Status s = requireFolder(folder); !s) {
            return s;
        }
        for (const PropertyMap& properties : items) {
            Result<ItemId> r = insertOne(folder, messageClass, properties);
            if (!r) {
                return r.error();
            }
            ids.push_back(*r);
        }
        return okStatus();
    });
    if (!done) {
        return done.error();
    }
    return ids;
}

Status SqliteStoreFile::update(ItemId id, const PropertyMap& properties) {
    return transaction([&]() -> Status {
        Result<FolderId> folder = folderOfItem(id);
        if (!folder) {
            return folder.error();
        }
        Result<SqliteStatement*> del = prepare(kDeleteProperties);
        if (!del) {
            return del.error();
        }
        {
            StatementUse use(*del);
            (*del)->bindInt(1, id);
            if ((*del)->step() != SQLITE_DONE) {
                return sqliteError(QStringLiteral("cannot be written"));
            }
        }
        return writeProperties(id, *folder, properties);
    });
}

Status SqliteStoreFile::remove(ItemId id) {
    return transaction([&]() -> Status {
        if (Result<FolderId> folder = folderOfItem(id); !folder) {
            return folder.error();
        }
        for (const char* sql : {kDeleteProperties, kDeleteItem}) {
            Result<SqliteStatement*> s = prepare(sql);
            if (!s) {
                return s.error();
            }
            StatementUse use(*s);
            (*s)->bindInt(1, id);
            if ((*s)->step() != SQLITE_DONE) {
                return sqliteError(QStringLiteral("cannot be written"));
            }
        }
        return okStatus();
    });
}

Result<std::optional<ItemId>> SqliteStoreFile::find(FolderId folder, const QString& name,
                                                    const Variant& value) const {
    const std::optional<FindKey> key = FindKey::of(value);
    if (!key) {
        return std::optional<ItemId>();
    }
    Result<std::optional<std::int64_t>> nid = nameId(name);
    if (!nid) {
        return nid.error();
    }
    if (!*nid) {
        return std::optional<ItemId>();
    }
    Result<SqliteStatement*> s = prepare(kFind);
    if (!s) {
        return s.error();
    }
    StatementUse use(*s);
    (*s)->bindInt(1, folder);
    (*s)->bindInt(2, **nid);
    (*s)->bindText(3, key->text);
    const std::optional<QString> whole = key->truncated ? FindKey::fullText(value) : std::nullopt;
    int rc = SQLITE_ROW;
    while ((rc = (*s)->step()) == SQLITE_ROW) {
        if (!key->truncated || FindKey::fullText(PropertyCodec::read(**s, 1, 2)) == whole) {
            return std::optional<ItemId>((*s)->columnInt(0));
        }
    }
    if (rc != SQLITE_DONE) {
        return sqliteError(QStringLiteral("cannot be read"));
    }
    return std::optional<ItemId>();
}

std::optional<ItemId> SqliteStoreFile::findFirst(FolderId folder, const QString& name,
                                                 const Variant& value) const {
    m_lastError = {};
    Result<std::optional<ItemId>> found = find(folder, name, value);
    if (!found) {
        m_lastError = found.error();
        return std::nullopt;
    }
    return *found;
}

Status SqliteStoreFile::checkIntegrity() const {
    for (const char* sql : {kIntegrity, kStrayProperties}) {
        Result<SqliteStatement*> s = prepare(sql);
        if (!s) {
            return s.error();
        }
        StatementUse use(*s);
        if ((*s)->step() != SQLITE_ROW) {
            return sqliteError(QStringLiteral("cannot be checked"));
        }
        const QString answer = (*s)->columnText(0);
        if (answer != (sql == kIntegrity ? QStringLiteral("ok") : QStringLiteral("0"))) {
            return storeError(m_path, QStringLiteral("is damaged: %1").arg(answer));
        }
    }
    return okStatus();
}

}  // namespace orlo::host
