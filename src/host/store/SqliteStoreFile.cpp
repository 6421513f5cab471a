#include "host/store/SqliteStoreFile.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include "host/store/FindKey.h"
#include "host/store/PropertyCodec.h"
#include "host/store/StoreHeader.h"
#include "host/store/StoreSchema.h"
#include "platform/core/ErrorTrap.h"

using namespace Qt::Literals::StringLiterals;

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
// Savepoint and statement journals (the undo of one write inside a group of
// bulk writes) are kept in memory: they are thrown away when the write ends,
// and as temporary files each item's write cost tens of system calls.
constexpr char kPragmas[] =
    "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF;"
    "PRAGMA cache_size=-16384; PRAGMA trusted_schema=OFF; PRAGMA temp_store=MEMORY;";
constexpr int kBusyTimeoutMs = 5000;

// The top folder's own kind and form: a plain mail folder.
constexpr QStringView kTopFolderClass = u"IPM.Note";

// SQLite's failure as the store's error: "<file> <doing>: <message>", or
// "is damaged" when SQLite found the file corrupt.
Error sqliteStoreError(const QString& path, const sqlite::SqliteError& e, const QString& doing) {
    const bool damaged = e.code == SQLITE_CORRUPT || e.code == SQLITE_NOTADB;
    return storeError(path,
                      u"%1: %2 (SQLite %3)."_s.arg(damaged ? u"is damaged"_s : doing, e.message)
                          .arg(e.extendedCode));
}

FolderInfo readFolder(const sqlite::Statement& s) {
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

SqliteStoreFile::SqliteStoreFile(QString path, sqlite::Database db)
    : m_path(std::move(path)), m_db(std::move(db)) {}

SqliteStoreFile::~SqliteStoreFile() {
    ignoreError(commitBulk(), "a store going away has no caller left to tell");
}

Result<std::unique_ptr<StoreFile>> SqliteStoreFile::open(const QString& path) {
    ORLO_TRY(StoreHeader::check(path));
    sqlite::SqlResult<sqlite::Database> db = sqlite::Database::open(
        path, StoreHeader::checkWritable(path) ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    if (!db) {
        return sqliteStoreError(path, db.error(), u"cannot be opened"_s);
    }
    std::unique_ptr<SqliteStoreFile> store(new SqliteStoreFile(path, std::move(db).value()));
    ORLO_TRY(store->configure());
    ORLO_TRY(store->readHeader());
    if (sqlite::SqlStatus s = store->m_db.exec(QByteArrayView(schema::kCreateDateIndex)); !s) {
        return store->failure(s.error(), u"cannot be used"_s);
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
            return storeError(path, u"already exists."_s);
        }
        return storeError(path, u"cannot be created: %1"_s.arg(claim.errorString()));
    }
    claim.close();

    std::unique_ptr<SqliteStoreFile> store;
    auto fail = [&](const Error& error) -> Result<std::unique_ptr<StoreFile>> {
        store.reset();
        QFile::remove(path);
        QFile::remove(path + u"-journal"_s);
        return error;
    };
    sqlite::SqlResult<sqlite::Database> db = sqlite::Database::open(path, SQLITE_OPEN_READWRITE);
    if (!db) {
        return fail(sqliteStoreError(path, db.error(), u"cannot be created"_s));
    }
    store.reset(new SqliteStoreFile(path, std::move(db).value()));
    if (Status s = store->configure(); !s) {
        return fail(s.error());
    }
    const QByteArray marks = u"PRAGMA application_id=%1; PRAGMA user_version=%2;"_s
                                 .arg(static_cast<qint32>(schema::kApplicationId))
                                 .arg(schema::kSchemaVersion)
                                 .toUtf8();
    Status made = store->transaction([&]() -> Status {
        ORLO_TRY(store->writing(store->m_db.exec(QByteArrayView(marks))));
        ORLO_TRY(store->writing(store->m_db.exec(QByteArrayView(schema::kCreate))));
        ORLO_TRY(store->writing(store->m_db.exec(QByteArrayView(schema::kCreateDateIndex))));
        {
            ORLO_TRY_ASSIGN(const sqlite::StatementUse f, store->use(StoreQuery::InsertFolder));
            f->bindInt(1, 0);
            f->bindText(2, topFolderName);
            f->bindInt(3, static_cast<int>(FolderKind::Mail));
            f->bindText(4, kTopFolderClass.toString());
            ORLO_TRY(store->writing(f->run()));
        }
        store->m_topFolder = store->m_db.lastInsertRowid();
        ORLO_TRY_ASSIGN(const sqlite::StatementUse m, store->use(StoreQuery::InsertMeta));
        const std::pair<const char*, QString> rows[] = {
            {schema::kMetaFormat, QString::fromLatin1(schema::kMetaFormatValue)},
            {schema::kMetaSchema, QString::number(schema::kSchemaVersion)},
            {schema::kMetaTopFolder, QString::number(store->m_topFolder)},
        };
        for (const auto& [key, value] : rows) {
            m->reset();
            m->bindText(1, QString::fromLatin1(key));
            m->bindText(2, value);
            ORLO_TRY(store->writing(m->run()));
        }
        return okStatus();
    });
    if (!made) {
        return fail(made.error());
    }
    return std::unique_ptr<StoreFile>(std::move(store));
}

Status SqliteStoreFile::configure() {
    m_db.setBusyTimeout(kBusyTimeoutMs);
    if (sqlite::SqlStatus s = m_db.exec(QByteArrayView(kPragmas)); !s) {
        return failure(s.error(), u"cannot be used"_s);
    }
    return okStatus();
}

Status SqliteStoreFile::readHeader() {
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectMeta));
    s->bindText(1, QString::fromLatin1(schema::kMetaTopFolder));
    ORLO_TRY_ASSIGN(const bool found, reading(s->step()));
    if (!found) {
        return storeError(m_path, u"is damaged (no top folder)."_s);
    }
    m_topFolder = s->columnInt(0);
    return okStatus();
}

