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
    QString openFileName(QWidget*, const QString&, const QString&) override { return next(); }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return next(); }

    std::vector<Message> messages;
    std::deque<QString> fileAnswers;

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
