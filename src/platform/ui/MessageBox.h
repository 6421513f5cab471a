#pragma once
// Message boxes behind one interface: the desk shell shows real dialogs, tests
// and the automation channel answer from a script and record every box, so
// that titles and texts can be compared byte for byte.

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace orlo {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
// Numbered as the original's answers are.
enum class MsgAnswer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageBoxRequest {
    QString text;
    QString title;  // empty: the application's default title
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;

    bool operator==(const MessageBoxRequest&) const = default;
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;

    // Shows the box and waits for the answer; other events keep flowing.
    MsgAnswer show(const MessageBoxRequest& request);
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title);

    // The title a box gets when the caller gives none.
    static QString defaultTitle() { return QStringLiteral("Orlo"); }

protected:
    // Receives the request with its title already filled in.
    virtual MsgAnswer present(const MessageBoxRequest& request) = 0;
};

// The answer a box gets when no scripted answer is waiting: the first button.
MsgAnswer defaultAnswer(MsgButtons buttons);

// Answers boxes from a queue and records every box shown. `whileShown`, when
// set, runs while each box is up (after it is recorded, before it is
// answered): the moment a user would look at it, or another workstation
// would carry on.
class ScriptedMessageBoxes final : public MessageBoxService {
public:
    void queueAnswer(MsgAnswer answer) { m_answers.push_back(answer); }
    const std::vector<MessageBoxRequest>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }
    void setWhileShown(std::function<void(const MessageBoxRequest&)> action) {
        m_whileShown = std::move(action);
    }

protected:
    MsgAnswer present(const MessageBoxRequest& request) override;

private:
    std::deque<MsgAnswer> m_answers;
    std::vector<MessageBoxRequest> m_shown;
    std::function<void(const MessageBoxRequest&)> m_whileShown;
};

}  // namespace orlo
