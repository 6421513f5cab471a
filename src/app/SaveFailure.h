#pragma once
// What the user hears when the desk cannot save an item, in a window or
// through the automation channel alike: the failure in a box, unless a
// handler refused the save and said why itself. The item keeps its values.

namespace orlo {
struct Error;
class MessageBoxService;
}  // namespace orlo

namespace orlo::desk {

void tellSaveFailure(MessageBoxService& boxes, const Error& error);

}  // namespace orlo::desk
