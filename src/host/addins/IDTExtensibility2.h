#pragma once
// IDTExtensibility2: the interface through which the desk shell connects an
// add-in library and tells it about the shell's life. The shell calls, on
// its one UI thread:
//
//   OnConnection       once the library is loaded (at start-up, after the
//                      main window opened, or later from the add-in list);
//   OnAddInsUpdate     whenever another add-in was connected or removed;
//   OnStartupComplete  when every start-up add-in is connected;
//   OnBeginShutdown    when the shell starts closing;
//   OnDisconnection    last: RemoveMode::HostShutdown when the shell closes,
//                      RemoveMode::UserClosed when the user removed the
//                      add-in from the add-in list.
//
// An add-in library exports one C function, orlo_create_addin, which makes
// the add-in object for a ProgId; the shell owns the object it returns and
// deletes it after OnDisconnection. The shell and the library must be built
// from the same sources: the interface is C++, not a binary standard.

#include <QString>
#include <memory>
#include <vector>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo::host {

class Application;

// Numbered as the extensibility interface numbers them.
enum class ConnectMode { AfterStartup = 0, Startup = 1, External = 2, CommandLine = 3 };
enum class RemoveMode { HostShutdown = 0, UserClosed = 1 };

// What the shell knows about the add-in it connects (the add-in's entry in
// the add-in list).
struct AddInInst {
    QString ProgId;
    QString Description;
    // The library the add-in was loaded from.
    QString libraryPath;
};

// The "custom" array of every call; the shell passes it empty.
using CustomArgs = std::vector<Variant>;

// "Object doesn't support this property or method": a method the add-in
// does not offer to outside callers.
inline constexpr long kMethodNotSupported = 438;

class IDTExtensibility2 {
public:
    virtual ~IDTExtensibility2() = default;

    // An error tells the shell the add-in could not start; the shell shows
    // it and goes on without the add-in.
    virtual Status OnConnection(const std::shared_ptr<Application>& application,
                                ConnectMode connectMode, const AddInInst& addInInst,
                                CustomArgs& custom) = 0;
    virtual void OnDisconnection(RemoveMode removeMode, CustomArgs& custom) = 0;
    virtual void OnAddInsUpdate(CustomArgs& custom) = 0;
    virtual void OnStartupComplete(CustomArgs& custom) = 0;
    virtual void OnBeginShutdown(CustomArgs& custom) = 0;

    // The add-in's methods for other programs (what they reach through the
    // add-in's automation object), by name without regard to case. An
    // add-in that offers none keeps this default.
    virtual Result<Variant> CallMethod(const QString& name, const std::vector<Variant>& args) {
        (void)args;
        return Error{kMethodNotSupported,
                     QStringLiteral("Object doesn't support this property or method: ") + name,
                     {}};
    }
};

// The factory every add-in library exports under this name:
//   extern "C" orlo::host::IDTExtensibility2* orlo_create_addin(const char* progId);
// progId is UTF-8; the result is null when the library has no add-in of
// that ProgId.
inline constexpr char kCreateAddinSymbol[] = "orlo_create_addin";
using CreateAddinFunction = IDTExtensibility2* (*)(const char* progId);

}  // namespace orlo::host
