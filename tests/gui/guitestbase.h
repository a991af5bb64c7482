#pragma once

#include "fakecopyservice.h"
#include "fakedesktopservice.h"
#include "fakedialogservice.h"
#include "fakefileservice.h"
#include "fakeprocessservice.h"
#include "linux/app/appwindows.h"
#include "modalanswer.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

class QListWidget;

// The texts of a list's rows, top to bottom.
QStringList rowsOf(const QListWidget* list);

// The base of the window tests. Each test gets a fresh temporary disc (the current directory
// and the mount point), fresh fake services, and the windows made as the program makes them.
// The test drives them the way a user does: commands only when visible and enabled, list rows
// pressed through the list's viewport, modal dialogs answered by pressing their buttons.
// A test that leaves a top-level window behind fails.
class GuiTestBase : public QObject {
    Q_OBJECT

protected:
    QString discPath() const;
    QString onDisc(const QString& relative) const;
    void writeOnDisc(const QString& relative, const QByteArray& bytes, bool executable = false);
    // The file's bytes, or "<missing>".
    QByteArray readFromDisc(const QString& relative) const;
    // A file of the example catalogue that the core tests load as well.
    static QByteArray exampleFile(const QString& name);

    FakeDialogService& dialogs() { return m_fakes->dialogs; }
    FakeFileService& files() { return m_fakes->files; }
    FakeDesktopService& desktop() { return m_fakes->desktop; }
    FakeProcessService& processes() { return m_fakes->processes; }
    FakeCopyService& copying() { return m_fakes->copy; }
    Services services();

    // Makes the windows through createWindows and shows the main window, as the program does.
    // False when the start ended because the catalogue could not be read. A test may hand
    // services of its own, such as a real service in place of one fake.
    bool createWindows();
    bool createWindows(const Services& services);
    // Destroys the windows of the run; createWindows may start a new one.
    void closeWindows();
    TfrmMain& mainWindow();
    AppWindows& windows();
    // The main window's control, menu or command of that object name.
    template <typename Control> Control* control(const char* name) {
        auto* found = mainWindow().findChild<Control*>(name);
        if (!found)
            qFatal("the main window has no control %s", name);
        return found;
    }

    // Fires the action or button of that object name in any window, after checking that the
    // user could reach it: visible and enabled, in menus that are visible and enabled.
    void trigger(const char* name);
    // Whether the user could fire the action or button of that object name.
    bool canReach(const char* name);
    // Presses on a row through the list's viewport, so the list's own press, selection and
    // double-click handling run.
    void clickRow(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = {});
    void doubleClickRow(QListWidget* list, int row);
    // Once the next modal dialog shows, hands it to inspect and then presses its button with
    // that caption (access key marks ignored), or the picture button with that hint. The test
    // fails if no such dialog shows.
    void answerNextModal(const QString& buttonCaption, std::function<void(QWidget*)> inspect = {});

protected slots:
    void init();
    void cleanup();

private:
    struct Fakes {
        FakeDialogService dialogs;
        FakeFileService files;
        FakeDesktopService desktop;
        FakeProcessService processes;
        FakeCopyService copy;
    };
    QString leftBehind();

    std::unique_ptr<QTemporaryDir> m_disc;
    std::unique_ptr<Fakes> m_fakes;
    std::optional<AppWindows> m_windows;
    std::unique_ptr<ModalAnswer> m_modalAnswer;
};
