#pragma once

#include "dialogs/UserDialogs.h"

#include <QQueue>
#include <QStringList>
#include <QTest>

// Scripted dialogs for tests. Messages are recorded and answered with OK; questions and the
// two system dialogs take their answers from queues filled by the test. A prompt without a
// queued answer fails the test instead of blocking.
class FakeDialogs : public UserDialogs {
public:
    struct FileRequest {
        QString title, filter, initialName, initialDirectory;
        quint32 flags = 0;
    };

    QStringList messages; // every message and question, in order
    QQueue<bool> yesNoAnswers;
    QQueue<int> choiceAnswers;
    QQueue<QString> folderAnswers;
    QStringList folderTitles;
    QQueue<QStringList> fileAnswers;
    QList<FileRequest> fileRequests;

    void showMessage(const QString &text) override { messages << text; }

    bool askYesNo(const QString &text) override {
        messages << text;
        if (yesNoAnswers.isEmpty()) {
            QTest::qFail(qUtf8Printable(QStringLiteral("unexpected question: ") + text), __FILE__,
                         __LINE__);
            return false;
        }
        return yesNoAnswers.dequeue();
    }

    int askChoice(const QString &text, const QStringList &choices) override {
        messages << text + u'[' + choices.join(u'|') + u']';
        if (choiceAnswers.isEmpty()) {
            QTest::qFail(qUtf8Printable(QStringLiteral("unexpected question: ") + text), __FILE__,
                         __LINE__);
            return int(choices.size()) - 1;
        }
        return choiceAnswers.dequeue();
    }

    QString GetDlgSelectFolder(const QString &title) override {
        folderTitles << title;
        if (folderAnswers.isEmpty()) {
            QTest::qFail("unexpected folder dialog", __FILE__, __LINE__);
            return {};
        }
        return folderAnswers.dequeue();
    }

    QStringList GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                     const QString &initialName, const QString &initialDirectory,
                                     quint32 flags) override {
        fileRequests.append({title, filter, initialName, initialDirectory, flags});
        if (fileAnswers.isEmpty()) {
            QTest::qFail("unexpected open-file dialog", __FILE__, __LINE__);
            return {};
        }
        return fileAnswers.dequeue();
    }
};
