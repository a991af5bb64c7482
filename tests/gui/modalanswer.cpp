#include "modalanswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>

namespace {

constexpr int giveUpMs = 5000;

QAbstractButton* buttonCaptioned(QWidget* dialog, const QString& caption) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        // A picture button without caption is known by its hint.
        const QString text = QString(button->text()).remove('&');
        const bool named = text == caption || (text.isEmpty() && button->toolTip() == caption);
        if (named && button->isVisible() && button->isEnabled())
            return button;
    }
    return nullptr;
}

} // namespace

ModalAnswer::ModalAnswer(QString buttonCaption, std::function<void(QWidget*)> inspect)
    : m_buttonCaption(std::move(buttonCaption)), m_inspect(std::move(inspect)) {
    m_watch.setInterval(10);
    connect(&m_watch, &QTimer::timeout, this, &ModalAnswer::look);
    m_waited.start();
    m_watch.start();
}

void ModalAnswer::look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
        m_watch.stop();
        m_pending = false;
        answer(modal);
    } else if (m_waited.elapsed() > giveUpMs) {
        m_watch.stop();
    }
}

void ModalAnswer::answer(QWidget* modal) {
    if (m_inspect)
        m_inspect(modal);
    if (QAbstractButton* button = buttonCaptioned(modal, m_buttonCaption)) {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        if (!modal->isVisible())
            return;
    }
    QTest::qFail(qPrintable(QString("cannot answer %1 \"%2\" with \"%3\"")
                                .arg(modal->metaObject()->className(), modal->objectName(),
                                     m_buttonCaption)),
                 __FILE__, __LINE__);
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}
