#pragma once
// RemoveAddinPst: takes the add-in's store out of the desk's profile when
// the user removes the add-in. A failure is reported in a box and the
// removal goes on.

#include <memory>

namespace orlo {
class MessageBoxService;
}
namespace orlo::host {
class Application;
}

namespace orlo::addin {

inline constexpr char16_t kRemovePstErrorTitle[] = u"Software Error #-1940651761";
inline constexpr char16_t kRemovePstErrorTail[] =
    u"This Software could not remove the Outlook PST file because it has been removed or deleted.";

// `runningDesk` is the desk the add-in lives in.
void RemoveAddinPst(const std::shared_ptr<host::Application>& runningDesk,
                    MessageBoxService& boxes);

}  // namespace orlo::addin
