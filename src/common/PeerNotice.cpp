#include "common/PeerNotice.h"

#include "common/AddinContext.h"

namespace orlo {

QString peerNoticeLine(QStringView kind, int action, const QStringList& values) {
    return kind.toString() + QLatin1Char(',') + QString::number(action) + QLatin1Char(',') +
           values.join(QLatin1Char(','));
}

void sendPeerNotice(AddinContext& ctx, const QString& line) {
    if (ctx.peers != nullptr) {
        ctx.peers->SendDataToAll(line);
    }
}

}  // namespace orlo
