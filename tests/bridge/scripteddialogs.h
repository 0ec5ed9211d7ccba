// Dialogs that answer from a script and remember what they were asked, so
// the view's file dialogs and warning boxes never wait for a click.
#pragma once

#include "userdialogs.h"

#include <QList>
#include <QString>

class ScriptedDialogs : public UserDialogs
{
public:
    struct Asked {
        QWidget *parent;
        QString caption, dir, filter;
    };
    struct Warning {
        QWidget *parent;
        QString title, text;
    };

    QString answer;     // what the open-file dialog returns
    QString saveAnswer; // what the save-file dialog returns
    QList<Asked> opened, saved;
    QList<Warning> warnings;

    ScriptedDialogs() { UserDialogs::install(this); }
    ~ScriptedDialogs() override { UserDialogs::install(nullptr); }

    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        opened.append({parent, caption, dir, filter});
        return answer;
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        saved.append({parent, caption, dir, filter});
        return saveAnswer;
    }
    void warning(QWidget *parent, const QString &title, const QString &text) override
    {
        warnings.append({parent, title, text});
    }
};
