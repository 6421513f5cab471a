#include "patients/PatientItemHandlers.h"

#include "common/AddinContext.h"

namespace orlo::patients {

void PatientItemHandlers::Open(host::Item& /*item*/) {}

void PatientItemHandlers::Write(host::Item& /*item*/) {}

void PatientItemHandlers::BeforeDelete(host::Item& /*item*/) {
    m_ctx.PatientItemSaveEnabled = false;
}

void PatientItemHandlers::Close(host::Item& /*item*/) {
    m_ctx.PatientItemSaveEnabled = true;
}

}  // namespace orlo::patients