Error SqliteStoreFile::failure(const sqlite::SqliteError& e, const QString& doing) const {
    return sqliteStoreError(m_path, e, doing);
}

template <typename T>
Result<T> SqliteStoreFile::reading(sqlite::SqlResult<T> r) const {
    if (!r) {
        return failure(r.error(), u"cannot be read"_s);
    }
    if constexpr (std::is_void_v<T>) {
        return okStatus();
    } else {
        return std::move(r).value();
    }
}

Status SqliteStoreFile::writing(const sqlite::SqlStatus& s) const {
    if (!s) {
        return failure(s.error(), u"cannot be written"_s);
    }
    return okStatus();
}

Result<sqlite::StatementUse> SqliteStoreFile::use(StoreQuery query) const {
    sqlite::Statement& slot = m_statements[static_cast<std::size_t>(query)];
    if (!slot) {
        const char* sql = kStoreQueries[static_cast<std::size_t>(query)].sql;
        ORLO_TRY_ASSIGN(slot, reading(m_db.preparePersistent(QByteArrayView(sql))));
    }
    return sqlite::StatementUse(slot);
}

Status SqliteStoreFile::reopenIfWritableAgain() {
    if (m_bulk || sqlite3_db_readonly(m_db.handle(), "main") != 1 ||
        !StoreHeader::checkWritable(m_path)) {
        return okStatus();
    }
    sqlite::SqlResult<sqlite::Database> db = sqlite::Database::open(m_path, SQLITE_OPEN_READWRITE);
    if (!db) {
        return failure(db.error(), u"cannot be opened"_s);
    }
    for (sqlite::Statement& statement : m_statements) {
        statement = sqlite::Statement();  // finalized while their connection is still open
    }
    m_rowStatements.clear();
    m_db = std::move(db).value();
    return configure();
}

