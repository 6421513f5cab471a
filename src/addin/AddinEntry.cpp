// liborlo's one exported function: the desk calls it to make the add-in
// object for a ProgId (see host/addins/IDTExtensibility2.h). The add-in's
// application folder is the folder this library was loaded from.

#include "addin/Connect.h"

namespace {

// Any object of this library tells where the library was loaded from.
constexpr int kLibraryAnchor = 0;

}  // namespace

extern "C" __attribute__((visibility("default"))) orlo::host::IDTExtensibility2* orlo_create_addin(
    const char* progId) {
    if (progId == nullptr ||
        QString::fromUtf8(progId).compare(QString::fromUtf16(orlo::addin::kProgId),
                                          Qt::CaseInsensitive) != 0) {
        return nullptr;
    }
    return new orlo::addin::Connect(orlo::AppFolder::ofLibraryContaining(&kLibraryAnchor));
}
