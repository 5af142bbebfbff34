#pragma once

// Dialogs answered by the test: message boxes are recorded, file dialogs return queued answers
// (an empty answer is a cancel).

#include <QStringList>
#include <deque>
#include <vector>

#include "platform/dialogs.h"

namespace orvo::testing {

class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Message {
        Kind kind;
        QString title;
        QString text;
    };

    void message(QWidget*, Kind kind, const QString& title, const QString& text) override {
        messages.push_back({kind, title, text});
    }
    QString openFileName(QWidget*, const platform::FileDialogSetup& setup) override {
        openSetups.push_back(setup);
        return next();
    }
    QString saveFileName(QWidget*, const platform::FileDialogSetup& setup) override {
        saveSetups.push_back(setup);
        return next();
    }

    std::vector<Message> messages;
    std::deque<QString> fileAnswers;
    // How each file dialog was opened.
    std::vector<platform::FileDialogSetup> openSetups;
    std::vector<platform::FileDialogSetup> saveSetups;

private:
    QString next() {
        if (fileAnswers.empty()) {
            return {};
        }
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};

}  // namespace orvo::testing
