#pragma once
// Stands in for the person in front of a window while a test runs: message
// boxes are answered from a queue and recorded with their owners, the folder
// chooser returns a prepared answer, and web addresses are recorded instead
// of opened. A question with no answer queued fails the test and is answered
// No, so no test can ever wait on a real box. On leaving, the functions that
// were in place before are put back.
//
// A front-end names its owner type, its Prompt answers and buttons, and the
// Replace functions of its prompt, folder chooser and web opener.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/AnswerQueue.h"

template <class Owner, class Answer, class Buttons, auto ReplacePrompt, auto ReplaceChooser, auto ReplaceOpener>
class ScriptedPromptsFor {
public:
    ScriptedPromptsFor() {
        restore = {
            Swap(ReplacePrompt, [this](Owner owner, const std::string& text, Buttons buttons) {
                owners.push_back(owner);
                shown.push_back(text);
                return buttons == Buttons::Ok ? Answer::Ok : answers.Next(text);
            }),
            Swap(ReplaceChooser, [this](Owner, const std::string& title) {
                chooserTitles.push_back(title);
                return folder;
            }),
            // Either toolkit's opener: with or without the owner before the address.
            Swap(ReplaceOpener, [this](const auto&... ownerAndAddress) { Opened(ownerAndAddress...); }),
        };
    }
    ~ScriptedPromptsFor() {
        for (const auto& putBack : restore) putBack();
    }
    ScriptedPromptsFor(const ScriptedPromptsFor&) = delete;
    ScriptedPromptsFor& operator=(const ScriptedPromptsFor&) = delete;

    // The answer to the next Yes/No question.
    void AnswerNext(Answer answer) { answers.Push(answer); }
    // Texts of the boxes shown since the last call, oldest first.
    std::vector<std::string> TakeShown() { return std::exchange(shown, {}); }

    std::vector<std::string> shown;
    std::vector<Owner> owners;
    std::optional<std::string> folder;  // what the folder chooser returns
    std::vector<std::string> chooserTitles;
    std::vector<std::string> opened;

private:
    // Puts `standIn` in place through `replace`; the call returned puts the previous one back.
    template <class Function, class StandIn>
    static std::function<void()> Swap(Function (*replace)(Function), StandIn standIn) {
        return [replace, previous = replace(Function(std::move(standIn)))] { replace(previous); };
    }
    void Opened(const std::string& address) { opened.push_back(address); }
    void Opened(Owner, const std::string& address) { Opened(address); }

    AnswerQueue<Answer> answers{Answer::No};
    std::vector<std::function<void()>> restore;
};
