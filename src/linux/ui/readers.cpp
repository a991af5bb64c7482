#include "linux/ui/readers.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr const char* onlyForSight = "qubrixOnlyForSight";

class SightOnly final : public QAccessibleWidget {
public:
    explicit SightOnly(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* sightOnlyFactory(const QString&, QObject* object) {
    if (object && object->isWidgetType() && object->property(onlyForSight).toBool())
        return new SightOnly(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void showOnlyToSight(QWidget* widget) {
    // Installed factories are asked before the built-in ones, the last installed first.
    static const bool installed = [] {
        QAccessible::installFactory(sightOnlyFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(onlyForSight, true);
    widget->setFocusPolicy(Qt::NoFocus);
}

void nameAfterHint(QWidget* control) {
    control->setAccessibleName(control->toolTip());
}
