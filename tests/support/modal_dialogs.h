#pragma once

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QTimer>

#include <gtest/gtest.h>

namespace genart::testing {

// Modal dialogs run their own loop: what a test does in one is set up before it opens, and
// done as soon as it is the active modal widget.
template <typename Dialog>
void whenOpen(std::function<void(Dialog*)> act)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start(5);
}

// Clicks the button of that caption in the next message box.
inline void answer(const QString& button)
{
    whenOpen<QMessageBox>([button](QMessageBox* box) {
        for (QAbstractButton* choice : box->buttons())
            if (choice->text() == button)
                return choice->click();
        ADD_FAILURE() << "no button " << button.toStdString();
        box->reject();
    });
}

// Settings of this test's own, apart from the user's and from every other test's, which may run
// at the same time.
inline void usePrivateSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(
        QStringLiteral("genart-tests-")
        + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    QSettings().clear();
}

} // namespace genart::testing
