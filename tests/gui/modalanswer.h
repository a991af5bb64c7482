#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the next modal dialog once it shows, the way a user would: hands it to inspect, then
// presses its button with that caption (access key marks ignored; a button without caption
// goes by its hint). A dialog without such a
// button fails the test and is closed, so the test does not hang in it. The wait gives up
// after five seconds; pending() then stays true.
class ModalAnswer final : public QObject {
public:
    explicit ModalAnswer(QString buttonCaption, std::function<void(QWidget*)> inspect = {});

    bool pending() const { return m_pending; }

private:
    void look();
    void answer(QWidget* modal);

    QString m_buttonCaption;
    std::function<void(QWidget*)> m_inspect;
    QTimer m_watch;
    QElapsedTimer m_waited;
    bool m_pending = true;
};
