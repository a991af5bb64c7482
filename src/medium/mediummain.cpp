// qubrix-medium: makes an author's staging folder ready to be mastered, from the Qubrix that
// lies beside it.
#include "medium/mediumpreparer.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3 || arguments[1] != "prepare") {
        std::fputs(
            "usage: qubrix-medium prepare FOLDER\n"
            "Puts autorun.sh and the program folder .qubrix, which holds Qubrix and what it\n"
            "needs beyond a Linux desktop, at the top of FOLDER, which holds qubrix.dat.\n",
            stderr);
        return 2;
    }
    MediumPreparer preparer(Installation::around(QCoreApplication::applicationDirPath()));
    const PrepareReport report = preparer.prepare(arguments[2]);
    std::fprintf(report.ok ? stdout : stderr, "%s\n", qPrintable(report.text));
    return report.ok ? 0 : 1;
}