Status SqliteStoreFile::transaction(const std::function<Status()>& body) {
    ORLO_TRY(reopenIfWritableAgain());
    if (m_bulkDepth > 0 || m_fillDepth > 0) {
        return bulkWrite(body);
    }
    if (m_bulk) {
        // Fills wait in an open group: this write joins it, and the whole
        // group is committed before the write returns, so it is as durable
        // as a write of its own (and only reported done once it is).
        const Status written = bulkWrite(body);
        const Status committed = commitBulk();
        return written ? committed : written;
    }
    sqlite::SqlResult<sqlite::Transaction> t =
        sqlite::Transaction::begin(m_db, sqlite::Transaction::Mode::Immediate);
    if (!t) {
        return failure(t.error(), u"cannot be used"_s);
    }
    Status result = body();
    if (result) {
        if (sqlite::SqlStatus c = t.value().commit(); !c) {
            result = failure(c.error(), u"cannot be used"_s);
        }
    }
    if (!result) {
        t.value().rollback();
        // Ids of names added in the rolled-back transaction are gone.
        m_nameIds.clear();
        m_names.clear();
    }
    return result;
}

Status SqliteStoreFile::bulkWrite(const std::function<Status()>& body) {
    if (!m_bulk) {
        sqlite::SqlResult<sqlite::Transaction> t =
            sqlite::Transaction::begin(m_db, sqlite::Transaction::Mode::Immediate);
        if (!t) {
            return failure(t.error(), u"cannot be used"_s);
        }
        m_bulk.emplace(std::move(t).value());
        m_bulkWrites = 0;
        m_bulkAge.start();
    }
    // Each write is a savepoint of the group: a failing one is undone
    // alone, the group's other writes stay. The three statements are
    // prepared once: a fresh workstation runs them for every item it fills.
    const auto run = [this](StoreQuery query) -> Status {
        ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(query));
        return writing(s->run());
    };
    ORLO_TRY(run(StoreQuery::BeginBulkWrite));
    Status result = body();
    if (!result) {
        ignoreError(run(StoreQuery::UndoBulkWrite), "the write's own error is the one reported");
        m_nameIds.clear();
        m_names.clear();
    }
    if (Status released = run(StoreQuery::EndBulkWrite); !released) {
        m_bulk.reset();  // the engine gave the group up: it was rolled back
        return released;
    }
    // A bulk run commits by size and by age here. Fills commit here by size
    // only: whoever began them commits the group by time (commitFills) from
    // its event loop, so that no fill pays for syncing its predecessors.
    const bool aged = m_bulkDepth > 0 && m_bulkAge.elapsed() >= kBulkMillis;
    if (++m_bulkWrites >= kBulkWrites || aged) {
        ORLO_TRY(commitBulk());
    }
    return result;
}

Status SqliteStoreFile::commitBulk() {
    if (!m_bulk) {
        return okStatus();
    }
    sqlite::SqlStatus committed = m_bulk->commit();
    m_bulk.reset();
    if (!committed) {
        m_nameIds.clear();
        m_names.clear();
        return failure(committed.error(), u"cannot be written"_s);
    }
    return okStatus();
}

Status SqliteStoreFile::endBulk() {
    if (m_bulkDepth > 0 && --m_bulkDepth == 0) {
        return commitBulk();
    }
    return okStatus();
}

void SqliteStoreFile::endFills() {
    if (m_fillDepth > 0) {
        --m_fillDepth;
    }
}

Status SqliteStoreFile::commitFills() {
    // A bulk run commits its own groups; its last one when it ends.
    return m_bulkDepth > 0 ? okStatus() : commitBulk();
}

Result<std::optional<std::int64_t>> SqliteStoreFile::nameId(const QString& name) const {
    if (auto it = m_nameIds.constFind(name); it != m_nameIds.cend()) {
        return std::optional<std::int64_t>(*it);
    }
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectNameId));
    s->bindText(1, name);
    ORLO_TRY_ASSIGN(const bool found, reading(s->step()));
    if (!found) {
        return std::optional<std::int64_t>();
    }
    const std::int64_t id = s->columnInt(0);
    m_nameIds.insert(name, id);
    m_names.insert(id, name);
    return std::optional<std::int64_t>(id);
}

