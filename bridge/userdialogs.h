// The one way the program asks the user something: file dialogs and warning
// boxes. The real dialogs are modal and would leave a headless start or a
// test waiting for a click, so everything goes through this seam; tests
// install answers of their own.
#pragma once

#include <QString>

class QWidget;

class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // Path the user picked, or empty when the dialog was cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    // A warning box with one OK button; returns once the user closed it.
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;

    // The dialogs in use: the real Qt dialogs unless replaced.
    static UserDialogs &current();
    // Replaces the dialogs in use; null restores the real ones. The caller
    // keeps ownership and must restore before destroying its replacement.
    static void install(UserDialogs *dialogs);
};
