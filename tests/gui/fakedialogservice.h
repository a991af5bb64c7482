#pragma once

#include "platform/dialogservice.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

// Records every message box, beep, file picker and folder picker; answers boxes from a script
// (Yes, then No, ...) and pickers and text questions from scripts of their own. A box asked
// without a scripted answer gets No or Ok; a picker or question without a scripted answer is
// cancelled.
class FakeDialogService final : public DialogService {
public:
    struct Box {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
        QString details; // of a report
    };

    std::deque<Answer> answers;
    QList<Box> boxes;
    // Runs while a box is shown, as another program may act while the author reads it.
    std::function<void()> whileShown;
    int beeps = 0;
    struct Picker {
        QString folder;
        QList<FileFilter> filters;
    };
    std::deque<QString> pickedFiles;
    QList<Picker> pickers;
    std::deque<QString> pickedFolders;
    QStringList folderPickerTitles;
    // Save dialogs as asked: title, suggested path.
    QList<QStringList> savePickers;
    std::deque<QString> savedFiles;
    // Text questions as asked: caption, prompt, starting text.
    QList<QStringList> textQuestions;
    std::deque<std::optional<QString>> textAnswers;

    Answer messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        boxes.append({text, caption, icon, buttons, {}});
        if (whileShown)
            whileShown();
        if (answers.empty())
            return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showReport(const QString& text, const QString& caption, Icon icon,
                    const QString& details) override {
        boxes.append({text, caption, icon, Buttons::Ok, details});
    }
    void beep() override { ++beeps; }
    QString openFileName(const QString& folder, const QList<FileFilter>& filters) override {
        pickers.append({folder, filters});
        if (pickedFiles.empty())
            return {};
        const QString file = pickedFiles.front();
        pickedFiles.pop_front();
        return file;
    }
    QString pickFolder(const QString& title) override {
        folderPickerTitles.append(title);
        if (pickedFolders.empty())
            return {};
        const QString folder = pickedFolders.front();
        pickedFolders.pop_front();
        return folder;
    }
    QString saveFileName(const QString& title, const QString& suggested,
                         const QList<FileFilter>&) override {
        savePickers.append({title, suggested});
        if (savedFiles.empty())
            return {};
        const QString file = savedFiles.front();
        savedFiles.pop_front();
        return file;
    }
    std::optional<QString> askText(const QString& caption, const QString& prompt,
                                   const QString& text) override {
        textQuestions.append({caption, prompt, text});
        if (textAnswers.empty())
            return std::nullopt;
        const std::optional<QString> answer = textAnswers.front();
        textAnswers.pop_front();
        return answer;
    }
};
