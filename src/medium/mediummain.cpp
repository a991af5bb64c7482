// qubrix-medium: makes an author's staging folder ready to be mastered, from the Qubrix that
// lies beside it, and masters it into a disc image.
#include "medium/disccheck.h"
#include "medium/imagewriter.h"
#include "medium/mediumpreparer.h"
#include "platform/linuxfileservice.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

constexpr char kUsage[] =
    "usage: qubrix-medium prepare FOLDER\n"
    "       qubrix-medium image FOLDER OUTPUT.iso [--label LABEL] [--no-verify]\n"
    "       qubrix-medium --help | --version\n"
    "FOLDER is the disc's folder: it holds qubrix.dat, and its contents become the top of\n"
    "the disc. Both commands first list the listings whose file the disc would not find and\n"
    "what the end user could not read.\n"
    "prepare puts autorun.sh and the program folder .qubrix, which holds Qubrix and what it\n"
    "needs beyond a Linux desktop, at the top of FOLDER, once it has checked that FOLDER has\n"
    "the room for them.\n"
    "image checks every name in FOLDER, masters it into an ISO 9660 image with Rock Ridge and\n"
    "Joliet, labelled LABEL (by default the medium's label when FOLDER is its top, else the\n"
    "folder's name), and reads the image back to compare it with FOLDER unless --no-verify is\n"
    "given.\n";

std::atomic<bool> g_interrupted{false};

void interrupt(int) {
    g_interrupted.store(true);
}

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int prepare(const QString& folder) {
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    LinuxFileService files;
    std::fputs(
        qubrix::issueListText(qubrix::checkStagingFolder(QFile::encodeName(folder).toStdString()))
            .c_str(),
        stderr);
    MediumPreparer preparer(Installation::running(), {}, &g_interrupted);
    const PrepareReport report = preparer.prepare(folder, files);
    std::fprintf(report.ok() ? stdout : stderr, "%s\n", qPrintable(report.text));
    if (report.outcome == PrepareOutcome::Canceled)
        return 130;
    return report.ok() ? 0 : 1;
}

// Shows on a terminal how far the image has come, on one line that each report overwrites.
class TerminalProgress {
public:
    void operator()(qubrix::ImagePhase phase, std::uint64_t done, std::uint64_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (phase != m_phase) {
            m_phase = phase;
            m_start = now;
            std::fputc('\n', stderr);
        }
        if (done < total && now - m_shown < std::chrono::milliseconds(200))
            return;
        m_shown = now;
        const double seconds = std::chrono::duration<double>(now - m_start).count();
        std::fprintf(stderr, "\r%s: %s\033[K",
                     phase == qubrix::ImagePhase::Writing ? "Writing" : "Reading back",
                     qubrix::imageProgressText(done, total, seconds).c_str());
    }

    void end() const { std::fputc('\n', stderr); }

private:
    qubrix::ImagePhase m_phase = qubrix::ImagePhase::Writing;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_shown{};
};

int image(QStringList arguments) {
    QString label;
    bool verify = true;
    if (const int at = arguments.indexOf("--no-verify"); at >= 0) {
        verify = false;
        arguments.removeAt(at);
    }
    if (const int at = arguments.indexOf("--label"); at >= 0) {
        if (at + 1 >= arguments.size())
            return usage();
        label = arguments[at + 1];
        arguments.remove(at, 2);
    }
    if (arguments.size() != 2 || arguments[0].startsWith("--") || arguments[1].startsWith("--"))
        return usage();
    qubrix::ImagePlan plan = qubrix::planImage(arguments[0].toStdString(),
                                               arguments[1].toStdString(), label.toStdString());
    if (plan.refusal) {
        std::fprintf(stderr, "%s\n", plan.refusal->c_str());
        return 1;
    }
    qubrix::appendIssues(plan.issues, qubrix::checkDiscBeforeImage(plan.folder));
    std::fputs(qubrix::issueListText(plan.issues).c_str(), stderr);
    if (qubrix::hasErrors(plan.issues)) {
        std::fputs("The image was not made: mend the errors above first.\n", stderr);
        return 1;
    }
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    TerminalProgress progress;
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const qubrix::ImageResult result = qubrix::makeImage(
        plan, verify,
        terminal ? qubrix::ImageProgress(std::ref(progress)) : qubrix::ImageProgress(),
        g_interrupted);
    if (terminal)
        progress.end();
    const bool written = result.outcome == qubrix::ImageOutcome::Written;
    std::fprintf(written ? stdout : stderr, "%s\n", result.text.c_str());
    if (result.outcome == qubrix::ImageOutcome::Canceled)
        return 130;
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments();
    if (arguments.size() == 2 && (arguments[1] == "--help" || arguments[1] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.size() == 2 && arguments[1] == "--version") {
        std::puts("qubrix-medium (Qubrix) " QUBRIX_MEDIUM_VERSION);
        return 0;
    }
    // A FOLDER that looks like an option is more likely a mistyped one.
    if (arguments.size() == 3 && arguments[1] == "prepare" && !arguments[2].startsWith('-'))
        return prepare(arguments[2]);
    if (arguments.size() >= 4 && arguments[1] == "image")
        return image(arguments.mid(2));
    return usage();
}
