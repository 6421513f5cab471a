#pragma once
// InspectorWindow: the window of one displayed item (the host's Inspector):
// its custom form, one tab per page, the menu bar made from the
// inspector's command bar, and Save, Save and Close and Delete, which go
// through the item's Save, Close and Delete so that the item's events fire.
// The form and the menus follow the item's, the controls' and the command
// bar's events.
// The model decides when the window goes: the inspector's Close (after
// Close, Delete, or an Open handler refusing the item) closes it. When the
// user closes it, unsaved changes are offered for saving first.

#include <QMainWindow>
#include <memory>
#include <vector>

#include "host/events/Subscription.h"
#include "platform/core/Error.h"

class QTabWidget;

namespace orlo {
class Locale;
class MessageBoxService;
}  // namespace orlo

namespace orlo::host {
class Inspector;
class Item;
}  // namespace orlo::host

namespace orlo::desk {

class FormPageWidget;

class InspectorWindow : public QMainWindow {
public:
    static constexpr char16_t kSaveChangesText[] = u"Do you want to save changes?";
    static constexpr char16_t kDeskTitle[] = u"Orlo Desk";
    static constexpr char16_t kSaveCaption[] = u"&Save";
    static constexpr char16_t kSaveAndCloseCaption[] = u"Save and &Close";
    static constexpr char16_t kDeleteCaption[] = u"&Delete";

    InspectorWindow(std::shared_ptr<host::Inspector> inspector, const Locale& locale,
                    MessageBoxService& messageBoxes, QWidget* parent = nullptr);
    ~InspectorWindow() override;

    const std::shared_ptr<host::Inspector>& inspector() const { return m_inspector; }
    const std::vector<FormPageWidget*>& pages() const { return m_pages; }
    // Brings the form page of that name to the front; false when there is none.
    bool showPage(const QString& name);
    // Re-reads the form and the menus.
    void refresh();

    void save();
    void saveAndClose();
    void deleteItem();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void commit();
    void report(const Error& error);
    void updateTitle();

    std::shared_ptr<host::Inspector> m_inspector;
    std::shared_ptr<host::Item> m_item;
    const Locale& m_locale;
    MessageBoxService& m_messageBoxes;
    QTabWidget* m_tabs = nullptr;
    std::vector<FormPageWidget*> m_pages;
    std::vector<host::Subscription> m_subscriptions;
    bool m_modelClosed = false;
    bool m_closing = false;
};

}  // namespace orlo::desk
