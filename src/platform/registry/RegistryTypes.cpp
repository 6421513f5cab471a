#include "platform/registry/RegistryTypes.h"

#include <array>
#include <utility>

namespace orlo {

namespace {

constexpr std::array<std::pair<RegistryRoot, const char16_t*>, 4> kRootNames = {{
    {RegistryRoot::ClassesRoot, u"HKEY_CLASSES_ROOT"},
    {RegistryRoot::CurrentUser, u"HKEY_CURRENT_USER"},
    {RegistryRoot::LocalMachine, u"HKEY_LOCAL_MACHINE"},
    {RegistryRoot::Users, u"HKEY_USERS"},
}};

}  // namespace

QString registryRootName(RegistryRoot root) {
    for (const auto& [r, name] : kRootNames) {
        if (r == root) {
            return QString::fromUtf16(name);
        }
    }
    return QString();
}

std::optional<RegistryRoot> registryRootFromName(QStringView name) {
    for (const auto& [r, n] : kRootNames) {
        if (name.compare(QStringView(n), Qt::CaseInsensitive) == 0) {
            return r;
        }
    }
    return std::nullopt;
}

}  // namespace orlo
