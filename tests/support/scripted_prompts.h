#pragma once
// Prompts for tests: answers are queued in advance, and everything that
// would have been shown is recorded. An unexpected question or file dialog
// fails the test instead of blocking.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "model/prompts.h"

namespace velmorin::testing {

class ScriptedPrompts : public Prompts {
public:
    struct Question {
        std::string text;
        std::string caption;
    };

    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<bool> actionAnswers;

    std::vector<std::string> messages;  // the main texts, in order
    std::vector<std::string> details;   // the detail line of each message ("" for none)
    std::vector<Question> questions;
    std::vector<FileDialogRequest> fileRequests;
    // The messages among `messages` that reported a success (information icon).
    std::vector<std::string> informations;
    struct Offer {
        std::string text;
        std::string action;
        std::string caption;
    };
    std::vector<Offer> offers;
    // The listing shown with each failure that came with one.
    std::vector<std::string> listings;

    void ShowMessage(const std::string& text, const std::string& /*caption*/) override {
        messages.push_back(text);
        details.emplace_back();
    }

    void ShowInformation(const std::string& text, const std::string& caption = {}) override {
        ShowMessage(text, caption);
        informations.push_back(text);
    }

    void ShowFailure(const Result& failure) override {
        messages.push_back(failure.message);
        details.push_back(failure.detail);
    }

    bool AskYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption});
        if (yesNoAnswers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return false;
        }
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }

    bool OfferAction(const std::string& text, const std::string& action, const std::string& caption) override {
        offers.push_back({text, action, caption});
        if (actionAnswers.empty()) {
            ADD_FAILURE() << "unexpected offer: " << action;
            return false;
        }
        const bool answer = actionAnswers.front();
        actionAnswers.pop_front();
        return answer;
    }

    void ShowListing(const Result& failure, const std::string& listing) override {
        ShowFailure(failure);
        listings.push_back(listing);
    }

    std::optional<std::string> AskFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog: " << request.title;
            return std::nullopt;
        }
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    bool AllAnswersUsed() const { return yesNoAnswers.empty() && fileAnswers.empty() && actionAnswers.empty(); }
};

}  // namespace velmorin::testing
