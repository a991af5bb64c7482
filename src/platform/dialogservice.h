#pragma once

#include <QString>

// Message boxes and the default beep.
class DialogService {
public:
    enum class Icon { None, Information, Warning, Error };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~DialogService() = default;

    // A message box without owner window, its text shown as plain text (stands in for
    // MessageBoxA).
    virtual Answer messageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) = 0;
    // The default beep (stands in for MessageBeep).
    virtual void beep() = 0;
};