Result<std::int64_t> SqliteStoreFile::nameIdForWrite(const QString& name) {
    ORLO_TRY_ASSIGN(const std::optional<std::int64_t> known, nameId(name));
    if (known) {
        return *known;
    }
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::InsertName));
    s->bindText(1, name);
    ORLO_TRY(writing(s->run()));
    const std::int64_t id = m_db.lastInsertRowid();
    m_nameIds.insert(name, id);
    m_names.insert(id, name);
    return id;
}

Result<QString> SqliteStoreFile::nameOf(std::int64_t id) const {
    if (auto it = m_names.constFind(id); it != m_names.cend()) {
        return *it;
    }
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectName));
    s->bindInt(1, id);
    ORLO_TRY_ASSIGN(const bool found, reading(s->step()));
    if (!found) {
        return storeError(m_path, u"is damaged (unknown property name %1)."_s.arg(id));
    }
    const QString name = s->columnText(0);
    m_nameIds.insert(name, id);
    m_names.insert(id, name);
    return name;
}

Result<FolderInfo> SqliteStoreFile::folder(FolderId id) const {
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectFolder));
    s->bindInt(1, id);
    ORLO_TRY_ASSIGN(const bool found, reading(s->step()));
    if (!found) {
        return storeError(m_path, u"has no folder %1."_s.arg(id));
    }
    return readFolder(*s);
}

Status SqliteStoreFile::requireFolder(FolderId id) const {
    ORLO_TRY(folder(id));
    return okStatus();
}

Result<std::vector<FolderInfo>> SqliteStoreFile::subfolders(FolderId parent) const {
    std::vector<FolderInfo> out;
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectSubfolders));
    s->bindInt(1, parent);
    ORLO_TRY(reading(
        s->forEachRow([&](const sqlite::Statement& row) { out.push_back(readFolder(row)); })));
    return out;
}

Result<FolderId> SqliteStoreFile::createFolder(FolderId parent, const QString& name,
                                               FolderKind kind,
                                               const QString& defaultMessageClass) {
    if (name.trimmed().isEmpty()) {
        return storeError(m_path, u"cannot hold a folder without a name."_s);
    }
    FolderId id = 0;
    Status done = transaction([&]() -> Status {
        ORLO_TRY(requireFolder(parent));
        ORLO_TRY_ASSIGN(const std::vector<FolderInfo> siblings, subfolders(parent));
        for (const FolderInfo& sibling : siblings) {
            if (sibling.name.compare(name, Qt::CaseInsensitive) == 0) {
                return storeError(m_path,
                                  u"already has a folder \"%1\" there."_s.arg(sibling.name));
            }
        }
        ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::InsertFolder));
        s->bindInt(1, parent);
        s->bindText(2, name);
        s->bindInt(3, static_cast<int>(kind));
        s->bindText(4, defaultMessageClass);
        ORLO_TRY(writing(s->run()));
        id = m_db.lastInsertRowid();
        return okStatus();
    });
    ORLO_TRY(done);
    return id;
}

Result<std::vector<ItemId>> SqliteStoreFile::itemIds(FolderId folder) const {
    std::vector<ItemId> out;
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectItemIds));
    s->bindInt(1, folder);
    ORLO_TRY(reading(
        s->forEachRow([&](const sqlite::Statement& row) { out.push_back(row.columnInt(0)); })));
    return out;
}

Result<std::int64_t> SqliteStoreFile::itemCount(FolderId folder) const {
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::CountItems));
    s->bindInt(1, folder);
    ORLO_TRY_ASSIGN(const bool counted, reading(s->step()));
    return counted ? s->columnInt(0) : 0;
}

