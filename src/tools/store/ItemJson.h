#pragma once
// ItemJson: one item as one line of JSON for `orlo store dump`:
//   {"id":7,"messageClass":"IPM.Contact.Patient","properties":{"PatientID":"12",...}}
// Values as platform/core/VariantJson.h writes them.

#include <QJsonValue>
#include <QString>

#include "host/store/StoreFile.h"

namespace orlo::tools {

QString itemJsonLine(const host::ItemRecord& item);

}  // namespace orlo::tools
