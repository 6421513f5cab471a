#pragma once
// StoreFile: one item store on disk (the desk's personal folders file). It
// holds a tree of folders and, in each folder, items with their properties
// (name -> Variant). Every write is durable when the call returns; a process
// killed at any moment leaves the file openable with the last completed
// write of every item. Reads are lazy: opening a store reads no items, and
// loading an item may name only the properties wanted (SetColumns).
//
// The object model (Application, Namespace, Folder, Items, items) sits on
// top of this class; the add-in never sees it.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo::host {

using FolderId = std::int64_t;
using ItemId = std::int64_t;
using PropertyMap = std::map<QString, Variant>;

// What a folder holds by default; decides the item type that Add creates.
enum class FolderKind { Mail = 0, Contacts = 1, Calendar = 2 };

struct FolderInfo {
    FolderId id = 0;
    FolderId parent = 0;  // 0 for a top folder
    QString name;
    FolderKind kind = FolderKind::Mail;
    QString defaultMessageClass;  // the folder's default form, e.g. "IPM.Contact.Patient"
};

struct ItemRecord {
    ItemId id = 0;
    FolderId folder = 0;
    QString messageClass;  // "IPM.Contact.Patient", "IPM.Appointment", ...
    PropertyMap properties;
};

class StoreFile {
public:
    virtual ~StoreFile() = default;

    // Opens an existing store. A missing, damaged or foreign file is an error
    // (err::kProviderFailure with a description that names the file), never a
    // crash; the file is left as it is.
    static Result<std::unique_ptr<StoreFile>> open(const QString& path);
    // Creates a new store file with one top folder (the store's display name).
    // Fails when the file exists.
    static Result<std::unique_ptr<StoreFile>> create(const QString& path,
                                                     const QString& topFolderName);

    virtual QString path() const = 0;

    // Folders.
    virtual FolderId topFolder() const = 0;
    virtual Result<FolderInfo> folder(FolderId id) const = 0;
    virtual Result<std::vector<FolderInfo>> subfolders(FolderId parent) const = 0;
    virtual Result<FolderId> createFolder(FolderId parent, const QString& name, FolderKind kind,
                                          const QString& defaultMessageClass) = 0;

    // Items of a folder, in the folder's order: the order they were added,
    // which is the order of their ids (ids only grow and are never reused).
    virtual Result<std::vector<ItemId>> itemIds(FolderId folder) const = 0;
    virtual Result<std::int64_t> itemCount(FolderId folder) const = 0;

    // Loads an item; with `only` given, just those properties (SetColumns).
    virtual Result<ItemRecord> load(
        ItemId id, const std::optional<QStringList>& only = std::nullopt) const = 0;
    // Streams one property of every item of a folder, in folder order,
    // without loading whole items (the fast path for SetColumns iteration).
    virtual Result<std::vector<std::pair<ItemId, Variant>>> column(
        FolderId folder, const QString& property) const = 0;

    // Writes. Each call is one atomic, durable transaction.
    virtual Result<ItemId> insert(FolderId folder, const QString& messageClass,
                                  const PropertyMap& properties) = 0;
    // Adds many items to one folder in a single transaction (imports and
    // seeding); the ids come back in the order of `items`.
    virtual Result<std::vector<ItemId>> insertMany(FolderId folder, const QString& messageClass,
                                                   const std::vector<PropertyMap>& items) = 0;
    // Replaces the item's whole property set.
    virtual Status update(ItemId id, const PropertyMap& properties) = 0;
    virtual Status remove(ItemId id) = 0;

    // The first item of the folder (in folder order) whose property `name`
    // equals `value`; text compares case-insensitively, numbers by value, so
    // that "[PatientID] = 12" finds the text "12". Indexed: well under a
    // millisecond at half a million items.
    // A blank value (Empty, Null, "") finds nothing. A file that cannot be
    // read is an error, never "nothing found": a caller that took it for a
    // miss would add a second item with the same key.
    virtual Result<std::optional<ItemId>> findFirst(FolderId folder, const QString& name,
                                                    const Variant& value) const = 0;

    // Bulk saves (filling a fresh workstation's folders): from beginBulk()
    // until the matching endBulk(), writes are grouped into transactions of
    // up to kBulkWrites writes or kBulkMillis milliseconds, whichever comes
    // first, so each group is synced to disk once instead of every write.
    // A write that fails still leaves nothing of itself; a crash loses at
    // most the open group. endBulk() commits it. Calls may nest.
    static constexpr int kBulkWrites = 1000;
    static constexpr int kBulkMillis = 200;
    virtual void beginBulk() = 0;
    virtual Status endBulk() = 0;

    // Program-made fills (an item copied in from a row that is already in
    // the shared database, such as a peer's notice): from beginFills() until
    // the matching endFills(), writes join a group that is left open when
    // they return, so a fill costs no sync to disk. The group is committed
    // when it reaches kBulkWrites writes, by commitFills() (the code that
    // fills calls it within kBulkMillis of its first waiting fill, never
    // inside a fill), when the store closes, and by the next write made
    // outside a fill: that write joins the group and returns only once the
    // group is committed, so it stays as durable as any other. A crash loses
    // at most the fills of the open group; the resync adds them again from
    // the database. Calls may nest.
    virtual void beginFills() = 0;
    virtual void endFills() = 0;
    virtual Status commitFills() = 0;

    // Full consistency check of the file (slow: reads every page).
    virtual Status checkIntegrity() const = 0;
};

}  // namespace orlo::host
