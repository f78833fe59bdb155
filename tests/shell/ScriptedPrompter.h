#pragma once

// A Prompter for the tests: answers come from queues filled by the test, every box shown is
// recorded, and a question nobody scripted is recorded in `unexpected` (answered Cancel).

#include "shell/Prompter.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

namespace vocalix::shell::testing {

struct AskedBox {
    QString text;
    QString caption;
    Buttons buttons;
    Icon icon;
    std::optional<Answer> preselected;
};

class ScriptedPrompter : public Prompter {
public:
    // Queues of answers, consumed in order.
    std::deque<Answer> answers;
    std::deque<QString> openFiles;
    std::deque<QStringList> openFileLists;
    std::deque<QString> saveFiles;
    std::deque<QString> folders;
    std::deque<std::optional<QFont>> fonts;
    std::deque<std::optional<QColor>> colors;
    std::deque<QString> printers;
    std::deque<std::optional<QString>> texts;

    // What was shown.
    std::vector<AskedBox> asked;
    std::vector<FileDialogOptions> fileDialogs;
    QStringList unexpected;

    Answer Ask(const QString& text, const QString& caption, Buttons buttons, Icon icon,
               std::optional<Answer> preselected = std::nullopt) override {
        asked.push_back({text, caption, buttons, icon, preselected});
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (answers.empty()) {
            unexpected << QStringLiteral("question: ") + text;
            return Answer::Cancel;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString OpenFile(const FileDialogOptions& options) override {
        fileDialogs.push_back(options);
        return Take(openFiles, QStringLiteral("open file: ") + options.title);
    }
    QStringList OpenFiles(const FileDialogOptions& options) override {
        fileDialogs.push_back(options);
        return Take(openFileLists, QStringLiteral("open files: ") + options.title);
    }
    QString SaveFile(const FileDialogOptions& options) override {
        fileDialogs.push_back(options);
        return Take(saveFiles, QStringLiteral("save file: ") + options.title);
    }
    QString PickFolder(const QString& title, const QString&) override {
        return Take(folders, QStringLiteral("folder: ") + title);
    }
    std::optional<QFont> PickFont(const QFont&, const QString& title) override {
        return Take(fonts, QStringLiteral("font: ") + title);
    }
    std::optional<QColor> PickColor(const QColor&, const QString& title) override {
        return Take(colors, QStringLiteral("colour: ") + title);
    }
    QString PickPrinter(const QStringList&, const QString& title) override {
        return Take(printers, QStringLiteral("printer: ") + title);
    }
    std::optional<QString> AskText(const QString& prompt, const QString&, const QString&) override {
        return Take(texts, QStringLiteral("text: ") + prompt);
    }

    // Texts of the boxes shown, in order.
    QStringList AskedTexts() const {
        QStringList list;
        for (const AskedBox& box : asked)
            list << box.text;
        return list;
    }

private:
    // GCC 12 warns wrongly about moving a std::optional<QString> out of the queue.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
    template <typename T> T Take(std::deque<T>& queue, const QString& what) {
        if (queue.empty()) {
            unexpected << what;
            return T{};
        }
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
#pragma GCC diagnostic pop
};

} // namespace vocalix::shell::testing