Result<FolderId> SqliteStoreFile::folderOfItem(ItemId id) const {
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectItem));
    s->bindInt(1, id);
    ORLO_TRY_ASSIGN(const bool found, reading(s->step()));
    if (!found) {
        return storeError(m_path, u"has no item %1."_s.arg(id));
    }
    return s->columnInt(0);
}

Result<ItemRecord> SqliteStoreFile::load(ItemId id, const std::optional<QStringList>& only) const {
    ItemRecord record;
    record.id = id;
    {
        ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectItem));
        s->bindInt(1, id);
        ORLO_TRY_ASSIGN(const bool found, reading(s->step()));
        if (!found) {
            return storeError(m_path, u"has no item %1."_s.arg(id));
        }
        record.folder = s->columnInt(0);
        record.messageClass = s->columnText(1);
    }
    if (only) {
        for (const QString& name : *only) {
            ORLO_TRY_ASSIGN(const std::optional<std::int64_t> nid, nameId(name));
            if (!nid) {
                continue;
            }
            ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectProperty));
            s->bindInt(1, id);
            s->bindInt(2, *nid);
            ORLO_TRY_ASSIGN(const bool found, reading(s->step()));
            if (found) {
                record.properties[name] = PropertyCodec::read(*s, 0, 1);
            }
        }
        return record;
    }
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectProperties));
    s->bindInt(1, id);
    Status named = okStatus();
    const Status walked = reading(s->forEachRow([&](const sqlite::Statement& row) {
        Result<QString> name = nameOf(row.columnInt(0));
        if (!name) {
            named = name.error();
            return false;
        }
        record.properties.emplace(*name, PropertyCodec::read(row, 1, 2));
        return true;
    }));
    ORLO_TRY(walked);
    ORLO_TRY(named);
    return record;
}

Result<std::vector<std::pair<ItemId, Variant>>> SqliteStoreFile::column(
    FolderId folder, const QString& property) const {
    std::vector<std::pair<ItemId, Variant>> out;
    ORLO_TRY_ASSIGN(const std::optional<std::int64_t> nid, nameId(property));
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::SelectColumn));
    s->bindInt(1, folder);
    // A name never stored matches no row: every item gives Empty.
    s->bindInt(2, nid.value_or(0));
    ORLO_TRY(reading(s->forEachRow([&](const sqlite::Statement& row) {
        out.emplace_back(row.columnInt(0), PropertyCodec::read(row, 1, 2));
    })));
    return out;
}

Status SqliteStoreFile::writeProperties(ItemId item, FolderId folder,
                                        const PropertyMap& properties) {
    for (const auto& [name, value] : properties) {
        ORLO_TRY_ASSIGN(const std::int64_t nid, nameIdForWrite(name));
        ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::InsertProperty));
        s->bindInt(1, item);
        s->bindInt(2, nid);
        s->bindInt(3, folder);
        PropertyCodec::bind(*s, 4, 5, value);
        if (std::optional<FindKey> key = FindKey::of(value)) {
            s->bindText(6, key->text);
        } else {
            s->bindNull(6);
        }
        ORLO_TRY(writing(s->run()));
    }
    return okStatus();
}

Result<ItemId> SqliteStoreFile::insertOne(FolderId folder, const QString& messageClass,
                                          const PropertyMap& properties) {
    {
        ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::InsertItem));
        s->bindInt(1, folder);
        s->bindText(2, messageClass);
        ORLO_TRY(writing(s->run()));
    }
    const ItemId id = m_db.lastInsertRowid();
    ORLO_TRY(writeProperties(id, folder, properties));
    return id;
}

Result<ItemId> SqliteStoreFile::insert(FolderId folder, const QString& messageClass,
                                       const PropertyMap& properties) {
    ItemId id = 0;
    ORLO_TRY(transaction([&]() -> Status {
        ORLO_TRY(requireFolder(folder));
        ORLO_TRY_ASSIGN(id, insertOne(folder, messageClass, properties));
        return okStatus();
    }));
    return id;
}

