#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kit/consoleui.h"

namespace talmor::testing {

// Answers in place of the operator and remembers what the console showed.
class FakeUi : public ConsoleUi {
public:
    struct Shown {
        std::string kind; // "information", "error", "question", "warning", "plain", "notice",
                          // "ask"
        QString text;
    };

    void information(QWidget*, const QString& text) override {
        shown.push_back({"information", text});
        if (whileShown) {
            whileShown();
        }
    }
    void error(QWidget*, const QString& text) override { shown.push_back({"error", text}); }
    bool question(QWidget*, const QString& text) override {
        shown.push_back({"question", text});
        return answerYes;
    }
    bool warning(QWidget*, const QString& text) override {
        shown.push_back({"warning", text});
        return answerYes;
    }
    void notice(QWidget*, const QString& text) override { shown.push_back({"notice", text}); }
    // Answers at once, as an operator who chose before anything else arrived; with
    // `holdAnswers`, keeps the question open in `heldAnswers` until the test answers it.
    void ask(QWidget*, const QString& text, std::function<void(bool)> answer) override {
        shown.push_back({"ask", text});
        if (holdAnswers) {
            heldAnswers.push_back(std::move(answer));
            return;
        }
        answer(answerYes);
    }
    bool runLoginDialog(QWidget*, WindowRegistry&, LoginChoice& choice) override {
        ++loginDialogs;
        if (loginAnswers.empty() || !loginAnswers.front()) {
            if (!loginAnswers.empty()) {
                loginAnswers.pop_front();
            }
            return false;
        }
        choice = *loginAnswers.front();
        loginAnswers.pop_front();
        return true;
    }
    bool runMultiPassword(QWidget*, int level, const std::string& expected) override {
        multiPasswordLevels.push_back(level);
        multiPasswordsAsked.push_back(expected);
        return !cancelMultiPassword;
    }
    bool runAgreement(QWidget*, const QUrl& page) override {
        agreementPages.push_back(page);
        return acceptAgreement;
    }
    void plainMessage(const QString& text) override { shown.push_back({"plain", text}); }
    // Answers the file dialogs from `openAnswers` and `saveAnswers` (cancelled when empty).
    QString chooseOpenFile(QWidget*, const QString& filter) override {
        fileFilters.push_back(filter);
        return take(openAnswers);
    }
    QString chooseSaveFile(QWidget*, const QString& proposedName, const QString& filter) override {
        proposedNames.push_back(proposedName);
        fileFilters.push_back(filter);
        return take(saveAnswers);
    }
    // Answers from `saveAnswers`, the filter chosen from `filterAnswers` (the first filter
    // when that is empty).
    QString chooseSaveFileOfType(QWidget*, const QString&, const QString& proposedName,
                                 const QString& filters, QString& chosenFilter) override {
        proposedNames.push_back(proposedName);
        fileFilters.push_back(filters);
        chosenFilter = filterAnswers.empty() ? filters.section(QStringLiteral(";;"), 0, 0)
                                             : take(filterAnswers);
        return take(saveAnswers);
    }
    void openInBrowser(const QUrl& url) override { opened.push_back(url); }
    bool startProgram(const QString& program) override {
        started.push_back(program);
        return true;
    }
    void quit() override { ++quits; }

    // The texts shown of one kind.
    std::vector<QString> texts(const std::string& kind) const {
        std::vector<QString> result;
        for (const Shown& s : shown) {
            if (s.kind == kind) {
                result.push_back(s.text);
            }
        }
        return result;
    }

    std::vector<Shown> shown;
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QString> filterAnswers;
    std::vector<QString> proposedNames;
    std::vector<QString> fileFilters;
    // Runs inside a blocking information box, as events that arrive while it waits would.
    std::function<void()> whileShown;
    bool answerYes = false;
    bool holdAnswers = false;
    std::vector<std::function<void(bool)>> heldAnswers;
    std::deque<std::optional<LoginChoice>> loginAnswers;
    int loginDialogs = 0;
    std::vector<int> multiPasswordLevels;
    std::vector<std::string> multiPasswordsAsked;
    bool cancelMultiPassword = false;
    std::vector<QUrl> agreementPages;
    bool acceptAgreement = true;
    std::vector<QUrl> opened;
    std::vector<QString> started;
    int quits = 0;

private:
    static QString take(std::deque<QString>& answers) {
        if (answers.empty()) {
            return {};
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace talmor::testing
