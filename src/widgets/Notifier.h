// How the program tells the user about a failure or asks for a decision.
//
// Every failure the user sees is a default beep followed by a modal
// information box with an OK button; a few commands ask a Yes/No question
// first. Windows and dialogs call these through INotifier, so the program
// shows real message boxes (QtNotifier) and tests record what the user would
// have seen (RecordingNotifier). Texts are CP932.
#pragma once

#include <string>
#include <vector>

namespace tervan {

class INotifier {
public:
    virtual ~INotifier() = default;
    // The platform's default beep.
    virtual void Beep() = 0;
    // A modal information box with one OK button.
    virtual void Information(const std::string& text) = 0;
    // A plain modal box with one OK button: no icon, and no beep before it.
    virtual void Plain(const std::string& text) = 0;
    // A modal Yes/No question; true for Yes.
    virtual bool Confirm(const std::string& text) = 0;
};

// Keeps every beep, box and question in order, and answers questions with
// the next scripted answer (Yes when none is left).
class RecordingNotifier : public INotifier {
public:
    struct Event {
        enum Kind { kBeep, kInformation, kConfirm, kPlain } kind;
        std::string text; // CP932; empty for a beep
    };

    void Beep() override { events.push_back({Event::kBeep, {}}); }
    void Information(const std::string& text) override
    {
        events.push_back({Event::kInformation, text});
    }
    void Plain(const std::string& text) override { events.push_back({Event::kPlain, text}); }
    bool Confirm(const std::string& text) override
    {
        events.push_back({Event::kConfirm, text});
        if (answers.empty())
            return true;
        bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

    // The texts of the information and plain boxes, in order.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const Event& e : events)
            if (e.kind == Event::kInformation || e.kind == Event::kPlain)
                texts.push_back(e.text);
        return texts;
    }
    int BeepCount() const
    {
        int n = 0;
        for (const Event& e : events)
            n += e.kind == Event::kBeep;
        return n;
    }
    void Clear() { events.clear(); }

    std::vector<Event> events;
    std::vector<bool> answers; // scripted answers to Confirm
};

} // namespace tervan
