#pragma once
// Application: the desk's object model root as the add-in sees it: the
// "MAPI" namespace, the open main windows (Explorers) and item windows
// (Inspectors), and which of them is active. One Application per desk
// process (tests make several); nothing in it is global.

#include <QString>
#include <memory>

#include "host/HostServices.h"
#include "platform/core/Result.h"

namespace orlo::host {

class Explorer;
class Explorers;
class Inspector;
class Inspectors;
class NameSpace;

class Application : public std::enable_shared_from_this<Application> {
public:
    static constexpr char16_t kMapiNamespace[] = u"MAPI";

    // The clock and the message boxes must outlive the application.
    static std::shared_ptr<Application> create(const Clock& clock, Locale locale,
                                               FormRegistry forms = FormRegistry::standard(),
                                               MessageBoxService* messageBoxes = nullptr);

    // GetNamespace("MAPI"); any other type is an error.
    Result<std::shared_ptr<NameSpace>> GetNamespace(const QString& type) const;
    std::shared_ptr<Explorer> ActiveExplorer() const;
    std::shared_ptr<Inspector> ActiveInspector() const;
    std::shared_ptr<::orlo::host::Explorers> Explorers() const { return m_explorers; }
    std::shared_ptr<::orlo::host::Inspectors> Inspectors() const { return m_inspectors; }

    const std::shared_ptr<const HostServices>& services() const { return m_services; }

    explicit Application(std::shared_ptr<const HostServices> services);

private:
    std::shared_ptr<const HostServices> m_services;
    std::shared_ptr<NameSpace> m_namespace;
    std::shared_ptr<::orlo::host::Explorers> m_explorers;
    std::shared_ptr<::orlo::host::Inspectors> m_inspectors;
};

}  // namespace orlo::host