Result<std::vector<ItemId>> SqliteStoreFile::insertMany(FolderId folder,
                                                        const QString& messageClass,
                                                        const std::vector<PropertyMap>& items) {
    std::vector<ItemId> ids;
    ids.reserve(items.size());
    ORLO_TRY(transaction([&]() -> Status {
        ORLO_TRY(requireFolder(folder));
        for (const PropertyMap& properties : items) {
            ORLO_TRY_ASSIGN(const ItemId id, insertOne(folder, messageClass, properties));
            ids.push_back(id);
        }
        return okStatus();
    }));
    return ids;
}

Status SqliteStoreFile::update(ItemId id, const PropertyMap& properties) {
    return transaction([&]() -> Status {
        ORLO_TRY_ASSIGN(const FolderId folder, folderOfItem(id));
        {
            ORLO_TRY_ASSIGN(const sqlite::StatementUse del, use(StoreQuery::DeleteProperties));
            del->bindInt(1, id);
            ORLO_TRY(writing(del->run()));
        }
        return writeProperties(id, folder, properties);
    });
}

Status SqliteStoreFile::remove(ItemId id) {
    return transaction([&]() -> Status {
        ORLO_TRY(folderOfItem(id));
        for (const StoreQuery query : {StoreQuery::DeleteProperties, StoreQuery::DeleteItem}) {
            ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(query));
            s->bindInt(1, id);
            ORLO_TRY(writing(s->run()));
        }
        return okStatus();
    });
}

Result<std::optional<ItemId>> SqliteStoreFile::findFirst(FolderId folder, const QString& name,
                                                         const Variant& value) const {
    const std::optional<FindKey> key = FindKey::of(value);
    if (!key) {
        return std::optional<ItemId>();
    }
    ORLO_TRY_ASSIGN(const std::optional<std::int64_t> nid, nameId(name));
    if (!nid) {
        return std::optional<ItemId>();
    }
    ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(StoreQuery::Find));
    s->bindInt(1, folder);
    s->bindInt(2, *nid);
    s->bindText(3, key->text);
    const std::optional<QString> whole = key->truncated ? FindKey::fullText(value) : std::nullopt;
    std::optional<ItemId> found;
    ORLO_TRY(reading(s->forEachRow([&](const sqlite::Statement& row) {
        if (!key->truncated || FindKey::fullText(PropertyCodec::read(row, 1, 2)) == whole) {
            found = row.columnInt(0);
            return false;
        }
        return true;
    })));
    return found;
}

QString fieldRowsSql(int fields, bool byDate) {
    const QString key = byDate ? u"d.item"_s : u"i.id"_s;
    QString sql = u"SELECT "_s + key;
    for (int f = 0; f < fields; ++f) {
        sql += u", p%1.type, p%1.value"_s.arg(f);
    }
    sql += byDate ? u" FROM properties d"_s : u" FROM items i"_s;
    // Each field is one lookup on the properties' key (item, name).
    const int firstName = byDate ? 5 : 2;
    for (int f = 0; f < fields; ++f) {
        sql += u" LEFT JOIN properties p%1 ON p%1.item = %2 AND p%1.name = ?%3"_s.arg(
            QString::number(f), key, QString::number(firstName + f));
    }
    sql += byDate ? u" WHERE d.folder = ?1 AND d.name = ?2 AND d.type = 5"
                    u" AND d.value >= ?3 AND d.value < ?4 ORDER BY d.value, d.item"_s
                  : u" WHERE i.folder = ?1 ORDER BY i.id"_s;
    return sql;
}

