#include "app/StartupFailure.h"

#include "app/ApplicationIcon.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>

void reportStartupFailure(const QString &reason)
{
    std::fprintf(stderr, "%s\n", qPrintable(reason));
    // Nobody could read or close a dialog on these platforms.
    const QString platform = QGuiApplication::platformName();
    if (platform != u"offscreen" && platform != u"minimal") {
        const QString title = QCoreApplication::translate("StartupFailure", "Orvanta did not start");
        QMessageBox box(QMessageBox::Critical, title, reason, QMessageBox::Ok);
        box.setAccessibleName(title);
        box.setWindowIcon(applicationIcon());
        box.exec();
    }
}
