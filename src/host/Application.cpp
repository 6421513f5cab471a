#include "host/Application.h"

#include "host/Explorers.h"
#include "host/HostErrors.h"
#include "host/Inspectors.h"
#include "host/NameSpace.h"

namespace orlo::host {

Application::Application(std::shared_ptr<const HostServices> services)
    : m_services(std::move(services)),
      m_explorers(std::make_shared<::orlo::host::Explorers>()),
      m_inspectors(std::make_shared<::orlo::host::Inspectors>()) {}

std::shared_ptr<Application> Application::create(const Clock& clock, Locale locale,
                                                 FormRegistry forms,
                                                 MessageBoxService* messageBoxes) {
    auto services = std::make_shared<const HostServices>(
        HostServices{clock, std::move(locale), std::move(forms), messageBoxes});
    auto app = std::make_shared<Application>(services);
    app->m_namespace = std::make_shared<NameSpace>(services, app);
    return app;
}

Result<std::shared_ptr<NameSpace>> Application::GetNamespace(const QString& type) const {
    if (type.compare(QString::fromUtf16(kMapiNamespace), Qt::CaseInsensitive) != 0) {
        return err::hostError(err::kInvalidArgument,
                              QStringLiteral("There is no namespace \"%1\".").arg(type));
    }
    return m_namespace;
}

std::shared_ptr<Explorer> Application::ActiveExplorer() const {
    return m_explorers->active();
}

std::shared_ptr<Inspector> Application::ActiveInspector() const {
    return m_inspectors->active();
}

}  // namespace orlo::host
