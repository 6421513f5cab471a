#pragma once
// PeerReceiver: what a workstation does with the lines its peers send. A
// slot's bytes are framed at CR LF; every complete line is handled at
// once. A patient notice ("P,1," or "P,2," and 50 values) adds or
// refreshes the contact whose "Customer ID" is its key, an appointment
// notice ("S,1,"/"S,2,", the schedule id and 55 values) the appointment
// whose "Mileage" is, through the same fill operations the resync uses;
// the save switch is set true again after each, so the fill's own save
// neither writes the database nor sends a notice. A fill copies a row the
// database already holds, so its store write is a program fill
// (host/ProgramFills.h): no sync to disk per notice; the waiting fills are
// committed by commitFills(), which the connector calls between notices,
// at most kFillCommitDelayMs after the first fill waiting.
//
// The receiver never touches the database. A line of another kind or
// action is dropped; a line that is not UTF-8, has broken quoting, too few
// fields or a key that is not a number is dropped and logged; a failing
// lookup or fill ends that line only, logged. Nothing ends the connection.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::peer {

// How long a fill made from a notice waits at most before the connector
// commits it (with every fill made since).
inline constexpr int kFillCommitDelayMs = 200;

// What one slot has received and not handled yet.
struct ReceiveBuffer {
    QByteArray bytes;
    // The rest of an overlong line is being dropped up to its line end.
    bool skipping = false;
};

class PeerReceiver {
public:
    explicit PeerReceiver(AddinContext& ctx) : m_ctx(ctx) {}

    // Appends what arrived; a buffer past `limit` bytes without a complete
    // line is dropped (logged), and so is what follows up to the next CR LF.
    void append(ReceiveBuffer& buffer, const QByteArray& bytes, const QString& from,
                qsizetype limit);
    // Takes the first complete line out of the buffer; false when none.
    static bool takeLine(ReceiveBuffer& buffer, QByteArray& line);
    // Where the first line ends (its CR LF outside quotes), or -1.
    static qsizetype lineEnd(const QByteArray& bytes);
    // Handles one line (without CR LF). It yields to the event loop around
    // each fill, as the desk's own saves do.
    void handleLine(const QByteArray& line, const QString& from);

    // Fills made since the last commitFills() may still wait in a store.
    bool fillsWaiting() const { return !m_filled.empty(); }
    // Commits them, so that they are on disk.
    Status commitFills();

private:
    void discard(const QString& from, const QString& why);
    // Runs one fill into the add-in folder `folderName` as a program fill.
    Status fill(const char16_t* folderName, const std::function<Status()>& body);
    void patient(const QStringList& fields, const QString& from);
    void appointment(const QStringList& fields, const QString& from);

    AddinContext& m_ctx;
    // The folders filled since the last commit, held until it.
    std::vector<std::shared_ptr<host::MAPIFolder>> m_filled;
};

}  // namespace orlo::peer
