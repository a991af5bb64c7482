#pragma once

#include "platform/dialogservice.h"
#include "core/window/product.h"

#include <QString>

// Errors that the program does not expect to meet are shown the way the toolkit shows an
// escaped error: the application title as caption, the error icon and OK.
inline void showError(DialogService& dialogs, const QString& text) {
    dialogs.messageBox(text, applicationTitle, DialogService::Icon::Error,
                       DialogService::Buttons::Ok);
}
