#pragma once
// The presentation of the patient and appointment forms: a caption in
// words, a section and an input kind for each control, by page and control
// name. A control of another page keeps the plain look (its name, a text box).

#include <QString>

#include "host/forms/ControlLook.h"

namespace orlo::host {

ControlLook controlLook(const QString& page, const QString& control);

}  // namespace orlo::host
