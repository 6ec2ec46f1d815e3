#pragma once

#include <optional>
#include <string>

#include "run_context.h"

// The operations of the setup session that the runner calls at fixed points of a run, in the
// order of the run. Other subsystems supply them by overriding; each default does nothing.
//
// This is the one list of the steps whose subsystems are not built yet: every default below
// does nothing because its owner does not exist so far.
//   ClearComponents, DefinePredefinedComponent   - the component model
//   Bootstrap, PatchMode, ResumeCleanup,
//   RefreshUninstallLink, WriteInstanceData      - instance data and maintenance mode
//   EnsureMedia                                  - media blocks
//   CloseTextFile                                - the text-file read state of Read from Text File
//   HideTrayIcon                                 - the tray icon of the dialog runtime
//   FreeDialogs                                  - the dialog runtime
// Until Bootstrap exists, a run declares none of PRODUCTCODE, REVISIONCODE, UNINSTALLLINK,
// DATADIR, NEEDSUPGRADE, MAINTENANCE and NEWINSTANCE, and the bootstrap data folder stays as
// start-up set it.
class SessionSteps {
  public:
    virtual ~SessionSteps() = default;

    // Prologue, in this order.
    // Empties the component model.
    virtual void ClearComponents(RunContext&) {}
    // Identity, folders, maintenance detection, the Bootstrap variables, the instance data.
    virtual void Bootstrap(RunContext&) {}
    // Defines "ZOND-PREDEF-COMPONENT", selected, as Define Component defines a component.
    virtual void DefinePredefinedComponent(RunContext&) {}
    // The instance data of the installed product, when the patch package exists.
    virtual void PatchMode(RunContext&) {}
    // Removes the resume entries from the Run keys.
    virtual void ResumeCleanup(RunContext&) {}

    // Before every statement: the value of UNINSTALLLINK for these inputs, or nothing to keep
    // the variable as it is. The runner asks again only when the inputs change or a statement
    // may have changed the system (a file, the registry).
    struct UninstallLinkInputs {
        std::string all_users;  // ALLUSERS as read
        std::string title;      // TITLE as read
        bool operator==(const UninstallLinkInputs&) const = default;
    };
    virtual std::optional<std::string> RefreshUninstallLink(RunContext&,
                                                            const UninstallLinkInputs&) {
        return std::nullopt;
    }

    // Makes a statement's media folder present (plug-in libraries in media, layout 2).
    virtual void EnsureMedia(RunContext&, const Statement&) {}

    // End of the run, in this order. Failures of the first two are ignored by the runner.
    virtual void CloseTextFile(RunContext&) {}
    virtual void HideTrayIcon(RunContext&) {}
    virtual void FreeDialogs(RunContext&) {}
    // Writes the instance data (nothing when the product was removed in this run or the
    // persistent-variable list is empty).
    virtual void WriteInstanceData(RunContext&) {}
};
