// Built only by the layering test: the core must not be able to reach Qt.
#include <QString>

int coreReachedQt() {
    return QString().size();
}
