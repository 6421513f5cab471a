#pragma once
// ItemJson: one item as one line of JSON for `orlo store dump`:
//   {"id":7,"messageClass":"IPM.Contact.Patient","properties":{"PatientID":"12",...}}
// Texts are strings, integers and finite doubles numbers, Booleans true or
// false, Null null; the kinds JSON lacks are tagged objects: {"date":"ISO
// 8601"}, {"empty":true}, {"double":"nan"|"inf"|"-inf"}.

#include <QJsonValue>
#include <QString>

#include "host/store/StoreFile.h"

namespace orlo::tools {

QJsonValue variantToJson(const Variant& value);
QString itemJsonLine(const host::ItemRecord& item);

}  // namespace orlo::tools
