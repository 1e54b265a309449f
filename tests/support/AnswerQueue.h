#pragma once
// The answers a test has prepared for the questions it expects, oldest
// first. A question asked with none left fails the test and is refused, so
// no test can ever wait on a person; answers never asked for fail it too.

#include <gtest/gtest.h>

#include <deque>
#include <string>

template <class Answer>
class AnswerQueue {
public:
    explicit AnswerQueue(Answer refusal) : refusal(refusal) {}
    ~AnswerQueue() { EXPECT_TRUE(answers.empty()) << answers.size() << " queued answers were never asked for"; }
    AnswerQueue(const AnswerQueue&) = delete;
    AnswerQueue& operator=(const AnswerQueue&) = delete;

    void Push(Answer answer) { answers.push_back(answer); }
    Answer Next(const std::string& question) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << question;
            return refusal;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

private:
    std::deque<Answer> answers;
    const Answer refusal;
};
