#include "search/PatientSelector.h"

#include "common/AddinContext.h"
#include "platform/data/Recordset.h"
#include "platform/ui/MessageBox.h"
#include "search/SearchItems.h"
#include "search/SearchMessages.h"

namespace orlo::search {

bool PatientSelector::cmdSelectPT_Click() {
    if (Status s = walkToSelected(); !s) {
        showButtonError(m_s.ctx.messageBoxes, s.error(), NamedErrors{},
                        QString::fromUtf16(kSoftwareErrorTitle));
        return false;
    }
    m_fields.clear();
    for (const char16_t* column : kSelectionColumns) {
        const Result<Variant> v = patients()->field(QString::fromUtf16(column));
        m_fields << (v ? v->text(m_s.ctx.locale) : QString());
    }
    if (!HelloWorld(m_s.ctx, m_fields)) {
        m_s.ctx.messageBoxes.show(QString::fromUtf16(kCopyProblemText), MsgButtons::OK,
                                  MsgIcon::Critical, QString::fromUtf16(kSoftwareErrorTitle));
    }
    return true;
}

}  // namespace orlo::search
