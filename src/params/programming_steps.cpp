#include "params/programming_steps.h"

#include <QFont>

#include "params/resolution.h"

namespace orvo::params {

namespace {

bool digitsOnly(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

}  // namespace

void showModeInForce(QToolButton* button, bool inForce) {
    QFont font = button->font();
    font.setBold(inForce);
    button->setFont(font);
}

ProgrammingSteps::ProgrammingSteps(pages::PageContext& context, ResolutionWrites& writes)
    : context_(context), procedures_(context.procedures), writes_(writes) {}

void ProgrammingSteps::applyProgrammingMode() {
    // Whether the mode was written and stored is not shown: the read-backs below show what the
    // encoder holds now.
    if (procedures_.WriteConfiguration()) {
        procedures_.SaveParameters();
    }
    if (!procedures_.RefreshConfiguration()) {
        procedures_.RefreshConfiguration();
    }
    procedures_.ReadScalingResolution();
    if (!procedures_.RefreshInterface().ok) {
        procedures_.RefreshInterface();
    }
    clearProgrammingError();
}

void ProgrammingSteps::startTeaching(widgets::BitBtn* start, widgets::BitBtn* stop) {
    start->setGlyph(widgets::Glyph::None);
    stop->setGlyph(widgets::Glyph::None);
    const bool started = writes_.startTeaching().ok();
    start->setGlyph(started ? widgets::Glyph::Success : widgets::Glyph::Failure);
    stop->setEnabled(started);
    clearProgrammingError();
}

TeachStop ProgrammingSteps::stopTeaching() {
    const TeachStop answer = writes_.stopTeaching();
    if (answer.taken()) {
        clearProgrammingError();
    }
    return answer;
}

bool ProgrammingSteps::storeTaughtStroke(bool taken, widgets::BitBtn* stop) {
    const bool ok = taken && writes_.store().ok();
    stop->setGlyph(ok ? widgets::Glyph::Success : widgets::Glyph::Failure);
    return ok;
}

std::optional<std::uint64_t> ProgrammingSteps::readEntry(const QLineEdit* edit,
                                                         std::uint64_t largest,
                                                         std::string_view tooLargeKey) {
    const QString text = edit->text();
    const auto value = resolution::parseCount(text.toStdString(), largest);
    if (!value && digitsOnly(text)) {
        // A number beyond what the device can take at all is as much too high as any value
        // above its own maximum, and says so the same way.
        refuse(tooLargeKey);
    }
    return value;
}

void ProgrammingSteps::clearProgrammingError() {
    emit context_.requests.programmingErrorCleared();
}

void ProgrammingSteps::showProgrammingError(std::string_view key) {
    emit context_.requests.programmingError(context_.catalogue.text(key));
}

void ProgrammingSteps::refuse(std::string_view key) {
    context_.dialogs.message(context_.window, platform::Dialogs::Kind::Error,
                             context_.catalogue.text("TxtAppTitle"), context_.catalogue.text(key));
}

void ProgrammingSteps::warn(std::string_view key) {
    context_.dialogs.message(context_.window, platform::Dialogs::Kind::Warning,
                             context_.catalogue.text("TxtAppTitle"), context_.catalogue.text(key));
}

}  // namespace orvo::params
