#pragma once
// Inspector: the window of one item. It shows the item's custom form (its
// modified form pages and their controls) and has its own command bars.
// An item has one inspector for its lifetime: GetInspector makes it without
// showing it; Display shows it, which puts it in the application's
// Inspectors and raises NewInspector.

#include <QString>
#include <memory>
#include <vector>

#include "host/Item.h"
#include "host/events/Event.h"
#include "host/forms/FormControl.h"
#include "platform/core/Result.h"

namespace orlo::host {

class CommandBars;
class FormPage;
class Inspectors;

class Inspector : public std::enable_shared_from_this<Inspector> {
public:
    struct Events {
        // The window is closing; it still counts among the Inspectors.
        Event<> Close;
    };
    Events events;

    explicit Inspector(const std::shared_ptr<Item>& item);

    std::shared_ptr<Item> CurrentItem() const { return m_item.lock(); }
    // A page of the item's form; error 40006 when the form has none.
    Result<std::shared_ptr<FormPage>> ModifiedFormPages(const QString& name) const;
    std::vector<std::shared_ptr<FormPage>> formPages() const;
    // ModifiedFormPages(page).Controls(control) in one step.
    Result<std::shared_ptr<FormControl>> formControl(const QString& page,
                                                     const QString& control) const;
    std::shared_ptr<::orlo::host::CommandBars> CommandBars() const { return m_commandBars; }
    // The window's title, by the title rule of the item's form: "Okafor,
    // Grace - Patient", "Untitled - Appointment".
    QString Caption() const;

    // Closes the item's window: the item's Close, then the inspector's.
    Status Close(SaveMode mode);
    void Activate();
    bool isDisplayed() const { return !m_owner.expired(); }

    // The application's Inspectors calls these.
    // While shown, the window keeps its item alive.
    void setOwner(std::weak_ptr<Inspectors> owner);
    // The application went away with the window open: let go of the item.
    void releaseItem() { m_shownItem.reset(); }
    // Raises Close and leaves the Inspectors, without the item's Close event.
    void closeWindow();

private:
    std::weak_ptr<Item> m_item;
    std::shared_ptr<Item> m_shownItem;
    std::shared_ptr<::orlo::host::CommandBars> m_commandBars;
    std::weak_ptr<Inspectors> m_owner;
};

}  // namespace orlo::host
