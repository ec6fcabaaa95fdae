#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "ui/dialogs.h"

namespace zorvek::test {

// Answers the windows' dialogs from a script and remembers what they showed.
class ScriptedDialogs final : public ui::Dialogs {
  public:
    QStringList messages;
    QStringList errors;
    QStringList questions;
    QStringList opened;
    std::deque<Answer> answers;
    // Each dialog takes the next name; none left means cancelled.
    std::deque<QString> openNames;
    std::deque<QString> saveNames;
    std::deque<QString> folderNames;
    // Each text asked for takes the next; none left means cancelled.
    std::deque<QString> texts;
    QStringList textLabels;
    QString lastOpenFilter;
    QString lastOpenFolder;
    QString lastSaveFilter;

    void Message(QWidget*, const QString& text) override { messages << text; }
    void Error(QWidget*, const QString& text) override { errors << text; }
    Answer Ask(QWidget*, const QString& text) override {
        questions << text;
        return Next(answers).value_or(Answer::Cancel);
    }
    std::optional<QString> OpenFileName(QWidget*, const QString& folder,
                                        const QString& filter) override {
        lastOpenFolder = folder;
        lastOpenFilter = filter;
        return Next(openNames);
    }
    std::optional<QString> SaveFileName(QWidget*, const QString& filter, const QString&) override {
        lastSaveFilter = filter;
        return Next(saveNames);
    }
    std::optional<QString> FolderName(QWidget*, const QString&) override {
        return Next(folderNames);
    }
    bool OpenWithDesktop(const QString& file) override {
        opened << file;
        return true;
    }

    std::optional<QString> AskText(QWidget*, const QString& label, const QString&) override {
        textLabels << label;
        return Next(texts);
    }

  private:
    template <typename T>
    static std::optional<T> Next(std::deque<T>& queue) {
        if (queue.empty()) return std::nullopt;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

}  // namespace zorvek::test
