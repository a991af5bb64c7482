#include "guitestbase.h"
#include "testfiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTest>

namespace {

QString nameOf(const QObject* object) {
    return QString("%1 \"%2\"").arg(object->metaObject()->className(), object->objectName());
}

// Why the user cannot reach the action, or empty when they can.
QString whyUnreachable(const QAction* action) {
    if (!action->isVisible())
        return nameOf(action) + " is hidden";
    if (!action->isEnabled())
        return nameOf(action) + " is disabled";
    for (const QObject* holder : action->associatedObjects()) {
        const auto* menu = qobject_cast<const QMenu*>(holder);
        if (menu && !menu->menuAction()->associatedObjects().isEmpty())
            return whyUnreachable(menu->menuAction());
    }
    return {};
}

QString whyUnreachable(const QWidget* widget) {
    if (!widget->isVisible())
        return nameOf(widget) + " is not visible";
    if (!widget->isEnabled())
        return nameOf(widget) + " is disabled";
    return {};
}

// Windows may share control names (several dialogs have a cmdOK): a shown window's is taken
// first.
template <typename Object> Object* findInWindows(const char* name) {
    Object* hidden = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* found = window->findChild<Object*>(name);
        if (found && window->isVisible())
            return found;
        if (found && !hidden)
            hidden = found;
    }
    return hidden;
}

} // namespace

QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

void GuiTestBase::init() {
    m_disc = std::make_unique<QTemporaryDir>();
    QVERIFY(m_disc->isValid());
    m_fakes = std::make_unique<Fakes>();
    m_fakes->files.directory = m_disc->path();
    m_fakes->files.mountPoint = m_disc->path();
}

void GuiTestBase::cleanup() {
    const bool modalPending = m_modalAnswer && m_modalAnswer->pending();
    m_modalAnswer.reset();
    closeWindows();
    const QString left = leftBehind();
    m_fakes.reset();
    m_disc.reset();
    QVERIFY2(!modalPending, "the modal dialog to answer never showed");
    QVERIFY2(left.isEmpty(), qPrintable("windows left behind: " + left));
}

// Lists and destroys the top-level windows that outlived the run, so the next test starts
// clean.
QString GuiTestBase::leftBehind() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList names;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        names.append(nameOf(window));
        delete window;
    }
    return names.join(", ");
}

QString GuiTestBase::discPath() const {
    return m_disc->path();
}

QString GuiTestBase::onDisc(const QString& relative) const {
    return m_disc->filePath(relative);
}

void GuiTestBase::writeOnDisc(const QString& relative, const QByteArray& bytes, bool executable) {
    writeFile(onDisc(relative), bytes, executable);
}

QByteArray GuiTestBase::readFromDisc(const QString& relative) const {
    return readAll(onDisc(relative));
}

QByteArray GuiTestBase::exampleFile(const QString& name) {
    return readAll(QUBRIX_TEST_DATA "/setup-readme-viewer/" + name);
}

Services GuiTestBase::services() {
    return {m_fakes->dialogs, m_fakes->files, m_fakes->desktop, m_fakes->processes, m_fakes->copy};
}

bool GuiTestBase::createWindows() {
    return createWindows(services());
}

bool GuiTestBase::createWindows(const Services& services) {
    closeWindows();
    m_windows = ::createWindows(services);
    if (!m_windows)
        return false;
    m_windows->frmMain->show();
    return QTest::qWaitForWindowExposed(m_windows->frmMain.get());
}

void GuiTestBase::closeWindows() {
    m_windows.reset();
}

AppWindows& GuiTestBase::windows() {
    if (!m_windows)
        qFatal("the test made no windows");
    return *m_windows;
}

TfrmMain& GuiTestBase::mainWindow() {
    return *windows().frmMain;
}

void GuiTestBase::trigger(const char* name) {
    if (auto* action = findInWindows<QAction>(name)) {
        const QString why = whyUnreachable(action);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        action->trigger();
        return;
    }
    auto* button = findInWindows<QAbstractButton>(name);
    QVERIFY2(button, qPrintable(QString("no action or button %1").arg(name)));
    const QString why = whyUnreachable(button);
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

bool GuiTestBase::canReach(const char* name) {
    if (const auto* action = findInWindows<QAction>(name))
        return whyUnreachable(action).isEmpty();
    const auto* button = findInWindows<QAbstractButton>(name);
    return button && whyUnreachable(button).isEmpty();
}

void GuiTestBase::clickRow(QListWidget* list, int row, Qt::KeyboardModifiers modifiers) {
    QVERIFY2(list->isVisible(), qPrintable(nameOf(list) + " is not visible"));
    QVERIFY2(row >= 0 && row < list->count(), qPrintable(QString("no row %1").arg(row)));
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
}

void GuiTestBase::doubleClickRow(QListWidget* list, int row) {
    QVERIFY2(list->isVisible(), qPrintable(nameOf(list) + " is not visible"));
    QVERIFY2(row >= 0 && row < list->count(), qPrintable(QString("no row %1").arg(row)));
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void GuiTestBase::answerNextModal(const QString& buttonCaption,
                                  std::function<void(QWidget*)> inspect) {
    QVERIFY2(!m_modalAnswer || !m_modalAnswer->pending(), "a modal dialog is already awaited");
    m_modalAnswer = std::make_unique<ModalAnswer>(buttonCaption, std::move(inspect));
}
