#pragma once
// SqliteStoreFile: the StoreFile on one SQLite file (layout in StoreSchema.h).
// Keeps a cache of prepared statements and of property-name ids; holds no
// items in memory.

#include <QElapsedTimer>
#include <QHash>
#include <array>
#include <functional>
#include <map>
#include <optional>

#include "host/store/FieldRows.h"
#include "host/store/StoreFile.h"
#include "host/store/StoreQueries.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/StatementUse.h"
#include "platform/sqlite/Transaction.h"

namespace orlo::host {

class SqliteStoreFile final : public StoreFile {
public:
    static Result<std::unique_ptr<StoreFile>> open(const QString& path);
    static Result<std::unique_ptr<StoreFile>> create(const QString& path,
                                                     const QString& topFolderName);
    ~SqliteStoreFile() override;
    SqliteStoreFile(const SqliteStoreFile&) = delete;
    SqliteStoreFile& operator=(const SqliteStoreFile&) = delete;

    QString path() const override { return m_path; }
    FolderId topFolder() const override { return m_topFolder; }
    Result<FolderInfo> folder(FolderId id) const override;
    Result<std::vector<FolderInfo>> subfolders(FolderId parent) const override;
    Result<FolderId> createFolder(FolderId parent, const QString& name, FolderKind kind,
                                  const QString& defaultMessageClass) override;

    Result<std::vector<ItemId>> itemIds(FolderId folder) const override;
    Result<std::int64_t> itemCount(FolderId folder) const override;
    Result<ItemRecord> load(ItemId id, const std::optional<QStringList>& only) const override;
    Result<std::vector<std::pair<ItemId, Variant>>> column(FolderId folder,
                                                           const QString& property) const override;

    Result<ItemId> insert(FolderId folder, const QString& messageClass,
                          const PropertyMap& properties) override;
    Result<std::vector<ItemId>> insertMany(FolderId folder, const QString& messageClass,
                                           const std::vector<PropertyMap>& items) override;
    Status update(ItemId id, const PropertyMap& properties) override;
    Status remove(ItemId id) override;

    Result<std::optional<ItemId>> findFirst(FolderId folder, const QString& name,
                                            const Variant& value) const override;
    // See FieldRows.h: the rows of the whole folder, or with `span` of the
    // items whose date property lies in its range.
    struct DateSpan {
        QString name;
        QDateTime from;
        QDateTime to;
    };
    Result<std::vector<FieldRow>> fieldRows(FolderId folder, const QStringList& names,
                                            const std::optional<DateSpan>& span) const;

    Status checkIntegrity() const override;

    void beginBulk() override { ++m_bulkDepth; }
    Status endBulk() override;
    void beginFills() override { ++m_fillDepth; }
    void endFills() override;
    Status commitFills() override;

private:
    SqliteStoreFile(QString path, sqlite::Database db);

    Status configure();
    Status readHeader();
    // The cached statement, prepared on first use, borrowed until the
    // returned use ends.
    Result<sqlite::StatementUse> use(StoreQuery query) const;
    // SQLite's failure as the store's error: "<file> <doing>: <message>".
    Error failure(const sqlite::SqliteError& e, const QString& doing) const;
    template <typename T>
    Result<T> reading(sqlite::SqlResult<T> r) const;
    Status writing(const sqlite::SqlStatus& s) const;
    // Runs body in one IMMEDIATE transaction, rolled back when it fails;
    // in bulk mode or a fill, inside the open group (see bulkWrite). A write
    // outside both while fills wait in a group joins it and commits it.
    Status transaction(const std::function<Status()>& body);
    // The same inside the open bulk group (begun when none is open), as a
    // savepoint; the group is committed once it is full or old enough.
    Status bulkWrite(const std::function<Status()>& body);
    Status commitBulk();
    // A store opened for reading only (it could not be written then) is
    // opened again for writing once it can be, before its next write.
    Status reopenIfWritableAgain();

    // Property-name ids: nothing when the name was never stored.
    Result<std::optional<std::int64_t>> nameId(const QString& name) const;
    Result<std::int64_t> nameIdForWrite(const QString& name);
    Result<QString> nameOf(std::int64_t id) const;

    Status requireFolder(FolderId id) const;
    Result<FolderId> folderOfItem(ItemId id) const;
    Result<ItemId> insertOne(FolderId folder, const QString& messageClass,
                             const PropertyMap& properties);
    Status writeProperties(ItemId item, FolderId folder, const PropertyMap& properties);

    QString m_path;
    sqlite::Database m_db;
    FolderId m_topFolder = 0;
    mutable std::array<sqlite::Statement, kStoreQueryCount> m_statements;
    // The field-row reads, prepared on first use, by field count and kind.
    mutable std::map<int, sqlite::Statement> m_rowStatements;
    mutable QHash<QString, std::int64_t> m_nameIds;
    mutable QHash<std::int64_t, QString> m_names;
    int m_bulkDepth = 0;
    int m_fillDepth = 0;
    std::optional<sqlite::Transaction> m_bulk;
    int m_bulkWrites = 0;
    QElapsedTimer m_bulkAge;
};

}  // namespace orlo::host
