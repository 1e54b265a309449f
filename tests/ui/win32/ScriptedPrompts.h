#pragma once
// Stands in for the person in front of the Win32 window while a test runs:
// message boxes are answered from a queue and recorded, the folder browser
// returns a prepared answer, and web addresses are recorded instead of
// opened. A question with no answer queued fails the test and is answered
// No, so no test can ever wait on a real box.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/AnswerQueue.h"
#include "ui/win32/FolderChooser.h"
#include "ui/win32/Prompt.h"
#include "ui/win32/UrlOpener.h"

class ScriptedPrompts {
public:
    ScriptedPrompts() {
        previousPrompt = Prompt::Replace([this](HWND owner, const std::string& text, Prompt::Buttons buttons) {
            owners.push_back(owner);
            return Answer(text, buttons);
        });
        previousChooser = FolderChooser::Replace([this](HWND, const std::string& title) {
            chooserTitles.push_back(title);
            return folder;
        });
        previousOpener = UrlOpener::Replace([this](HWND, const std::string& address) { opened.push_back(address); });
    }
    ~ScriptedPrompts() {
        Prompt::Replace(previousPrompt);
        FolderChooser::Replace(previousChooser);
        UrlOpener::Replace(previousOpener);
    }
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // The answer to the next Yes/No question.
    void AnswerNext(Prompt::Answer answer) { answers.Push(answer); }
    // Texts of the boxes shown since the last call, oldest first.
    std::vector<std::string> TakeShown() { return std::exchange(shown, {}); }

    std::vector<std::string> shown;
    std::vector<HWND> owners;
    std::optional<std::string> folder;  // what the folder browser returns
    std::vector<std::string> chooserTitles;
    std::vector<std::string> opened;

private:
    Prompt::Answer Answer(const std::string& text, Prompt::Buttons buttons) {
        shown.push_back(text);
        return buttons == Prompt::Buttons::Ok ? Prompt::Answer::Ok : answers.Next(text);
    }

    AnswerQueue<Prompt::Answer> answers{Prompt::Answer::No};
    Prompt::Function previousPrompt;
    FolderChooser::Function previousChooser;
    UrlOpener::Function previousOpener;
};