Result<std::vector<FieldRow>> SqliteStoreFile::fieldRows(
    FolderId folder, const QStringList& names, const std::optional<DateSpan>& span) const {
    static_assert(static_cast<int>(Variant::Type::Date) == 5,
                  "the date index and its query name dates by this type number");
    std::vector<FieldRow> rows;
    const auto fields = static_cast<int>(names.size());
    if (fields > kMaxRowFields) {
        return storeError(m_path, u"cannot read %1 properties at once (at most %2)."_s.arg(
                                      QString::number(fields), QString::number(kMaxRowFields)));
    }
    std::optional<std::int64_t> dateName;
    if (span) {
        ORLO_TRY_ASSIGN(dateName, nameId(span->name));
        if (!dateName || span->from >= span->to) {
            return rows;
        }
    }
    const bool byDate = span.has_value();
    sqlite::Statement& slot = m_rowStatements[fields * 2 + (byDate ? 1 : 0)];
    if (!slot) {
        const QByteArray sql = fieldRowsSql(fields, byDate).toUtf8();
        ORLO_TRY_ASSIGN(slot, reading(m_db.preparePersistent(QByteArrayView(sql))));
    }
    const sqlite::StatementUse s(slot);
    s->bindInt(1, folder);
    int next = 2;
    if (byDate) {
        s->bindInt(2, *dateName);
        // Dates are wall-clock times: the bounds compare without a zone suffix.
        const QString wallClock = u"yyyy-MM-ddTHH:mm:ss.zzz"_s;
        s->bindText(3, span->from.toString(wallClock));
        s->bindText(4, span->to.toString(wallClock));
        next = 5;
    }
    for (const QString& name : names) {
        ORLO_TRY_ASSIGN(const std::optional<std::int64_t> nid, nameId(name));
        // A name never stored matches no row: every item gives Empty.
        s->bindInt(next++, nid.value_or(0));
    }
    ORLO_TRY(reading(s->forEachRow([&](const sqlite::Statement& row) {
        FieldRow r;
        r.id = row.columnInt(0);
        r.values.reserve(names.size());
        for (int f = 0; f < fields; ++f) {
            r.values.push_back(PropertyCodec::read(row, 1 + 2 * f, 2 + 2 * f));
        }
        rows.push_back(std::move(r));
    })));
    return rows;
}

namespace {

// Every store file is an SQLite one; the reads need its indexes.
Result<const SqliteStoreFile*> sqliteFile(const StoreFile& store) {
    if (const auto* file = dynamic_cast<const SqliteStoreFile*>(&store)) {
        return file;
    }
    return storeError(store.path(), u"cannot be read by rows."_s);
}

}  // namespace

Result<std::vector<FieldRow>> folderRows(const StoreFile& store, FolderId folder,
                                         const QStringList& names) {
    ORLO_TRY_ASSIGN(const SqliteStoreFile* file, sqliteFile(store));
    return file->fieldRows(folder, names, std::nullopt);
}

Result<std::vector<FieldRow>> rowsBetween(const StoreFile& store, FolderId folder,
                                          const QString& dateName, const QDateTime& from,
                                          const QDateTime& to, const QStringList& names) {
    ORLO_TRY_ASSIGN(const SqliteStoreFile* file, sqliteFile(store));
    return file->fieldRows(folder, names, SqliteStoreFile::DateSpan{dateName, from, to});
}

Status SqliteStoreFile::checkIntegrity() const {
    const std::pair<StoreQuery, QString> checks[] = {
        {StoreQuery::Integrity, u"ok"_s},
        {StoreQuery::StrayProperties, u"0"_s},
    };
    for (const auto& [query, sound] : checks) {
        ORLO_TRY_ASSIGN(const sqlite::StatementUse s, use(query));
        sqlite::SqlResult<bool> row = s->step();
        if (!row) {
            return failure(row.error(), u"cannot be checked"_s);
        }
        if (!*row) {
            return storeError(m_path, u"cannot be checked (no answer)."_s);
        }
        const QString answer = s->columnText(0);
        if (answer != sound) {
            return storeError(m_path, u"is damaged: %1"_s.arg(answer));
        }
    }
    return okStatus();
}

}  // namespace orlo::host
