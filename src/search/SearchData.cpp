#include "search/SearchData.h"

#include "common/AddinContext.h"
#include "common/DatabaseLocation.h"
#include "common/ErrorReport.h"
#include "host/Application.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"
#include "reports/ReportLoader.h"

namespace orlo::search {

SearchLease::SearchLease(SearchLease&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_set(std::move(other.m_set)) {}

SearchLease& SearchLease::operator=(SearchLease&& other) noexcept {
    if (this != &other) {
        CloseSearchData();
        m_data = std::exchange(other.m_data, nullptr);
        m_set = std::move(other.m_set);
    }
    return *this;
}

void SearchLease::CloseSearchData() {
    m_set = {};
    if (SearchData* data = std::exchange(m_data, nullptr)) {
        data->release();
    }
}

QString patientHistorySql(const QString& id) {
    return QString::fromUtf16(kPatientHistorySqlHead) + id +
           QString::fromUtf16(kPatientHistorySqlMiddle) + id;
}

SearchData::~SearchData() {
    // Windows are closed before the add-in lets go of its search data; a
    // lease that outlived it would point nowhere.
    Q_ASSERT(m_holders == 0);
}

Status SearchData::openSet(const QString& path, SearchNeeds needs, SearchSet& set) const {
    auto connection =
        std::make_shared<data::Connection>(data::DataContext{m_ctx.clock, m_ctx.locale});
    connection->setProvider(QString::fromUtf16(kJetProvider));
    set.SearchConnection = connection;  // its errors go to the log
    if (Status s = connection->open(path); !s) {
        return s;
    }
    const auto open = [&](const QString& sql) -> Result<std::shared_ptr<data::Recordset>> {
        auto rs = std::make_shared<data::Recordset>();
        if (Status s = rs->open(sql, *connection, data::kOpenKeyset, data::kLockOptimistic); !s) {
            return s.error();
        }
        return rs;
    };
    if (needs.patientList) {
        auto list = open(QString::fromUtf16(kPatientListSql));
        if (!list) {
            return list.error();
        }
        set.PatientListRecordset = *list;
    }
    // Only digits go into the history's statement: whatever else an item
    // holds never becomes part of SQL.
    if (const QString id = needs.patientHistory ? ActivePatientID() : QString();
        reports::isPlainId(id)) {
        auto history = open(patientHistorySql(id));
        if (!history) {
            return history.error();
        }
        set.PatientHistoryRecordset = *history;
    }
    if (needs.recallList) {
        auto recalls = open(QString::fromUtf16(kRecallListSql));
        if (!recalls) {
            return recalls.error();
        }
        set.RecallListRecordset = *recalls;
    }
    return okStatus();
}

SearchLease SearchData::OpenSearchData(SearchNeeds needs) {
    const std::optional<QString> path =
        checkDatabaseLocation(m_ctx.registry, m_ctx.messageBoxes, DatabaseCheckCaller::SearchData);
    if (!path) {
        return {};
    }
    SearchSet set;
    if (Status s = openSet(*path, needs, set); !s) {
        const ProviderErrors errors =
            set.SearchConnection ? set.SearchConnection->errors() : ProviderErrors{};
        // The box is what matters here; a log that cannot be written has
        // nowhere else to go.
        ignoreError(reportDatabaseError(s.error(), QString::fromUtf16(kSearchDataErrorTitle),
                                        errors, m_ctx.messageBoxes, m_ctx.log()),
                    "the box was shown; a log that cannot be written has nowhere to go");
        return {};
    }
    m_current = set;
    ++m_holders;
    return SearchLease(this, std::move(set));
}

void SearchData::release() {
    if (m_holders > 0 && --m_holders == 0) {
        // The last window has gone: the history, the list and the
        // connection close, and the recall list with them.
        for (const auto& rs : {m_current.PatientHistoryRecordset, m_current.PatientListRecordset}) {
            if (rs) {
                rs->close();
            }
        }
        if (m_current.SearchConnection) {
            ignoreError(m_current.SearchConnection->close(),
                        "the windows are gone: nothing is left to lose");
        }
        if (m_current.RecallListRecordset) {
            m_current.RecallListRecordset->close();
        }
        m_current = {};
    }
}

QString SearchData::ActivePatientID() const {
    const auto inspector = m_ctx.application ? m_ctx.application->ActiveInspector() : nullptr;
    const auto item = inspector ? inspector->CurrentItem() : nullptr;
    if (!item) {
        return {};
    }
    const Result<Variant> id = item->userProperty(QStringLiteral("PatientID"));
    return id ? id->text(m_ctx.locale) : QString();
}

}  // namespace orlo::search
