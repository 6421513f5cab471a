#include "host/Items.h"

#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/ItemFilter.h"
#include "host/MAPIFolder.h"
#include "host/StoreSession.h"

namespace orlo::host {

// What one walk over the folder sees: the item ids in folder order and,
// with SetColumns, the column values read in one pass per column.
struct Items::Snapshot {
    std::shared_ptr<StoreSession> session;
    FolderId folder = 0;
    std::vector<ItemId> ids;
    QStringList columns;
    std::vector<std::vector<std::pair<ItemId, Variant>>> values;  // per column

    std::size_t size() const { return ids.size(); }
    std::shared_ptr<::orlo::host::Item> at(std::size_t pos) const {
        const ItemId id = ids[pos];
        if (columns.isEmpty()) {
            // Nothing loaded yet: the item reads what it is asked for.
            return session->itemWithColumns(id, folder, {}, QStringList());
        }
        PropertyMap props;
        for (int c = 0; c < columns.size(); ++c) {
            const auto& column = values[static_cast<std::size_t>(c)];
            if (pos < column.size() && column[pos].first == id) {
                props.emplace(columns[c], column[pos].second);
            } else {
                // The columns disagree with the id list (a concurrent change):
                // load this item whole rather than guess.
                Result<std::shared_ptr<::orlo::host::Item>> item = session->itemObject(id);
                return item ? *item : nullptr;
            }
        }
        return session->itemWithColumns(id, folder, std::move(props), columns);
    }
};

Items::Items(std::shared_ptr<MAPIFolder> folder)
    : events(folder->itemEvents()), m_folder(std::move(folder)) {}

Items::~Items() = default;

Result<int> Items::Count() const {
    ORLO_TRY_ASSIGN(const StoreFile* file, m_folder->session()->file());
    ORLO_TRY_ASSIGN(const std::int64_t count, file->itemCount(m_folder->id()));
    return static_cast<int>(count);
}

Result<std::shared_ptr<Item>> Items::Find(const QString& filter) const {
    const auto& session = m_folder->session();
    ORLO_TRY_ASSIGN(const ItemFilter f, parseItemFilter(filter, session->services().locale));
    if (f.matchesNothing) {
        return std::shared_ptr<::orlo::host::Item>();
    }
    ORLO_TRY_ASSIGN(StoreFile* const file, session->file());
    ORLO_TRY_ASSIGN(const std::optional<ItemId> id,
                    file->findFirst(m_folder->id(), f.property, f.value));
    if (!id) {
        return std::shared_ptr<::orlo::host::Item>();
    }
    return session->itemObject(*id);
}

Result<std::shared_ptr<Item>> Items::Add(const QString& messageClass) const {
    const auto& session = m_folder->session();
    ORLO_TRY(session->file());
    const QString cls = messageClass.isEmpty() ? m_folder->DefaultMessageClass() : messageClass;
    PropertyMap props;
    if (const FormDefinition* form = session->services().forms.find(cls)) {
        props = form->initialProperties();
    }
    return std::make_shared<::orlo::host::Item>(
        ::orlo::host::Item::Init{session, m_folder->id(), 0, cls, std::move(props), std::nullopt});
}

Result<std::shared_ptr<Item>> Items::Item(int index) {
    const auto& session = m_folder->session();
    ORLO_TRY_ASSIGN(StoreFile* const file, session->file());
    const auto at = [&]() -> std::optional<ItemId> {
        if (index < 1 || static_cast<std::size_t>(index) > m_indexIds.size()) {
            return std::nullopt;
        }
        return m_indexIds[static_cast<std::size_t>(index - 1)];
    };
    std::optional<ItemId> id = at();
    Result<std::shared_ptr<::orlo::host::Item>> item =
        id ? session->itemObject(*id) : Result<std::shared_ptr<::orlo::host::Item>>(nullptr);
    if (!id || !item.ok()) {
        ORLO_TRY_ASSIGN(m_indexIds, file->itemIds(m_folder->id()));
        id = at();
        if (!id) {
            return err::hostError(err::kInvalidProcedureCall,
                                  QStringLiteral("There is no item %1 in the folder.").arg(index));
        }
        item = session->itemObject(*id);
    }
    return item;
}

void Items::SetColumns(const QString& columns) {
    m_columns.clear();
    for (const QString& name : columns.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty()) {
            m_columns << name.trimmed();
        }
    }
}

void Items::ResetColumns() {
    m_columns.clear();
}

std::shared_ptr<Items::Snapshot> Items::snapshot() const {
    auto s = std::make_shared<Snapshot>();
    s->session = m_folder->session();
    s->folder = m_folder->id();
    const Result<StoreFile*> file = s->session->file();
    if (!file) {
        return s;
    }
    s->columns = m_columns;
    // A walk has no way to report a failure: a folder that cannot be read
    // walks as empty (Count and Find report the store's error).
    if (m_columns.isEmpty()) {
        s->ids = (*file)->itemIds(s->folder).valueOr({});
        return s;
    }
    for (const QString& name : m_columns) {
        Result<std::vector<std::pair<ItemId, Variant>>> column = (*file)->column(s->folder, name);
        if (!column) {
            s->values.clear();
            return s;
        }
        s->values.push_back(std::move(column).value());
    }
    s->ids.reserve(s->values.front().size());
    for (const auto& [id, value] : s->values.front()) {
        s->ids.push_back(id);
    }
    return s;
}

std::shared_ptr<Item> Items::GetFirst() {
    m_walk = snapshot();
    m_walkPos = 0;
    return GetNext();
}

std::shared_ptr<Item> Items::GetNext() {
    if (!m_walk || m_walkPos >= m_walk->size()) {
        return nullptr;
    }
    return m_walk->at(m_walkPos++);
}

Items::Iterator Items::begin() const {
    return Iterator(snapshot(), 0);
}

std::shared_ptr<Item> Items::Iterator::operator*() const {
    return m_snapshot->at(m_pos);
}

bool Items::Iterator::operator==(std::default_sentinel_t) const {
    return !m_snapshot || m_pos >= m_snapshot->size();
}

}  // namespace orlo::host
