#include "userdialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

class QtDialogs final : public UserDialogs
{
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }
    void warning(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    }
};

QtDialogs realDialogs;
UserDialogs *installed = nullptr;

} // namespace

UserDialogs &UserDialogs::current()
{
    return installed ? *installed : realDialogs;
}

void UserDialogs::install(UserDialogs *dialogs)
{
    installed = dialogs;
}
