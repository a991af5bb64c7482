#include "core/window/windowlogic.h"

#include "core/actions/copyplan.h"
#include "core/window/product.h"

namespace qubrix {

// Behind "Run...", ToolInstall and "R&un": the sound plays on every invocation, even when a
// program started earlier still runs or nothing is selected.
void WindowLogic::cmdInstallClick() {
    m_user.playSound();
    if (m_programRunning)
        return;
    const int row = m_currentRow;
    if (!isListingRow(row))
        return;
    const LaunchPlan plan = m_system.planLaunch(storedPathOfRow(std::size_t(row)));
    if (plan.leavesMedium) {
        m_user.tell("This path leads outside the medium and is not used:\n" + plan.line, "Error");
        return;
    }
    // Windows has nothing to run a shell script with: say so rather than let the shell call
    // its name invalid.
    if (plan.linuxOnly) {
        m_user.tell("This listing runs on Linux only:\n" + plan.line, "Error");
        return;
    }
    if (m_user.ask(plan.line, "Confirm installation", UserPort::Icon::Warning,
                   UserPort::Buttons::YesNo) != UserPort::Answer::Yes)
        return;
    if (plan.kind == LaunchKind::Document) {
        // A desktop without a program for the document says nothing itself.
        if (!m_system.openDocument(plan))
            m_user.tell("Cannot open " + plan.document +
                            ".\nThere is no program on this computer that opens this kind of file.",
                        "Error");
        return;
    }
    // While the program runs the window waits minimised, and every command but Run stays
    // usable in it.
    const bool started = m_system.runAndWait(plan, [this] {
        m_programRunning = true;
        if (m_view)
            m_view->programStarted();
    });
    if (!started) {
        m_user.tell("Error loading file!", "Error");
        return;
    }
    m_programRunning = false;
    if (m_view)
        m_view->programEnded();
}

// Copy copies each selected listing's file, Copy Folder the folder of the one selected
// listing, into a folder the user picks.
void WindowLogic::copySelection(bool folderMode) {
    std::vector<int> rows;
    for (const int row : m_selectedRows)
        if (isListingRow(row))
            rows.push_back(row);
    if (rows.empty())
        return;
    const std::optional<std::string> picked = m_user.pickFolder(productName);
    if (!picked || picked->empty())
        return;
    if (folderMode)
        m_user.beep();
    std::vector<std::string> storedPaths;
    for (const int row : rows) {
        if (folderMode && !wholeDiscAgreed(row)) {
            m_user.tell("Copy cancelled!", "Copy Folder", UserPort::Icon::Warning);
            return;
        }
        storedPaths.push_back(storedPathOfRow(std::size_t(row)));
    }
    // The first listing tells where the disc's paths start; a listing read from elsewhere is
    // reported as not found by the copy.
    const CopyPlan plan = planCopy(m_system.storedPathRoot(storedPaths.front()), storedPaths,
                                   folderMode ? CopyMode::Folder : CopyMode::File, *picked);
    if (!plan.error.empty()) {
        m_user.tell(plan.error, "Error");
        return;
    }
    m_system.copy(plan);
}

// A folder copy of a listing in the root of the disc copies the whole disc: only after a Yes,
// asked without beep or icon.
bool WindowLogic::wholeDiscAgreed(int row) {
    return !namesWholeMedium(storedPathOfRow(std::size_t(row))) ||
           m_user.askQuietly("This will copy the entire CD, continue?", "Warning",
                             UserPort::Icon::None,
                             UserPort::Buttons::YesNo) == UserPort::Answer::Yes;
}

} // namespace qubrix
