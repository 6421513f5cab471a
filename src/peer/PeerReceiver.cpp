#include "peer/PeerReceiver.h"

#include <QStringDecoder>
#include <algorithm>
#include <utility>

#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "common/ItemHandlerSupport.h"
#include "common/PeerNotice.h"
#include "host/MAPIFolder.h"
#include "host/ProgramFills.h"
#include "patients/basOutlookPatients.h"
#include "platform/core/DoEvents.h"
#include "platform/core/ErrorTrap.h"
#include "schedule/basOutlookAppointments.h"

namespace orlo::peer {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr qsizetype kPatientFields = 52;
constexpr qsizetype kScheduleFields = 58;
constexpr qsizetype kLoggedLineStart = 60;

}  // namespace

void PeerReceiver::append(ReceiveBuffer& buffer, const QByteArray& bytes, const QString& from,
                          qsizetype limit) {
    buffer.bytes += bytes;
    if (buffer.skipping) {
        // The rest of a dropped line goes up to the next line end of any kind.
        const qsizetype end = buffer.bytes.indexOf(kLineEnd);
        if (end < 0) {
            buffer.bytes.clear();
            return;
        }
        buffer.bytes.remove(0, end + 2);
        buffer.skipping = false;
    }
    if (buffer.bytes.size() > limit && lineEnd(buffer.bytes) < 0) {
        buffer.bytes.clear();
        buffer.skipping = true;
        discard(from, QStringLiteral("more than %1 bytes without a line end").arg(limit));
    }
}

qsizetype PeerReceiver::lineEnd(const QByteArray& bytes) {
    // CR LF inside a quoted value belongs to the value; a quote counts only
    // at the start of a value, as the sender quotes.
    bool fieldStart = true;
    bool quoted = false;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && bytes[i + 1] == '"') {
                    ++i;
                } else {
                    quoted = false;
                }
            }
            continue;
        }
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
            return i;
        }
        quoted = fieldStart && c == '"';
        fieldStart = c == ',';
    }
    return -1;
}

bool PeerReceiver::takeLine(ReceiveBuffer& buffer, QByteArray& line) {
    const qsizetype end = lineEnd(buffer.bytes);
    if (end < 0) {
        return false;
    }
    line = buffer.bytes.left(end);
    buffer.bytes.remove(0, end + 2);
    return true;
}

void PeerReceiver::handleLine(const QByteArray& line, const QString& from) {
    // Only the two notice kinds go further; anything else is dropped unread.
    const bool isPatient = line.startsWith("P,");
    if (!isPatient && !line.startsWith("S,")) {
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(line);
    if (utf8.hasError()) {
        discard(from, QStringLiteral("not UTF-8 text"));
        return;
    }
    const std::optional<QStringList> fields = splitPeerNotice(text);
    if (!fields) {
        discard(from, QStringLiteral("a quoted value is not closed properly: ") +
                          text.left(kLoggedLineStart));
        return;
    }
    const QString& action = fields->at(1);
    if (action != u"1" && action != u"2") {
        return;
    }
    const qsizetype needed = isPatient ? kPatientFields : kScheduleFields;
    if (fields->size() < needed) {
        discard(
            from,
            QStringLiteral("%1 fields where the notice has %2: ").arg(fields->size()).arg(needed) +
                text.left(kLoggedLineStart));
        return;
    }
    if (!checkKeyText(fields->at(2))) {
        discard(from, QStringLiteral("the key is not a number: ") + text.left(kLoggedLineStart));
        return;
    }
    if (isPatient) {
        patient(*fields, from);
    } else {
        appointment(*fields, from);
    }
}

void PeerReceiver::patient(const QStringList& fields, const QString& from) {
    const QString& id = fields.at(2);
    const Result<bool> found = patients::PatientExistsByCustomerID(m_ctx, id);
    if (!found) {
        discard(from, u"patient " + id + u" could not be looked up: " + found.error().description);
        return;
    }
    DoEvents();
    const patients::PatientFieldValues values = fields.mid(2, kPatientFields - 2);
    const Status filled = fill(kPatientsFolderName, [&] {
        return *found ? patients::UpdatePatientItem(m_ctx, values)
                      : patients::AddPatientItem(m_ctx, values);
    });
    DoEvents();
    m_ctx.PatientItemSaveEnabled = true;
    if (!filled) {
        discard(from, u"patient " + id + u" could not be filled: " + filled.error().description);
    }
}

void PeerReceiver::appointment(const QStringList& fields, const QString& from) {
    const QString& id = fields.at(2);
    const Result<bool> found = schedule::AppointmentExistsByMileage(m_ctx, id);
    if (!found) {
        discard(from,
                u"appointment " + id + u" could not be looked up: " + found.error().description);
        return;
    }
    DoEvents();
    const schedule::ScheduleFieldValues values = fields.mid(3, kScheduleFields - 3);
    const Status filled = fill(kSchedulerFolderName, [&] {
        return *found ? schedule::UpdateAppointmentItem(m_ctx, id, values)
                      : schedule::AddAppointmentItem(m_ctx, id, values);
    });
    DoEvents();
    m_ctx.ApptItemSaveEnabled = true;
    if (!filled) {
        discard(from,
                u"appointment " + id + u" could not be filled: " + filled.error().description);
    }
}

Status PeerReceiver::fill(const char16_t* folderName, const std::function<Status()>& body) {
    const Result<std::shared_ptr<host::MAPIFolder>> folder =
        addinFolder(m_ctx.application, QString::fromUtf16(folderName));
    if (!folder) {
        return body();  // the fill reports the missing folder itself
    }
    Status filled;
    {
        const host::ProgramFills fills(*folder);
        filled = body();
    }
    if (std::find(m_filled.begin(), m_filled.end(), *folder) == m_filled.end()) {
        m_filled.push_back(*folder);
    }
    return filled;
}

Status PeerReceiver::commitFills() {
    Status result = okStatus();
    for (const std::shared_ptr<host::MAPIFolder>& f : std::exchange(m_filled, {})) {
        if (Status committed = host::ProgramFills::commit(f); !committed && result) {
            result = committed;
        }
    }
    return result;
}

void PeerReceiver::discard(const QString& from, const QString& why) {
    ignoreError(m_ctx.log().WriteErrorLog(u"Peer line from " + from + u" dropped: " + why),
                "an unattended receive has nobody else to tell");
}

}  // namespace orlo::peer
