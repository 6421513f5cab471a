#include "app/PatientListModel.h"

#include <algorithm>
#include <unordered_map>

#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "host/store/FieldRows.h"
#include "records/FieldMaps.h"
#include "records/FieldPositions.h"

namespace orlo::desk {

namespace {

namespace pos = records::patient;

const QStringList& phoneProperties() {
    static const QStringList k{records::patientProperty(pos::kHomeTel),
                               records::patientProperty(pos::kWorkTel),
                               records::patientProperty(pos::kMobile)};
    return k;
}

// A sort key: numbers by value, dates by date, other texts without letter
// case; blanks last whichever way the list is sorted.
struct SortKey {
    int kind = 0;  // 0 blank, 1 number or date, 2 text
    qint64 number = 0;
    QString text;
};

SortKey sortKey(const QString& text, const Locale& locale) {
    if (text.isEmpty()) {
        return {};
    }
    bool isNumber = false;
    const qint64 n = text.toLongLong(&isNumber);
    if (isNumber) {
        return {1, n, {}};
    }
    QDate d = QDate::fromString(text, locale.shortDateFormat());
    if (!d.isValid()) {
        if (const auto parsed = locale.parseDateTime(text)) {
            d = parsed->date();
        }
    }
    if (d.isValid()) {
        return {1, d.toJulianDay(), {}};
    }
    return {2, 0, text.toLower()};
}

}  // namespace

PatientListModel::PatientListModel(Locale locale, QObject* parent)
    : QAbstractTableModel(parent), m_locale(std::move(locale)) {}

PatientListModel::~PatientListModel() = default;

void PatientListModel::setFolder(std::shared_ptr<host::MAPIFolder> folder) {
    beginResetModel();
    m_folder = std::move(folder);
    m_layout = ListLayout(
        m_folder.get(), phoneProperties() + QStringList{records::patientProperty(pos::kPatientId)});
    m_follower.follow(m_folder);
    load();
    endResetModel();
}

void PatientListModel::refresh() {
    beginResetModel();
    m_follower.clear();
    load();
    endResetModel();
}

PatientListModel::Row PatientListModel::makeRow(host::ItemId id,
                                                const std::vector<Variant>& values) const {
    const auto textAt = [&](const QString& property) {
        const auto at = static_cast<std::size_t>(m_layout.indexOf(property));
        return at < values.size() ? values[at].text(m_locale).trimmed() : QString();
    };
    Row row{id, m_layout.texts(values, m_locale), {}};
    QStringList phones;
    for (const QString& p : phoneProperties()) {
        phones << textAt(p);
    }
    row.keys =
        searchKeys(row.texts.value(0), phones, textAt(records::patientProperty(pos::kPatientId)));
    return row;
}

void PatientListModel::load() {
    m_rows.clear();
    m_visible.clear();
    m_loaded = okStatus();
    if (!m_folder) {
        return;
    }
    const Result<host::StoreFile*> file = m_folder->session()->file();
    Result<std::vector<host::FieldRow>> rows =
        file ? host::folderRows(**file, m_folder->id(), m_layout.properties())
             : Result<std::vector<host::FieldRow>>(file.error());
    if (!rows) {
        m_loaded = rows.error();
        return;
    }
    m_rows.reserve(rows->size());
    for (const host::FieldRow& r : *rows) {
        m_rows.push_back(makeRow(r.id, r.values));
    }
    rebuildVisible(false);
}

void PatientListModel::applyPendingChanges() {
    FolderChanges changes = m_follower.take();
    if (changes.empty()) {
        return;
    }
    apply(std::move(changes));
    if (m_onChanged) {
        m_onChanged();
    }
}

void PatientListModel::apply(FolderChanges changes) {
    const Result<host::StoreFile*> file = m_folder->session()->file();
    beginResetModel();
    std::erase_if(m_rows, [&](const Row& r) { return changes.removed.count(r.id) != 0; });
    std::unordered_map<host::ItemId, std::size_t> at;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        at.emplace(m_rows[i].id, i);
    }
    // New and stored-again patients alike are read again; deleted ones not.
    std::vector<host::ItemId> changed(changes.changed.begin(), changes.changed.end());
    for (const host::ItemId id : changes.added) {
        if (changes.removed.count(id) == 0 && changes.changed.count(id) == 0) {
            changed.push_back(id);
        }
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    for (const host::ItemId id : changed) {
        Result<host::ItemRecord> record = file ? (*file)->load(id, m_layout.properties())
                                               : Result<host::ItemRecord>(file.error());
        if (!record) {
            continue;  // gone since, or unreadable: the next refresh tells
        }
        Row row = makeRow(id, m_layout.valuesOf(record->properties));
        if (const auto it = at.find(id); it != at.end()) {
            m_rows[it->second] = std::move(row);
        } else {
            m_rows.push_back(std::move(row));
        }
    }
    rebuildVisible(false);
    endResetModel();
}

void PatientListModel::setSearch(const QString& typed) {
    if (typed == m_searchText) {
        return;
    }
    QuickSearch next(typed);
    const bool narrowOnly = next.narrows(m_search);
    m_search = std::move(next);
    m_searchText = typed;
    beginResetModel();
    rebuildVisible(narrowOnly);
    endResetModel();
}

void PatientListModel::rebuildVisible(bool narrowOnly) {
    if (narrowOnly) {
        // The rows shown are already in order; keep those still found.
        std::erase_if(m_visible, [this](int i) {
            return !m_search.matches(m_rows[static_cast<std::size_t>(i)].keys);
        });
        return;
    }
    m_visible.clear();
    m_visible.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_search.isEmpty() || m_search.matches(m_rows[i].keys)) {
            m_visible.push_back(static_cast<int>(i));
        }
    }
    if (m_sortColumn < 0 || m_sortColumn >= columnCount()) {
        return;
    }
    std::vector<SortKey> keys(m_rows.size());
    for (const int i : m_visible) {
        keys[static_cast<std::size_t>(i)] =
            sortKey(m_rows[static_cast<std::size_t>(i)].texts.value(m_sortColumn), m_locale);
    }
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(m_visible.begin(), m_visible.end(), [&](int a, int b) {
        const SortKey& x = keys[static_cast<std::size_t>(a)];
        const SortKey& y = keys[static_cast<std::size_t>(b)];
        if ((x.kind == 0) != (y.kind == 0)) {
            return y.kind == 0;  // blanks last
        }
        if (x.kind != y.kind) {
            return descending ? x.kind > y.kind : x.kind < y.kind;
        }
        if (x.kind == 1) {
            return descending ? x.number > y.number : x.number < y.number;
        }
        const int c = x.text.compare(y.text);
        return descending ? c > 0 : c < 0;
    });
}

void PatientListModel::sort(int column, Qt::SortOrder order) {
    m_sortColumn = column;
    m_sortOrder = order;
    Q_EMIT layoutAboutToBeChanged();
    rebuildVisible(false);
    Q_EMIT layoutChanged();
}

host::ItemId PatientListModel::itemIdAt(int row) const {
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(m_visible[row])].id : 0;
}

int PatientListModel::rowOf(host::ItemId id) const {
    for (std::size_t r = 0; r < m_visible.size(); ++r) {
        if (m_rows[static_cast<std::size_t>(m_visible[r])].id == id) {
            return static_cast<int>(r);
        }
    }
    return -1;
}

int PatientListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_visible.size());
}

int PatientListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_layout.columnCount();
}

QVariant PatientListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const Row& row = m_rows[static_cast<std::size_t>(m_visible[index.row()])];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return row.texts.value(index.column());
    }
    if (role == Qt::UserRole) {
        return static_cast<qint64>(row.id);
    }
    return {};
}

QVariant PatientListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return m_layout.columns()[static_cast<std::size_t>(section)].header;
}

}  // namespace orlo::desk
