#include "support/SetupDialogDriver.h"

#include "serial_ui/ComComboBox.h"
#include "serial_ui/ComSetupFrm.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

void WhenSetupShown(std::function<void(TComSetupFrm&)> act)
{
    QTimer::singleShot(0, [act = std::move(act)]() mutable {
        auto* dialog = qobject_cast<TComSetupFrm*>(QApplication::activeModalWidget());
        if (!dialog) {
            WhenSetupShown(std::move(act));
            return;
        }
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

void Choose(TComComboBox* selector, const QString& text)
{
    const int index = selector->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    selector->setCurrentIndex(index);
    emit selector->activated(index);
}
